#include "workers/ContourMapThread.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

#include "document/DocStrings.h"
#include "document/MapNotify.h"
#include "document/TessarixDoc.h"
#include "mapping/EnergyDomain.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/SurfaceCheck.h"
#include "render/MapDrawInput.h"
#include "render/MapRenderer.h"
#include "util/PhaseTimes.h"
#include "util/StringTable.h"
#include "workers/WorkerStrings.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

std::atomic<int> g_runningMaps{0};

// Above-normal priority for the active column's run where the system allows it (raising needs a
// privilege on Linux; without it the run simply keeps normal priority).
class ScopedRaisedPriority {
public:
    explicit ScopedRaisedPriority(bool raise)
    {
#if defined(__linux__)
        if (raise) {
            m_tid = pid_t(syscall(SYS_gettid));
            m_raised = setpriority(PRIO_PROCESS, id_t(m_tid), -1) == 0;
        }
#else
        (void)raise;
#endif
    }
    ~ScopedRaisedPriority()
    {
#if defined(__linux__)
        if (m_raised)
            setpriority(PRIO_PROCESS, id_t(m_tid), 0);
#endif
    }

private:
#if defined(__linux__)
    pid_t m_tid = 0;
#endif
    bool m_raised = false;
};

void Append(CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v, float px, float py, float pv)
{
    x.push_back(px);
    y.push_back(py);
    v.push_back(pv);
}

// Same length and the same bits: the copy the worker holds is the one it would be given.
bool SameBits(const CTXFloatArray& a, const CTXFloatArray& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

QString Number(float v)
{
    return QString::number(double(v), 'g', 7);
}

// The warning in a framed box in the middle of the graph area, over whatever was drawn there.
void DrawWarning(QImage& picture, const TxRect& graph, const QString& text)
{
    QPainter p(&picture);
    QRect area = graph.IsEmpty() ? picture.rect() : QRect(graph.left, graph.top, graph.Width(), graph.Height());
    area = area.intersected(picture.rect()).adjusted(8, 8, -8, -8);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRect box = p.boundingRect(area, flags, text).adjusted(-6, -4, 6, 4).intersected(area.adjusted(-8, -8, 8, 8));
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.drawText(area, flags, text);
}

}  // namespace

QString LevelRefusalText(float step, float start, float stop)
{
    return TxString(IDS_WARN_LEVELS_REFUSED)
        .arg(Number(step), Number(start), Number(stop), QString::number(kMaxLevelSeriesValues));
}

QString TickRefusalText(const char* axisName, const CMapAxis& axis)
{
    return TxString(IDS_WARN_TICKS_REFUSED)
        .arg(QString::fromLatin1(axisName), Number(axis.step), Number(axis.start), Number(axis.stop),
             QString::number(kMaxLevelSeriesValues));
}

bool FindCoincidingPoints(const CTXFloatArray& x, const CTXFloatArray& y, int32_t* first, int32_t* second)
{
    const size_t n = std::min(x.size(), y.size());
    std::vector<int32_t> order;
    order.reserve(n);
    for (size_t k = 0; k < n; ++k)
        if (!std::isnan(x[k]) && !std::isnan(y[k]))
            order.push_back(int32_t(k));
    // Equal positions become neighbours, earliest point first within each position.
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        if (x[size_t(a)] != x[size_t(b)])
            return x[size_t(a)] < x[size_t(b)];
        if (y[size_t(a)] != y[size_t(b)])
            return y[size_t(a)] < y[size_t(b)];
        return a < b;
    });
    bool found = false;
    for (size_t k = 1; k < order.size(); ++k) {
        const int32_t a = order[k - 1], b = order[k];
        const bool samePosition = x[size_t(a)] == x[size_t(b)] && y[size_t(a)] == y[size_t(b)];
        const bool startsGroup = k == 1 || !(x[size_t(order[k - 2])] == x[size_t(a)] && y[size_t(order[k - 2])] == y[size_t(a)]);
        if (samePosition && startsGroup && (!found || b < *second)) {
            *first = a;
            *second = b;
            found = true;
        }
    }
    return found;
}

int SurfaceThreadBudget()
{
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    const int running = std::max(1, g_runningMaps.load());
    return std::max(1, cores / running);
}

InterpolationInput InterpolationInputOf(const CTessarixDoc& doc, const CTessarixSettings& s, int column)
{
    InterpolationInput in;
    const CTXFloatArray& values = doc.Column(column).values;
    const size_t n = std::min({doc.X().size(), doc.Y().size(), values.size()});
    in.x.assign(doc.X().begin(), doc.X().begin() + ptrdiff_t(n));
    in.y.assign(doc.Y().begin(), doc.Y().begin() + ptrdiff_t(n));
    in.v.assign(values.begin(), values.begin() + ptrdiff_t(n));
    in.measured = int32_t(n);
    if (s.useBoundaryConditions)
        AppendBoundaryPoints(s, in.x, in.y, in.v);
    AppendConditioningPoints(s, in.x, in.y, in.v);
    return in;
}

void NormaliseToExtent(const MapExtent& e, const CTXFloatArray& x, const CTXFloatArray& y, CTXFloatArray* xn,
                       CTXFloatArray* yn)
{
    const size_t n = std::min(x.size(), y.size());
    xn->resize(n);
    yn->resize(n);
    for (size_t k = 0; k < n; ++k) {
        (*xn)[k] = (x[k] - e.x0) / (e.x1 - e.x0);
        (*yn)[k] = (y[k] - e.y0) / (e.y1 - e.y0);
    }
}

void AppendBoundaryPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v)
{
    const float xs = s.xAxis.start, xe = s.xAxis.stop, ys = s.yAxis.start, ye = s.yAxis.stop;
    const float d = s.boundaryDistance, level = s.boundaryLevel;
    const bool corners = s.boundaryLayout == BoundaryCorners || s.boundaryLayout == BoundaryCornersAndSides;
    const bool sides = s.boundaryLayout == BoundarySides || s.boundaryLayout == BoundaryCornersAndSides;
    if (corners) {
        Append(x, y, v, xs - d, ys - d, level);
        Append(x, y, v, xe + d, ys - d, level);
        Append(x, y, v, xe + d, ye + d, level);
        Append(x, y, v, xs - d, ye + d, level);
    }
    if (sides) {
        Append(x, y, v, xs - d, (ys + ye) / 2.0f, level);
        Append(x, y, v, (xs + xe) / 2.0f, ys - d, level);
        Append(x, y, v, xe + d, (ys + ye) / 2.0f, level);
        Append(x, y, v, (xs + xe) / 2.0f, ye + d, level);
    }
}

void AppendConditioningPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v)
{
    const ImageRect& r = s.imageRect;
    size_t first = 0;  // index of the polyline's first vertex in clipPoints
    for (size_t p = 0; p < s.clipPolylines.size(); ++p) {
        const int32_t count = std::max(0, s.clipPolylines[p]);
        const bool wanted = p < s.conditioningFlags.size() && s.conditioningFlags[p] != 0;
        if (wanted) {
            const float level = p < s.conditioningLevels.size() ? s.conditioningLevels[p] : s.boundaryLevel;
            const int32_t step = p < s.conditioningSteps.size() ? std::max(1, s.conditioningSteps[p]) : 1;
            for (int32_t k = 0; k < count && first + size_t(k) < s.clipPoints.size(); k += step) {
                const KW_FPOINT& uv = s.clipPoints[first + size_t(k)];
                Append(x, y, v, r.x0 + (r.x1 - r.x0) * uv.x, r.y0 + (r.y1 - r.y0) * uv.y, level);
            }
        }
        first += size_t(count);
    }
}

CContourMapThread::CContourMapThread()
{
    m_contourParams.intermediate = 2;
}

CContourMapThread::~CContourMapThread()
{
    Stop();
}

void CContourMapThread::RaiseCancel()
{
    m_surface.cancel.exchange(1);
    m_result.cancel.exchange(1);
    LeaveJob();
}

void CContourMapThread::LeaveJob()
{
    if (m_job)
        m_job->Leave(m_jobSlot);
}

void CContourMapThread::LowerCancel()
{
    m_surface.cancel.exchange(0);
    m_result.cancel.exchange(0);
}

CContourMapThread::GridInputs CContourMapThread::GridInputsOf(const CTessarixSettings& s)
{
    return {s.extent, s.gridCountX, s.gridCountY, s.interpFunction, s.interpParameter, s.energyInterpolation};
}

CContourMapThread::LevelInputs CContourMapThread::LevelInputsOf(const CTessarixSettings& s)
{
    return {s.zAxis.start, s.zAxis.stop, s.zAxis.step, s.fixedAmplitude, s.scaleMode};
}

bool CContourMapThread::Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags,
                                const std::shared_ptr<CSharedSurfaceJob>& job)
{
    std::unique_lock<std::mutex> idle = HoldIdle();
    LeaveJob();  // a run not yet started has no part in it any more either
    m_job.reset();
    m_jobSlot = -1;
    m_notify = doc.Notify();
    m_workFlags |= flags;
    m_raisePriority = raisePriority ? 1 : 0;
    m_column = column;

    m_settings = doc.Settings();
    m_client = doc.ClientRect();
    m_layout = doc.Layout();
    m_xAxis = doc.Axis(CTessarixDoc::AxisX);
    m_yAxis = doc.Axis(CTessarixDoc::AxisY);
    m_zAxis = doc.Axis(CTessarixDoc::AxisZ);
    m_measuredCount = doc.PointCount();
    m_image = doc.Image();
    m_dpiX = doc.ScreenDpiX();
    m_dpiY = doc.ScreenDpiY();

    InterpolationInput in = InterpolationInputOf(doc, m_settings, column);
    CTXFloatArray& x = in.x;
    CTXFloatArray& y = in.y;
    CTXFloatArray& v = in.v;
    // Without a surface for exactly these inputs the picture would show none or a stale one.
    const GridInputs grid = GridInputsOf(m_settings);
    const bool surfaceStale = !m_haveSurfaceInputs || !(grid == m_gridInputs) || !SameBits(x, m_x) ||
                              !SameBits(y, m_y) || !SameBits(v, m_values);
    if (surfaceStale)
        m_workFlags |= RECALC_SURFACE | RECALC_CONTOURS;
    if (m_workFlags & RECALC_SURFACE) {
        m_x.swap(x);
        m_y.swap(y);
        m_values.swap(v);
        m_gridInputs = grid;
        m_haveSurfaceInputs = true;
    }
    // Only a worker that will run takes part: the others wait for every member.
    if (job && (m_workFlags & RECALC_SURFACE) && IsRunning()) {
        m_jobSlot = job->Join({m_x, m_y, grid.extent, grid.gridCountX, grid.gridCountY, grid.function, grid.parameter});
        if (m_jobSlot >= 0)
            m_job = job;
    }
    const LevelInputs levels = LevelInputsOf(m_settings);
    if (!(levels == m_levelInputs))
        m_workFlags |= RECALC_CONTOURS;
    if (m_workFlags & RECALC_CONTOURS)
        m_levelInputs = levels;

    const bool madeOutstanding = m_mapOutstanding.exchange(1) == 0;
    WakeLocked(idle);
    return madeOutstanding;
}

void CContourMapThread::Reset()
{
    std::unique_lock<std::mutex> idle = HoldIdle();
    DropWakeLocked(idle);  // a request not yet started belongs to the deleted contents
    LeaveJob();
    {
        std::lock_guard<std::mutex> lock(m_surfaceLock);
        m_surface.Empty();
    }
    m_haveSurfaceInputs = false;
    // An outstanding map stays outstanding: the next request joins it and its run posts the
    // MapReady that the cancelled run did not.
    std::lock_guard<std::mutex> lock(m_pictureLock);
    m_picture = QImage();
    m_warning.clear();
}

QString CContourMapThread::WarningText() const
{
    std::lock_guard<std::mutex> lock(m_pictureLock);
    return m_warning;
}

bool CContourMapThread::CopyPicture(QImage* out) const
{
    std::lock_guard<std::mutex> lock(m_pictureLock);
    if (m_picture.isNull())
        return false;
    *out = m_picture;
    return true;
}

bool CContourMapThread::HasPicture() const
{
    std::lock_guard<std::mutex> lock(m_pictureLock);
    return !m_picture.isNull();
}

bool CContourMapThread::SurfaceValueAt(float x, float y, const CTessarixSettings& current, float* z) const
{
    if (m_result.busy.load() != 0)
        return false;
    std::unique_lock<std::mutex> lock(m_surfaceLock, std::try_to_lock);
    if (!lock.owns_lock() || !m_surface.IsValid())
        return false;
    const MapExtent& e = current.extent;
    const int32_t cx = current.gridCountX, cy = current.gridCountY;
    if (cx <= 0 || cy <= 0)
        return false;
    const float qx = (x - e.x0) / (std::fabs(e.x1 - e.x0) / float(cx));
    const float qy = (y - e.y0) / (std::fabs(e.y1 - e.y0) / float(cy));
    // A position left of or below the extent has no cell, even within one cell of the edge.
    if (!(qx >= 0.0f && qy >= 0.0f))
        return false;
    const float limitX = float(std::min(cx, m_surface.NX())), limitY = float(std::min(cy, m_surface.NY()));
    if (!(qx < limitX && qy < limitY))
        return false;
    const int32_t i = int32_t(qx), j = int32_t(qy);
    if (i >= cx || j >= cy || i >= m_surface.NX() || j >= m_surface.NY())
        return false;
    *z = m_surface.Value(i, j);
    return true;
}

bool CContourMapThread::InputValueRange(float* smallest, float* largest) const
{
    if (m_values.empty())
        return false;
    const auto [lo, hi] = std::minmax_element(m_values.begin(), m_values.end());
    *smallest = *lo;
    *largest = *hi;
    return true;
}

bool CContourMapThread::SurfaceStep()
{
    const size_t n = m_values.size();
    if (n < 3) {
        m_surfaceStatus = SurfaceStatus::TooFewPoints;
        return true;  // skipped, not failed: the previous surface and contours stay
    }
    std::lock_guard<std::mutex> lock(m_surfaceLock);
    m_surface.Empty();
    // The dense system grows with the square of the points and its solve with the cube: beyond
    // the limit it is refused before anything is allocated, and the map says why.
    if (n > size_t(kMaxInterpolationPoints)) {
        m_surfaceStatus = SurfaceStatus::TooManyPoints;
        return false;
    }
    const int32_t nx = m_settings.gridCountX, ny = m_settings.gridCountY;
    // Counts from a file or a command are checked before anything is allocated (nx + 1 must not
    // overflow, and a 60000 x 60000 grid must not be tried).
    if (nx < 1 || ny < 1 || nx > kMaxGridCount || ny > kMaxGridCount) {
        m_surfaceStatus = SurfaceStatus::GridTooLarge;
        return false;
    }
    if (!m_surface.Allocate(nx + 1, ny + 1)) {
        m_surfaceStatus = SurfaceStatus::OutOfMemory;
        return false;
    }
    const MapExtent& e = m_settings.extent;
    CTXFloatArray xn(n), yn(n);
    for (size_t k = 0; k < n; ++k) {
        xn[k] = (m_x[k] - e.x0) / (e.x1 - e.x0);
        yn[k] = (m_y[k] - e.y0) / (e.y1 - e.y0);
    }
    // Two points at one position make the system singular; the unpivoted decomposition meets an
    // exactly zero pivot for some such inputs only, and gives meaningless weights for the rest.
    int32_t first = 0, second = 0;
    if (FindCoincidingPoints(xn, yn, &first, &second)) {
        m_surfaceStatus = SurfaceStatus::Singular;
        return false;
    }
    // The values the surface interpolates; the rest of the computation is the same for every
    // column at these positions and may be shared with the other columns of the request.
    const float* values = m_values.data();
    RbfStatus status = RbfStatus::Singular;
    // The energy option solves for the energies of the levels and turns the grid back into levels.
    const bool energy = m_settings.energyInterpolation != 0;
    const EnergyValues energies = energy ? ToEnergies(m_values, m_measuredCount) : EnergyValues{};
    if (energy)
        values = energies.energies.data();
    const int32_t kernel = m_settings.interpFunction;
    const float parameter = m_settings.interpParameter;
    const RbfGridGeometry grid{0.0, 0.0, 1.0 / nx, 1.0 / ny};
    RbfWeights weights;
    const bool ok = m_job ? m_job->Compute(m_jobSlot, {int32_t(n), xn.data(), yn.data(), values, kernel, parameter, grid},
                                           m_surface, &m_surface.cancel, &status, &weights)
                          : ComputeSurface(int32_t(n), xn.data(), yn.data(), values, kernel, parameter, grid.x0,
                                           grid.y0, grid.dx, grid.dy, m_surface, SurfaceThreadBudget(), &status,
                                           &weights);
    m_nonPositiveEnergyNodes = ok && energy ? EnergiesToLevels(m_surface, energies) : 0;
    m_largestMiss = 0.0;
    m_largestMissPoint = -1;
    m_nonFinitePoint = -1;
    for (int32_t k = 0; k < m_measuredCount && m_nonFinitePoint < 0; ++k)
        if (!std::isfinite(m_x[size_t(k)]) || !std::isfinite(m_y[size_t(k)]) || !std::isfinite(m_values[size_t(k)]))
            m_nonFinitePoint = k;
    if (ok && m_nonFinitePoint < 0) {
        // An ill-conditioned system gives weights whose surface misses its own points.
        std::vector<double> fitted(static_cast<size_t>(m_measuredCount));
        EvaluateAtOwnPoints(kernel, parameter, int32_t(n), xn.data(), yn.data(), weights, m_measuredCount,
                            fitted.data());
        for (int32_t k = 0; k < m_measuredCount; ++k) {
            const double level = energy ? energies.LevelOf(fitted[size_t(k)]) : fitted[size_t(k)];
            const double miss = std::fabs(level - double(m_values[size_t(k)]));
            if (!(miss <= m_largestMiss)) {
                m_largestMiss = miss;
                m_largestMissPoint = k;
            }
        }
    }
    if (ok) {
        m_workFlags &= ~RECALC_SURFACE;
        m_surfaceStatus = SurfaceStatus::Computed;
    } else if (status == RbfStatus::Cancelled || m_surface.Cancelled()) {
        m_surfaceStatus = SurfaceStatus::Cancelled;
    } else if (status == RbfStatus::OutOfMemory) {
        m_surfaceStatus = SurfaceStatus::OutOfMemory;
    } else {
        m_surfaceStatus = SurfaceStatus::Singular;
    }
    return ok;
}

void CContourMapThread::ContourStep()
{
    m_contourParams.levelStep = m_settings.zAxis.step;
    m_contourParams.intermediate = 2;
    const CTessarixSettings::LevelRange range = m_settings.ContourLevels(m_largestValue);
    m_levels = range.levels;
    m_levelStatus = range.status;
    if (TraceContours(m_surface, m_levels, m_contourParams, m_result))
        m_workFlags &= ~RECALC_CONTOURS;
}

bool CContourMapThread::SurfaceFailed() const
{
    return m_surfaceStatus == SurfaceStatus::Singular || m_surfaceStatus == SurfaceStatus::OutOfMemory ||
           m_surfaceStatus == SurfaceStatus::GridTooLarge || m_surfaceStatus == SurfaceStatus::TooManyPoints;
}

QString CContourMapThread::SurfaceFailureText() const
{
    switch (m_surfaceStatus) {
    case SurfaceStatus::OutOfMemory:
        return TxString(IDS_WARN_SURFACE_NO_MEMORY);
    case SurfaceStatus::TooManyPoints:
        return TxString(IDS_WARN_TOO_MANY_POINTS)
            .arg(QString::number(m_values.size()), QString::number(kMaxInterpolationPoints));
    case SurfaceStatus::GridTooLarge:
        return TxString(IDS_WARN_GRID_TOO_LARGE)
            .arg(QString::number(m_settings.gridCountX), QString::number(m_settings.gridCountY),
                 QString::number(kMaxGridCount));
    case SurfaceStatus::Singular: {
        // The solver sees the points normalised to the extent, in float: so does the search.
        CTXFloatArray xn, yn;
        NormaliseToExtent(m_settings.extent, m_x, m_y, &xn, &yn);
        int32_t first = 0, second = 0;
        if (!FindCoincidingPoints(xn, yn, &first, &second))
            return TxString(IDS_WARN_SURFACE_SINGULAR);
        // Point numbers as the data table shows them, counted from 1.
        if (second < m_measuredCount)
            return TxFormat(IDS_WARN_POINTS_COINCIDE, QString::number(first + 1), QString::number(second + 1));
        if (first < m_measuredCount)
            return TxFormat(IDS_WARN_POINT_ON_ADDED_POINT, QString::number(first + 1));
        return TxString(IDS_WARN_ADDED_POINTS_COINCIDE);
    }
    default:
        return {};
    }
}

QString CContourMapThread::LevelRefusalText() const
{
    if (m_levelStatus == LevelSeriesStatus::Ok)
        return {};
    float start = 0.0f, stop = 0.0f;
    m_settings.ColourRange(m_largestValue, &start, &stop);
    return ::LevelRefusalText(m_settings.zAxis.step, start, stop);
}

QString CContourMapThread::Warnings() const
{
    QStringList lines;
    if (SurfaceFailed())
        lines << SurfaceFailureText();
    else if (m_levelStatus != LevelSeriesStatus::Ok)
        lines << LevelRefusalText();
    else if (m_surfaceStatus == SurfaceStatus::Computed && m_nonFinitePoint >= 0)
        lines << TxFormat(IDS_WARN_POINT_NOT_A_NUMBER, QString::number(m_nonFinitePoint + 1));
    else if (m_surfaceStatus == SurfaceStatus::Computed && !(m_largestMiss <= SurfaceCheck::kIllConditionedMiss))
        lines << TxFormat(IDS_WARN_SURFACE_MISSES_POINT, QString::number(m_largestMissPoint + 1),
                          QString::number(m_largestMiss, 'g', 3));
    const CMapAxis* axes[] = {&m_xAxis, &m_yAxis};
    const char* names[] = {"X", "Y"};
    for (int k = 0; k < 2; ++k)
        if (axes[k]->tickStatus != LevelSeriesStatus::Ok)
            lines << TickRefusalText(names[k], *axes[k]);
    return lines.join(u'\n');
}

MapDrawInput CContourMapThread::DrawInput() const
{
    MapDrawInput in;
    in.settings = &m_settings;
    in.xAxis = m_xAxis;
    in.yAxis = m_yAxis;
    in.zAxis = m_zAxis;  // the drawing fits it to the fixed-amplitude range when that is in force
    in.layout = m_layout;
    // The same rule as the screen's picture: a failed surface step leaves nothing to draw.
    const bool current = !SurfaceFailed();
    in.surface = current ? &m_surface : nullptr;
    in.contours = current ? &m_result : nullptr;
    in.levels = m_levels;
    in.x = &m_x;
    in.y = &m_y;
    in.values = &m_values;
    in.measuredCount = m_measuredCount;
    in.largestValue = m_largestValue;
    in.image = &m_image;
    in.dpiX = m_dpiX;
    in.dpiY = m_dpiY;
    return in;
}

void CContourMapThread::RenderStep(bool withSurface, const QString& warning)
{
    const int width = m_client.right - m_client.left, height = m_client.bottom - m_client.top;
    if (width <= 0 || height <= 0)
        return;  // no window to draw for
    float start = 0.0f, stop = 0.0f;
    m_settings.ColourRange(m_largestValue, &start, &stop);
    m_settings.colorScale.SetRange(start, stop);
    MapDrawInput in = DrawInput();
    // Without a surface for these inputs, neither it nor contours traced from an earlier one are
    // drawn: the warning takes their place.
    if (!withSurface) {
        in.surface = nullptr;
        in.contours = nullptr;
    }
    in.abort = &m_result.cancel;

    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return;  // out of memory: the previous picture stays
    RenderMapImage(in, picture);
    if (m_result.Cancelled())
        return;  // a half-drawn picture never replaces the cached one
    if (!warning.isEmpty())
        DrawWarning(picture, m_layout.graph, warning);
    std::lock_guard<std::mutex> lock(m_pictureLock);
    m_picture.swap(picture);
}

void CContourMapThread::DoWork()
{
    ScopedRaisedPriority priority(m_raisePriority != 0);
    m_result.busy.exchange(1);
    g_runningMaps.fetch_add(1);

    m_largestValue = m_values.empty() ? 0.0f : *std::max_element(m_values.begin(), m_values.end());
    try {
        bool surfaceFailed = false;
        if (m_workFlags & RECALC_SURFACE) {
            const ScopedPhase timed(MapPhase::Surface);
            surfaceFailed = !SurfaceStep();
        }
        LeaveJob();  // whatever became of the step (skipped, refused), nobody waits for this worker
        if ((m_workFlags & RECALC_CONTOURS) && !surfaceFailed && !m_result.Cancelled()) {
            const ScopedPhase timed(MapPhase::Tracing);
            ContourStep();
        }
    } catch (const std::bad_alloc&) {
        LeaveJob();
        // Memory ran out in the solve or the tracing: a failed map, computed again next time.
        {
            std::lock_guard<std::mutex> lock(m_surfaceLock);
            m_surface.Empty();
        }
        m_result.entries.clear();
        m_surfaceStatus = SurfaceStatus::OutOfMemory;
        m_workFlags |= RECALC_SURFACE | RECALC_CONTOURS;
    }
    if (!m_result.Cancelled()) {
        const QString warning = Warnings();
        if (m_workFlags & RECALC_BITMAP) {
            try {
                const ScopedPhase timed(MapPhase::Drawing);
                RenderStep(!SurfaceFailed(), warning);
            } catch (const std::bad_alloc&) {
                // The previous picture stays; the warning below still tells what went wrong.
            }
        }
        std::lock_guard<std::mutex> lock(m_pictureLock);
        m_warning = warning;
    }
    if (!m_result.Cancelled()) {
        m_mapOutstanding.store(0);  // before MapReady, so whoever counts on it sees it done
        if (m_notify)
            m_notify->PostMapNotify(MapNotifyMapReady, m_column);
    }

    g_runningMaps.fetch_sub(1);
    m_result.busy.exchange(0);
}
