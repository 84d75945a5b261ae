#pragma once
// The spectrum at the cursor, kept free of widgets: the value of every enabled column at one map
// position, the value scale the bars stand on, where each bar goes in the plot, and the line
// that Copy puts on the clipboard.
//
// A column's value is its surface value at the position as the Z read-out gives it (the grid
// cell's lower-left node), so the bar of the active column and the read-out always agree. The
// scale spans the columns' input values (stable while the pointer moves), widened to the values
// shown and rounded out to whole steps of 1, 2 or 5 times a power of ten, with the low end below
// the smallest value so that every value has a bar.

#include <QRectF>
#include <QString>

#include <vector>

#include "dataentry/TableExchange.h"

class CTessarixDoc;

struct SpectrumEntry {
    int column = -1;
    QString name;
    float value = 0.0f;
    bool valid = false;  // the column has a surface value at the position
};

// Every enabled column with its name and no value.
std::vector<SpectrumEntry> SpectrumColumns(const CTessarixDoc& doc);
// Every enabled column with its surface value at map position (x, y) where it has one.
std::vector<SpectrumEntry> SpectrumAt(CTessarixDoc& doc, float x, float y);
// The smallest and largest input value over the enabled columns' last map requests; false when
// no column has any.
bool SpectrumInputRange(CTessarixDoc& doc, float* smallest, float* largest);

struct SpectrumScale {
    double low = 0.0;
    double high = 100.0;
    double step = 20.0;  // tick spacing; low and high are multiples of it
    friend bool operator==(const SpectrumScale&, const SpectrumScale&) = default;
};
// The scale for values from `smallest` to `largest` (either may be NaN: ignored); with no value
// at all, 0..100.
SpectrumScale SpectrumScaleFor(double smallest, double largest);
// The smallest and largest valid value of `entries` widened into `*smallest`..`*largest`.
void WidenToEntries(const std::vector<SpectrumEntry>& entries, double* smallest, double* largest);

struct SpectrumBar {
    QRectF slot;  // the column's share of the plot width, full height (its label goes below it)
    QRectF bar;   // from the scale's low end up to the value, clamped to the plot; empty when invalid
    bool valid = false;
};
// The vertical position of value v in `plot` (low at the bottom), clamped to the plot.
double SpectrumValueY(const SpectrumScale& scale, const QRectF& plot, double v);
// One slot per entry across `plot`, each bar centred in its slot at 70 % of its width (at least
// one pixel).
std::vector<SpectrumBar> LayoutSpectrumBars(const std::vector<SpectrumEntry>& entries, const SpectrumScale& scale,
                                            const QRectF& plot);

// The values as one line, separated by TAB, in column order, "%g" with the locale's decimal
// separator; a column without a value leaves its field empty, so the fields stay in place.
QString SpectrumCopyText(const std::vector<SpectrumEntry>& entries, const ExchangeLocale& locale);
