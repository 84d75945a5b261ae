#include "workers/ContourMapThread.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "document/MapNotify.h"
#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "render/MapDrawInput.h"
#include "render/MapRenderer.h"

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

}  // namespace

int SurfaceThreadBudget()
{
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    const int running = std::max(1, g_runningMaps.load());
    return std::max(1, cores / running);
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
}

void CContourMapThread::LowerCancel()
{
    m_surface.cancel.exchange(0);
    m_result.cancel.exchange(0);
}

void CContourMapThread::Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags)
{
    std::unique_lock<std::mutex> idle = HoldIdle();
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

    if (m_workFlags & RECALC_SURFACE) {
        const CTXFloatArray& values = doc.Column(column).values;
        const size_t n = std::min({doc.X().size(), doc.Y().size(), values.size()});
        m_x.assign(doc.X().begin(), doc.X().begin() + ptrdiff_t(n));
        m_y.assign(doc.Y().begin(), doc.Y().begin() + ptrdiff_t(n));
        m_values.assign(values.begin(), values.begin() + ptrdiff_t(n));
        if (m_settings.useBoundaryConditions)
            AppendBoundaryPoints(m_settings, m_x, m_y, m_values);
        AppendConditioningPoints(m_settings, m_x, m_y, m_values);
    }
    WakeLocked(idle);
}

void CContourMapThread::Reset()
{
    std::unique_lock<std::mutex> idle = HoldIdle();
    DropWakeLocked(idle);  // a request not yet started belongs to the deleted contents
    {
        std::lock_guard<std::mutex> lock(m_surfaceLock);
        m_surface.Empty();
    }
    std::lock_guard<std::mutex> lock(m_pictureLock);
    m_picture = QImage();
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
    const int32_t nx = m_settings.gridCountX, ny = m_settings.gridCountY;
    if (nx <= 0 || ny <= 0 || !m_surface.Allocate(nx + 1, ny + 1)) {
        m_surfaceStatus = SurfaceStatus::OutOfMemory;
        return false;
    }
    const MapExtent& e = m_settings.extent;
    CTXFloatArray xn(n), yn(n);
    for (size_t k = 0; k < n; ++k) {
        xn[k] = (m_x[k] - e.x0) / (e.x1 - e.x0);
        yn[k] = (m_y[k] - e.y0) / (e.y1 - e.y0);
    }
    const bool ok = ComputeSurface(int32_t(n), xn.data(), yn.data(), m_values.data(), m_settings.interpFunction,
                                   m_settings.interpParameter, 0.0, 0.0, 1.0 / nx, 1.0 / ny, m_surface,
                                   SurfaceThreadBudget());
    if (ok) {
        m_workFlags &= ~RECALC_SURFACE;
        m_surfaceStatus = SurfaceStatus::Computed;
    } else {
        m_surfaceStatus = m_surface.Cancelled() ? SurfaceStatus::Cancelled : SurfaceStatus::Singular;
    }
    return ok;
}

void CContourMapThread::ContourStep()
{
    m_contourParams.levelStep = m_settings.zAxis.step;
    m_contourParams.intermediate = 2;
    m_levels = m_settings.ContourLevels(m_largestValue).levels;
    if (TraceContours(m_surface, m_levels, m_contourParams, m_result))
        m_workFlags &= ~RECALC_CONTOURS;
}

void CContourMapThread::RenderStep()
{
    const int width = m_client.right - m_client.left, height = m_client.bottom - m_client.top;
    if (width <= 0 || height <= 0)
        return;  // no window to draw for
    MapDrawInput in;
    float start = 0.0f, stop = 0.0f;
    m_settings.ColourRange(m_largestValue, &start, &stop);
    m_settings.colorScale.SetRange(start, stop);
    in.settings = &m_settings;
    in.xAxis = m_xAxis;
    in.yAxis = m_yAxis;
    in.zAxis = m_zAxis;  // RenderMapImage fits it to the fixed-amplitude range when that is in force
    in.layout = m_layout;
    in.surface = &m_surface;
    in.contours = &m_result;
    in.levels = m_levels;
    in.x = &m_x;
    in.y = &m_y;
    in.values = &m_values;
    in.measuredCount = m_measuredCount;
    in.largestValue = m_largestValue;
    in.image = &m_image;
    in.dpiX = m_dpiX;
    in.dpiY = m_dpiY;
    in.abort = &m_result.cancel;

    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return;  // out of memory: the previous picture stays
    RenderMapImage(in, picture);
    if (m_result.Cancelled())
        return;  // a half-drawn picture never replaces the cached one
    std::lock_guard<std::mutex> lock(m_pictureLock);
    m_picture.swap(picture);
}

void CContourMapThread::DoWork()
{
    ScopedRaisedPriority priority(m_raisePriority != 0);
    m_result.busy.exchange(1);
    g_runningMaps.fetch_add(1);

    m_largestValue = m_values.empty() ? 0.0f : *std::max_element(m_values.begin(), m_values.end());
    bool surfaceFailed = false;
    if (m_workFlags & RECALC_SURFACE)
        surfaceFailed = !SurfaceStep();
    if ((m_workFlags & RECALC_CONTOURS) && !surfaceFailed && !m_result.Cancelled())
        ContourStep();
    if ((m_workFlags & RECALC_BITMAP) && !m_result.Cancelled())
        RenderStep();
    if (!m_result.Cancelled() && m_notify)
        m_notify->PostMapNotify(MapNotifyMapReady, m_column);

    g_runningMaps.fetch_sub(1);
    m_result.busy.exchange(0);
}
