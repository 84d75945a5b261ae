#include "geometry/MapLayout.h"

#include <QFontMetrics>

#include <algorithm>

#include "util/KWFont.h"
#include "util/TXCDC.h"

QSize MeasureAxis(const CMapAxis& axis, int dpiY)
{
    const QFont font = TxMakeDeviceFont(axis.font, TxMulDiv(axis.font.height, dpiY, 720));
    const QFontMetrics m(font);
    const int lineHeight = m.ascent() + m.descent();
    int w = m.horizontalAdvance(axis.title);
    int h = lineHeight;
    for (const QString& label : axis.tickLabels) {
        w = std::max(w, m.horizontalAdvance(label));
        h = std::max(h, lineHeight);
    }
    return QSize(w, h);
}

TxRect KeepEqualScales(const TxRect& graph, const CMapAxis& x, const CMapAxis& y)
{
    TxRect g = graph;
    const int width = g.Width();
    const int height = g.Height();
    if (width <= 0 || height <= 0)
        return g;
    const float hx = (x.stop - x.start) / float(width);
    const float hy = (y.stop - y.start) / float(height);
    if (hx > hy) {
        const int d = int((float(height) - float(height) * hy / hx) / 2.0f);
        g.top += d;
        g.bottom -= d;
    } else {
        const int d = int((float(width) - float(width) * hx / hy) / 2.0f);
        g.left += d;
        g.right -= d;
    }
    return g;
}

MapLayout ComputeMapLayout(const TxRect& c, int dpiX, int dpiY, const CMapAxis& x, const CMapAxis& y,
                           const CMapAxis& z, bool xHidden, bool yHidden, bool zHidden,
                           int borderPenWidth)
{
    const QSize xs = MeasureAxis(x, dpiY);
    const QSize ys = MeasureAxis(y, dpiY);
    const QSize zs = MeasureAxis(z, dpiY);
    const int xw = xs.width(), xh = xs.height();
    const int yw = ys.width(), yh = ys.height();
    const int zw = zs.width();

    MapLayout l;
    l.client = c;
    TxRect& g = l.graph;
    const int a = xHidden ? 0 : xw / 2;
    g.left = c.left + std::max(a, yHidden ? 0 : yw);
    g.top = c.top + yh;
    const int f = (dpiX + 8) / 9;  // bar width, about a ninth of an inch
    g.right = c.right - (2 * f + (zHidden ? 0 : zw) + a);
    g.bottom = c.bottom - ((xHidden ? 0 : xh) + (yHidden ? 0 : xh / 2));

    const int inset = borderPenWidth + (dpiX + 17) / 18;
    g.left += inset;
    g.top += inset;
    g.right -= inset;
    g.bottom -= inset;

    g = KeepEqualScales(g, x, y);

    l.xAxisArea = {g.left, g.bottom, g.right, g.bottom + xh / 2 + xh};
    l.yAxisArea = {g.left - std::max(xw / 2, yw), g.top, g.left, g.bottom};
    l.colourBar.top = g.top + f + 4;
    l.colourBar.bottom = g.bottom - f - 4;
    l.colourBar.left = g.right + (dpiX + 8) / 18;
    l.colourBar.right = l.colourBar.left + zw + f;
    return l;
}
