#include "geometry/MapAxis.h"

#include <algorithm>
#include <cmath>

#include "util/LevelSeries.h"

bool CMapAxis::Contains(float v) const
{
    return v >= std::min(start, stop) && v <= std::max(start, stop);
}

void CMapAxis::RecomputeScale()
{
    // In 64 bits: a rectangle spanning most of the int range would overflow the difference.
    const float length = float(IsHorizontal() ? int64_t(right) - left : int64_t(bottom) - top);
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
