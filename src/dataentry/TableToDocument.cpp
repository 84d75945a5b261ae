#include "dataentry/TableToDocument.h"

#include <algorithm>
#include <cmath>

#include "document/TessarixDoc.h"

float NiceStep(float range, int parts)
{
    if (!(range > 0.0f))
        return 1.0f;
    const float raw = range / float(parts);
    const float magnitude = std::pow(10.0f, std::floor(std::log10(raw)));
    for (float m : {1.0f, 2.0f, 2.5f, 5.0f, 10.0f})
        if (raw <= m * magnitude * 1.0001f)
            return m * magnitude;
    return 10.0f * magnitude;
}

namespace {

void FitAxis(AxisSettings& axis, float lo, float hi, int parts)
{
    const float step = NiceStep(hi - lo, parts);
    float start = step * std::floor(lo / step);
    float stop = step * std::ceil(hi / step);
    if (!(stop > start))
        stop = start + step;
    axis.start = start;
    axis.stop = stop;
    axis.step = step;
}

}  // namespace

void ApplyTextTable(CTessarixDoc& doc, const TextTable& table)
{
    std::array<CTXFloatArray, kColumnCount> values;
    std::array<bool, kColumnCount> enabled{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c) {
        names[size_t(c)] = doc.Column(c).name;
        enabled[size_t(c)] = c == 0;
    }
    for (int c = 0; c < int(table.columnNames.size()) && c < kColumnCount; ++c) {
        names[size_t(c)] = table.columnNames[c];
        enabled[size_t(c)] = true;
        values[size_t(c)] = table.values[size_t(c)];
    }
    for (int c = 0; c < kColumnCount; ++c) {
        doc.Column(c).enabled = enabled[size_t(c)] ? 1 : 0;
        doc.Column(c).name = names[size_t(c)];
    }
    const auto n = int32_t(table.x.size());
    doc.SetPointTable(n, table.x, table.y, values);

    CTessarixSettings& s = doc.Settings();
    if (n > 0) {
        const auto [x0, x1] = std::minmax_element(table.x.begin(), table.x.end());
        const auto [y0, y1] = std::minmax_element(table.y.begin(), table.y.end());
        FitAxis(s.xAxis, std::min(0.0f, *x0), *x1, 8);
        FitAxis(s.yAxis, std::min(0.0f, *y0), *y1, 8);
        s.extent = {s.xAxis.start, s.xAxis.stop, s.yAxis.start, s.yAxis.stop};
        // Equal steps on both axes keep the grid square.
        const float spanX = s.extent.x1 - s.extent.x0;
        const float spanY = s.extent.y1 - s.extent.y0;
        const int longer = 60;
        if (spanX >= spanY) {
            s.gridCountX = longer;
            s.gridCountY = std::clamp(int(std::lround(longer * spanY / spanX)), 10, 1000);
        } else {
            s.gridCountY = longer;
            s.gridCountX = std::clamp(int(std::lround(longer * spanX / spanY)), 10, 1000);
        }
        float lo = INFINITY, hi = -INFINITY;
        for (const CTXFloatArray& column : table.values)
            for (float v : column) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        if (std::isfinite(lo) && std::isfinite(hi)) {
            FitAxis(s.zAxis, lo, hi, 8);
            s.boundaryLevel = s.zAxis.start;
            s.boundaryDistance = 0.1f * std::max(spanX, spanY);
        }
    }
    doc.RefreshAxes(PropAllAxes);
    doc.SetModifiedFlag();
}
