#include "geometry/MapAxis.h"

#include <algorithm>
#include <cmath>

#include "util/LevelSeries.h"

int CMapAxis::WorldToDevice(float v) const
{
    // In double and clamped before it becomes an integer: a position far outside the axis (or
    // not a number) lands at the edge of the device range instead of overflowing.
    const double offset = (double(v) - double(start)) * double(scale);
    const double origin = IsHorizontal() ? double(left) : double(bottom);
    double device = IsHorizontal() ? origin + std::trunc(offset) : origin - std::trunc(offset);
    if (std::isnan(device))
        device = origin;
    device = std::clamp(device, -double(kMaxDeviceCoordinate), double(kMaxDeviceCoordinate));
    return int(device);
}

bool CMapAxis::Contains(float v) const
{
    return v >= std::min(start, stop) && v <= std::max(start, stop);
}

void CMapAxis::RecomputeScale()
{
    const float length = float(IsHorizontal() ? right - left : bottom - top);
    scale = length / (stop - start);
}

void CMapAxis::SetAxisRect(const TxRect& r)
{
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
    RecomputeScale();
}

QString CMapAxis::FormatTick(float v)
{
    QString s = QString::asprintf("%g", double(v));
    const qsizetype dot = s.indexOf(u'.');
    if (dot >= 0 && !s.contains(u'e')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s;
}

void CMapAxis::SetAxisRange(float newStart, float newStop, float newStep)
{
    start = newStart;
    stop = newStart >= newStop ? newStart + 10.0f : newStop;
    step = newStep;
    ticks = LevelSeries(start, stop, step, &tickStatus);
    tickLabels.clear();
    for (float t : ticks)
        tickLabels.append(FormatTick(t));
    RecomputeScale();
}
