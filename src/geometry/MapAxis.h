#pragma once
// CMapAxis: one drawing axis (X below the graph, Y left of it, Z right of the colour bar): its
// value range, the device rectangle it spans, its ticks and tick labels, and the world-to-device
// mapping. Device y grows downwards while world values grow upwards, so a vertical axis counts
// from its bottom edge.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "util/LevelSeries.h"
#include "util/TxTypes.h"

// Device coordinates stay within this bound, far beyond any page or screen yet far enough from
// the int limits that symbol and label offsets added to them cannot overflow.
inline constexpr int32_t kMaxDeviceCoordinate = 1 << 24;

class CMapAxis {
public:
    enum Side : int32_t { LeftOfVertical = 0, AboveHorizontal = 1, RightOfVertical = 2, BelowHorizontal = 3 };

    CMapAxis() = default;
    explicit CMapAxis(int32_t axisSide, const QString& axisTitle) : side(axisSide), title(axisTitle) {}

    bool IsHorizontal() const { return side & 1; }

    // Device coordinate of v: the offset from start is truncated toward zero, and the result
    // clamped to +-kMaxDeviceCoordinate (NaN maps to the axis origin). Inline, as it maps every
    // contour vertex and cell edge of a map.
    int WorldToDevice(float v) const;
    // Whether v lies within the axis range (ends included); NaN does not.
    bool Contains(float v) const;
    // Assigns the device rectangle and recomputes the scale.
    void SetAxisRect(const TxRect& r);
    // Assigns the range (a stop not above start becomes start + 10) and rebuilds the ticks; a
    // refused tick series leaves the axis without ticks and says why in tickStatus.
    void SetAxisRange(float newStart, float newStop, float newStep);

    TxRect Rect() const { return {left, top, right, bottom}; }

    // "%g" with trailing fractional zeros (and a bare decimal point) removed.
    static QString FormatTick(float v);

    float start = 0.0f;
    float stop = 1.0f;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t side = BelowHorizontal;
    CTXFloatArray ticks;
    LevelSeriesStatus tickStatus = LevelSeriesStatus::Ok;
    QStringList tickLabels;
    FontRecord font;
    TxColor color = 0;
    float step = 0.1f;
    QString title;
    float scale = 0.0f;

private:
    void RecomputeScale();
};

inline int CMapAxis::WorldToDevice(float v) const
{
    // The offset in double, truncated by an integer conversion: exact for |offset| below 2^40.
    // Beyond that the result is at the clamp whatever the (int32) origin, so only the side
    // counts; a position far outside the axis (or not a number) thus never overflows.
    constexpr double kExactOffset = 0x1p40;
    const bool horizontal = IsHorizontal();
    const int64_t origin = horizontal ? left : bottom;
    const double offset = (double(v) - double(start)) * double(scale);
    int64_t device;
    if (std::fabs(offset) < kExactOffset) {
        const int64_t whole = int64_t(offset);  // toward zero
        device = horizontal ? origin + whole : origin - whole;
    } else if (std::isnan(offset)) {
        device = origin;
    } else {
        device = (offset > 0.0) == horizontal ? kMaxDeviceCoordinate : -kMaxDeviceCoordinate;
    }
    return int(std::clamp<int64_t>(device, -kMaxDeviceCoordinate, kMaxDeviceCoordinate));
}
