#include "image/ImagePositionModel.h"

#include <algorithm>
#include <cmath>

namespace {

// An axis of no length would divide by zero; one unit stands in for it.
double Length(const PreviewAxisRange& a)
{
    const double length = double(a.stop) - double(a.start);
    return length > 0.0 ? length : 1.0;
}

int Truncate(double v)
{
    return int(std::clamp(std::trunc(v), -1.0e9, 1.0e9));
}

}  // namespace

CImagePositionModel::CImagePositionModel(const ImageRect& opening, const PreviewAxisRange& x,
                                         const PreviewAxisRange& y)
    : m_opening(opening), m_values(opening), m_axisX(x), m_axisY(y)
{
}

void CImagePositionModel::Reset()
{
    m_values = {m_axisX.start, m_axisY.start, m_axisX.stop, m_axisY.stop};
}

void CImagePositionModel::SetClientSize(int width, int height, int widestYLabel, int labelHeight)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    // The client area shrunk on its longer side, equally at both ends, to the axes' aspect.
    const double aspect = Length(m_axisX) / Length(m_axisY);
    PreviewRect r{0, 0, width, height};
    if (height > 0 && double(width) / height > aspect) {
        const int fitted = Truncate(height * aspect);
        r.left = (width - fitted) / 2;
        r.right = r.left + fitted;
    } else {
        const int fitted = Truncate(width / aspect);
        r.bottom = (height - fitted) / 2;
        r.top = r.bottom + fitted;
    }
    // Ten pixels in on every side; the Y labels and the X labels need their room from the edge.
    constexpr int kMargin = 10;
    r.left = std::max(r.left + kMargin, widestYLabel + kMargin);
    r.bottom = std::max(r.bottom + kMargin, labelHeight + 6);
    r.right -= kMargin;
    r.top -= kMargin;
    r.right = std::max(r.right, r.left);
    r.top = std::max(r.top, r.bottom);
    m_frame = r;
    SetScaleIndex(m_scaleIndex);
}

void CImagePositionModel::SetScaleIndex(int index)
{
    m_scaleIndex = std::clamp(index, 0, kScaleChoiceCount - 1);
    const int dx = m_scaleIndex * m_frame.Width() / 20;
    const int dy = m_scaleIndex * m_frame.Height() / 20;
    m_plot = {m_frame.left + dx, m_frame.bottom + dy, m_frame.right - dx, m_frame.top - dy};
}

double CImagePositionModel::ScaleX() const
{
    return m_plot.Width() / Length(m_axisX);
}

double CImagePositionModel::ScaleY() const
{
    return m_plot.Height() / Length(m_axisY);
}

double CImagePositionModel::WorldX(int px) const
{
    const double s = ScaleX();
    return m_axisX.start + (s > 0.0 ? (px - m_plot.left) / s : 0.0);
}

double CImagePositionModel::WorldY(int py) const
{
    const double s = ScaleY();
    return m_axisY.start + (s > 0.0 ? (py - m_plot.bottom) / s : 0.0);
}

int CImagePositionModel::PixelX(double x) const
{
    return m_plot.left + Truncate((x - m_axisX.start) * ScaleX());
}

int CImagePositionModel::PixelY(double y) const
{
    return m_plot.bottom + Truncate((y - m_axisY.start) * ScaleY());
}

PreviewRect CImagePositionModel::PictureRect() const
{
    const ImageRect& v = m_values;
    return {PixelX(std::min(v.x0, v.x1)), PixelY(std::min(v.y0, v.y1)), PixelX(std::max(v.x0, v.x1)),
            PixelY(std::max(v.y0, v.y1))};
}

PreviewPoint CImagePositionModel::HandlePoint(int handle) const
{
    const PreviewRect r = PictureRect();
    const int midX = (r.left + r.right) / 2;
    const int midY = (r.bottom + r.top) / 2;
    switch (handle) {
    case 1: return {r.left, r.bottom};
    case 2: return {midX, r.bottom};
    case 3: return {r.right, r.bottom};
    case 4: return {r.right, midY};
    case 5: return {r.right, r.top};
    case 6: return {midX, r.top};
    case 7: return {r.left, r.top};
    case 8: return {r.left, midY};
    default: return {midX, midY};
    }
}

int CImagePositionModel::HitTest(PreviewPoint p) const
{
    for (int handle = 1; handle <= kHandleCount; ++handle) {
        const PreviewPoint h = HandlePoint(handle);
        if (std::abs(p.x - h.x) <= kHandleReach && std::abs(p.y - h.y) <= kHandleReach)
            return handle;
    }
    return PictureRect().Contains(p.x, p.y) ? kWholePicture : kNoHandle;
}

Qt::CursorShape CImagePositionModel::HandleCursor(int handle)
{
    switch (handle) {
    case 1:
    case 5: return Qt::SizeBDiagCursor;  // north-east to south-west
    case 3:
    case 7: return Qt::SizeFDiagCursor;  // north-west to south-east
    case 2:
    case 6: return Qt::SizeVerCursor;
    case 4:
    case 8: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

bool CImagePositionModel::Press(PreviewPoint p)
{
    const int handle = HitTest(p);
    if (handle == kNoHandle)
        return false;
    m_active = handle;
    m_pressed = p;
    DragStep(p);
    return true;
}

void CImagePositionModel::Move(PreviewPoint p)
{
    if (!Dragging())
        return;
    DragStep(p);
    m_pressed = p;
}

void CImagePositionModel::Release(PreviewPoint p)
{
    if (!Dragging())
        return;
    DragStep(p);
    m_active = kNoHandle;
}

void CImagePositionModel::DragStep(PreviewPoint p)
{
    const float x = float(WorldX(p.x));
    const float y = float(WorldY(p.y));
    ImageRect& v = m_values;
    switch (m_active) {
    case kWholePicture: {
        const float dx = float(WorldX(p.x) - WorldX(m_pressed.x));
        const float dy = float(WorldY(p.y) - WorldY(m_pressed.y));
        v.x0 += dx;
        v.x1 += dx;
        v.y0 += dy;
        v.y1 += dy;
        break;
    }
    case 1: v.x0 = x; v.y0 = y; break;
    case 2: v.y0 = y; break;
    case 3: v.x1 = x; v.y0 = y; break;
    case 4: v.x1 = x; break;
    case 5: v.x1 = x; v.y1 = y; break;
    case 6: v.y1 = y; break;
    case 7: v.x0 = x; v.y1 = y; break;
    case 8: v.x0 = x; break;
    default: break;
    }
}

std::vector<double> CImagePositionModel::TickValues(double start, double stop, double step)
{
    constexpr int kMaxTicks = 500;
    std::vector<double> ticks;
    if (!(step > 0.0) || !std::isfinite(start) || !std::isfinite(stop) || stop < start)
        return ticks;
    const double count = std::floor((stop - start) / step * (1.0 + 1e-9) + 1e-9);
    if (count + 1 > kMaxTicks)
        return ticks;
    for (int i = 0; i <= int(count); ++i)
        ticks.push_back(start + i * step);
    return ticks;
}
