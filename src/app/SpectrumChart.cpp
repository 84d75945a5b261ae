#include "app/SpectrumChart.h"

#include <algorithm>
#include <cmath>

#include "document/TessarixDoc.h"

std::vector<SpectrumEntry> SpectrumColumns(const CTessarixDoc& doc)
{
    std::vector<SpectrumEntry> entries;
    for (int32_t column : doc.EnabledColumnIndices())
        entries.push_back({column, doc.Column(column).name, 0.0f, false});
    return entries;
}

std::vector<SpectrumEntry> SpectrumAt(CTessarixDoc& doc, float x, float y)
{
    std::vector<SpectrumEntry> entries = SpectrumColumns(doc);
    for (SpectrumEntry& e : entries)
        e.valid = doc.Maps().SurfaceValueAt(e.column, x, y, doc.Settings(), &e.value) && std::isfinite(e.value);
    return entries;
}

bool SpectrumInputRange(CTessarixDoc& doc, float* smallest, float* largest)
{
    bool any = false;
    for (int32_t column : doc.EnabledColumnIndices()) {
        float lo = 0.0f, hi = 0.0f;
        if (!doc.Maps().InputValueRange(column, &lo, &hi) || !std::isfinite(lo) || !std::isfinite(hi))
            continue;
        *smallest = any ? std::min(*smallest, lo) : lo;
        *largest = any ? std::max(*largest, hi) : hi;
        any = true;
    }
    return any;
}

void WidenToEntries(const std::vector<SpectrumEntry>& entries, double* smallest, double* largest)
{
    for (const SpectrumEntry& e : entries) {
        if (!e.valid)
            continue;
        const double v = e.value;
        *smallest = std::isnan(*smallest) ? v : std::min(*smallest, v);
        *largest = std::isnan(*largest) ? v : std::max(*largest, v);
    }
}

SpectrumScale SpectrumScaleFor(double smallest, double largest)
{
    if (!std::isfinite(smallest))
        smallest = largest;
    if (!std::isfinite(largest))
        largest = smallest;
    if (!std::isfinite(smallest))
        return {};
    if (largest < smallest)
        std::swap(smallest, largest);
    // About four intervals; a single value gets a range of one unit.
    const double span = std::max(largest - smallest, 1.0);
    const double raw = span / 4.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * magnitude;
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw) {
            step = m * magnitude;
            break;
        }
    SpectrumScale scale;
    scale.step = step;
    // The low end lies below the smallest value, so its bar has a height: a bar of none would
    // read as a column without a surface.
    scale.low = std::floor(smallest / step) * step;
    if (scale.low >= smallest)
        scale.low -= step;
    scale.high = std::max(std::ceil(largest / step) * step, scale.low + step);
    return scale;
}

double SpectrumValueY(const SpectrumScale& scale, const QRectF& plot, double v)
{
    const double fraction = std::clamp((v - scale.low) / (scale.high - scale.low), 0.0, 1.0);
    return plot.bottom() - fraction * plot.height();
}

std::vector<SpectrumBar> LayoutSpectrumBars(const std::vector<SpectrumEntry>& entries, const SpectrumScale& scale,
                                            const QRectF& plot)
{
    std::vector<SpectrumBar> bars;
    if (entries.empty())
        return bars;
    const double slotWidth = plot.width() / double(entries.size());
    const double barWidth = std::max(1.0, slotWidth * 0.7);
    for (size_t i = 0; i < entries.size(); ++i) {
        SpectrumBar b;
        b.slot = QRectF(plot.left() + slotWidth * double(i), plot.top(), slotWidth, plot.height());
        b.valid = entries[i].valid;
        if (b.valid) {
            const double top = SpectrumValueY(scale, plot, entries[i].value);
            b.bar = QRectF(b.slot.center().x() - barWidth / 2.0, top, barWidth, plot.bottom() - top);
        }
        bars.push_back(b);
    }
    return bars;
}

QString SpectrumCopyText(const std::vector<SpectrumEntry>& entries, const ExchangeLocale& locale)
{
    QStringList fields;
    for (const SpectrumEntry& e : entries)
        fields.append(e.valid ? LocaliseCell(QString::asprintf("%g", double(e.value)), locale) : QString());
    return fields.join(u'\t');
}
