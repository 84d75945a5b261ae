#include "render/MapAnnotations.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <vector>

#include "colors/KWColorScale.h"
#include "document/TessarixSettings.h"
#include "mapping/ContourResult.h"
#include "mapping/LabelPlacer.h"
#include "render/MapDrawInput.h"
#include "render/MapGeometry.h"
#include "util/KWFont.h"
#include "util/PhaseTimes.h"
#include "util/TXCDC.h"

namespace {

// Saves and restores the surface's text state (colours, background mode, alignment, font).
class TextStateGuard {
public:
    explicit TextStateGuard(CTXCDC& dc)
        : m_dc(dc), m_text(dc.TextColor()), m_bk(dc.BkColor()), m_mode(dc.BkMode()),
          m_align(dc.TextAlign()), m_font{dc.Font(), dc.Escapement()}
    {
    }
    ~TextStateGuard()
    {
        m_dc.SetTextColor(m_text);
        m_dc.SetBkColor(m_bk);
        m_dc.SetBkMode(m_mode);
        m_dc.SetTextAlign(m_align);
        m_dc.RestoreFont(m_font);
    }
    TextStateGuard(const TextStateGuard&) = delete;
    TextStateGuard& operator=(const TextStateGuard&) = delete;

private:
    CTXCDC& m_dc;
    TxColor m_text;
    TxColor m_bk;
    int m_mode;
    unsigned m_align;
    CTXCDC::FontState m_font;
};

unsigned AxisTextAlign(int side)
{
    switch (side) {
    case CMapAxis::LeftOfVertical:
        return TA_RIGHT | TA_TOP;
    case CMapAxis::AboveHorizontal:
        return TA_CENTER | TA_BOTTOM;
    case CMapAxis::RightOfVertical:
        return TA_LEFT | TA_TOP;
    default:
        return TA_CENTER | TA_TOP;
    }
}

// Pixels of the tick at `a`: from one pixel outside the edge away from the graph, L - 2 long
// (the line's end point is not drawn).
QRect TickMark(const CMapAxis& axis, int a, int L, int* anchor)
{
    const int n = std::max(0, L - 2);
    switch (axis.side) {
    case CMapAxis::LeftOfVertical:
        *anchor = axis.left - L;
        return QRect(axis.left - 1 - n + 1, a, n, 1);
    case CMapAxis::AboveHorizontal:
        *anchor = axis.top - L;
        return QRect(a, axis.top - 1 - n + 1, 1, n);
    case CMapAxis::RightOfVertical:
        *anchor = axis.right + L;
        return QRect(axis.right + 1, a, n, 1);
    default:
        *anchor = axis.bottom + L;
        return QRect(a, axis.bottom + 1, 1, n);
    }
}

QFont ScaledFont(const FontRecord& record, int dpiY)
{
    return TxMakeDeviceFont(record, TxMulDiv(record.height, dpiY, 720));
}

}  // namespace

int TickLength(int dpiX)
{
    return (dpiX + 17) / 18;
}

int ColourBarWidth(int dpiX)
{
    return (dpiX + 8) / 9;
}

AxisLayout LayoutAxis(const CMapAxis& axis, int dpiX, int textHeight)
{
    AxisLayout out;
    out.textAlign = AxisTextAlign(axis.side);
    const int L = TickLength(dpiX);
    const bool horizontal = axis.IsHorizontal();
    int m1 = horizontal ? axis.right : axis.bottom;
    int m2 = m1;
    int anchor = 0;
    const float tolerance = axis.step / 100.0f;
    for (size_t k = 0; k < axis.ticks.size(); ++k) {
        const float t = axis.ticks[k];
        if (!(axis.start <= t + tolerance && axis.stop >= t - tolerance))
            continue;
        AxisTickLayout tick;
        tick.value = t;
        tick.position = axis.WorldToDevice(t);
        const int a = tick.position;
        if (a < m1) {
            m2 = m1;
            m1 = a;
        } else if (m1 < a && a < m2) {
            m2 = a;
        }
        tick.mark = TickMark(axis, a, L, &anchor);
        tick.label = k < size_t(axis.tickLabels.size()) ? axis.tickLabels[qsizetype(k)]
                                                        : CMapAxis::FormatTick(t);
        if (horizontal)
            tick.labelOrigin = QPoint(a, anchor);
        else if (a + textHeight > axis.bottom)
            tick.labelOrigin = QPoint(anchor, a - textHeight);  // would pass the axis end
        else
            tick.labelOrigin = QPoint(anchor, a - textHeight / 2);
        out.ticks.push_back(std::move(tick));
    }
    const int c = (m1 + m2) / 2;
    out.titleOrigin = horizontal ? QPoint(c, anchor) : QPoint(anchor, c - textHeight / 2);
    return out;
}

void DrawAxis(CTXCDC& dc, const CMapAxis& axis)
{
    QPainter* p = dc.Painter();
    if (!p)
        return;
    TextStateGuard guard(dc);
    dc.SelectFont(ScaledFont(axis.font, dc.DpiY()));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(axis.color);
    const int h = dc.TextExtent(QStringLiteral("0")).height();
    const AxisLayout layout = LayoutAxis(axis, dc.DpiX(), h);
    dc.SetTextAlign(layout.textAlign);
    const QColor colour = TxToQColor(axis.color);
    for (const AxisTickLayout& tick : layout.ticks) {
        if (!tick.mark.isEmpty())
            p->fillRect(tick.mark, colour);
        dc.TextOut(tick.labelOrigin.x(), tick.labelOrigin.y(), tick.label);
    }
    dc.TextOut(layout.titleOrigin.x(), layout.titleOrigin.y(), axis.title);
}

void DrawFrameRect(CTXCDC& dc, const PenRecord& record, const TxRect& r)
{
    QPainter* p = dc.Painter();
    if (!p || record.style == PenInvisible)
        return;
    const int e = std::max(1, record.width) / 2;
    // Vertices at pixel centres: a pen w wide then covers the w pixels centred on the path.
    const QRectF path(r.left - e + 0.5, r.top - e + 0.5, r.Width() + 2 * e, r.Height() + 2 * e);
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(MakePen(record));
    p->setBrush(Qt::NoBrush);
    p->drawPolygon(QPolygonF(path));
    p->restore();
}

TxRect ColourBarRect(const TxRect& area, int dpiX)
{
    return {area.left, area.top, area.left + ColourBarWidth(dpiX), area.bottom};
}

void DrawColourBar(CTXCDC& dc, MapDrawInput& in, const TxRect& area)
{
    QPainter* p = dc.Painter();
    if (!p || !in.settings)
        return;
    const CTessarixSettings& s = *in.settings;
    const TxRect bar = ColourBarRect(area, dc.DpiX());
    DrawFrameRect(dc, s.borderPen, bar);
    const int f = bar.Width();
    const int height = bar.Height();
    if (height > 0) {
        int k = 1;
        for (int y = bar.bottom - 1; y > bar.top; --y, ++k) {
            const TxColor c = s.colorScale.ColorAt(float(k) / float(height)) & 0x00FFFFFFu;
            p->fillRect(QRect(bar.left + 1, y, f - 1, 1), TxToQColor(c));
        }
    }
    in.zAxis.SetAxisRect(bar);
    if (!s.zAxis.hidden)
        DrawAxis(dc, in.zAxis);
}

QString FormatValue(float v, bool exponent, int decimals)
{
    const unsigned n = unsigned(std::clamp(decimals, 0, 20));
    const QByteArray format = QString::asprintf(exponent ? "%%.%ue" : "%%.%uf", n).toLatin1();
    return QString::asprintf(format.constData(), double(v));
}

QString FormatValue(float v, const CTessarixSettings& s)
{
    return FormatValue(v, s.valueExponentFormat != 0, s.valueDecimals);
}

void DrawContourLabels(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip)
{
    if (!in.settings || !in.contours || !in.labelPlacer || !dc.Painter())
        return;
    const CTessarixSettings& s = *in.settings;
    TextStateGuard guard(dc);
    dc.SetBkColor(s.labelBkColor);
    CKWFontSelection selection;
    if (!selection.Open(dc, CKWFont(s.labelFont), 0, s.labelBkMode ? OPAQUE : TRANSPARENT,
                        s.labelFontColor))
        return;
    const QFont font = dc.Font();
    const int zeroHeight = selection.zeroExtent.height();
    const NormalisedToDevice map = NormalisedMappingOf(in);
    const LabelStyle style{in.layout.graph, s.curveTolerance, s.labelDistance, s.edgeDistance};
    const QRect clipRect = ToQRect(clip);

    dc.SetTextAlign(TA_LEFT | TA_BASELINE);
    for (size_t k = 0; k < in.levels.size(); ++k) {
        const size_t entry = 3 * k;
        if (entry >= in.contours->entries.size())
            break;
        const QString text = FormatValue(in.levels[k], s);
        dc.SelectFont(font, 0);
        const QSize extent = dc.TextExtent(text);
        const int widen = std::max(extent.width(), extent.height());
        for (const auto& line : in.contours->entries[entry].polylines) {
            if (!line || line->size() < 2)
                continue;
            QRect box = NormalisedRect(map.MapX(line->minX), map.MapY(line->minY), map.MapX(line->maxX),
                                       map.MapY(line->maxY));
            box.adjust(-widen, -widen, widen, widen);
            if (!box.intersects(clipRect))
                continue;
            dc.SelectFont(font, 0);
            std::vector<LabelPlacement> labels;
            {
                const ScopedPhase timed(MapPhase::Labels);
                labels = in.labelPlacer(*line, map, style, extent.width(), zeroHeight);
            }
            for (const LabelPlacement& at : labels) {
                dc.SelectFont(font, CKWFontSelection::Escapement(at.angleTenths));
                dc.TextOut(at.textX, at.textY, text);
            }
        }
    }
    dc.SelectFont(font, 0);
}

void DrawPositions(CTXCDC& dc, const MapDrawInput& in)
{
    QPainter* p = dc.Painter();
    if (!p || !in.settings || !in.x || !in.y)
        return;
    const CTessarixSettings& s = *in.settings;
    PenRecord record = s.contourPen;
    record.width = PositionPenWidth(s.symbol, record.width, s.symbolSize);
    TextStateGuard guard(dc);
    dc.SetTextColor(record.color);
    p->save();
    p->setPen(MakePen(record));
    p->setBrush(Qt::white);
    const size_t count = std::min({size_t(std::max(0, in.measuredCount)), in.x->size(), in.y->size()});
    const int half = s.symbolSize / 2;
    for (size_t n = 0; n < count; ++n) {
        if (!in.xAxis.Contains((*in.x)[n]) || !in.yAxis.Contains((*in.y)[n]))
            continue;  // outside the map: not drawn
        const int x = in.xAxis.WorldToDevice((*in.x)[n]);
        const int y = in.yAxis.WorldToDevice((*in.y)[n]);
        DrawSymbol(dc, s.symbolSet, s.symbol, {x - half, y - half, x + half, y + half});
    }
    p->restore();
}

std::array<QPoint, 5> ArrowPoints(int symbol, const TxRect& r)
{
    const double theta = double(((27 - symbol) % 16 + 16) % 16) * 22.5 * M_PI / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);
    const double w = r.right - r.left, h = r.bottom - r.top;
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    auto map = [&](double u, double v) {
        return QPoint(int(std::trunc((u * c + v * s) * w + cx)), int(std::trunc((v * c - u * s) * h + cy)));
    };
    return {map(0, -0.5), map(0, 0.5), map(0, 0.5), map(-0.1, 0.1), map(0.1, 0.1)};
}

int SymbolCharCode(int symbol, int firstCharCode)
{
    return symbol + (firstCharCode > 32 ? firstCharCode : 33);
}

int FirstCharCode(const QString& family)
{
    static QMutex mutex;
    static QHash<QString, int> cache;
    QMutexLocker lock(&mutex);
    const auto it = cache.constFind(family);
    if (it != cache.constEnd())
        return *it;
    QFont font(family);
    font.setPixelSize(32);
    const QRawFont raw = QRawFont::fromFont(font);
    int first = 33;
    if (raw.isValid())
        for (uint c = 32; c <= 0xFFFF; ++c)
            if (raw.supportsCharacter(c)) {
                first = int(c);
                break;
            }
    cache.insert(family, first);
    return first;
}

QStringList SymbolFontFamilies()
{
    return QFontDatabase::families(QFontDatabase::Symbol);
}

void DrawSymbol(CTXCDC& dc, const QString& symbolSet, int symbol, const TxRect& rect)
{
    QPainter* p = dc.Painter();
    if (!p)
        return;
    if (!symbolSet.isEmpty()) {
        TextStateGuard guard(dc);
        QFont font(symbolSet);
        font.setPixelSize(std::max(1, rect.Height()));
        dc.SelectFont(font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.TextOut(rect.left, rect.top, QString(QChar(char16_t(SymbolCharCode(symbol, FirstCharCode(symbolSet))))));
        return;
    }
    if (symbol < 0 || symbol >= kBuiltInSymbolCount)
        return;

    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const int cx = (l + r) / 2, cy = (t + b) / 2;
    const QBrush solid(TxToQColor(dc.TextColor()));
    // Vertices at pixel centres, so that a one-pixel line covers exactly the pixels it names.
    auto at = [](int x, int y) { return QPointF(x + 0.5, y + 0.5); };
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    switch (symbol) {
    case 0:
    case 1:
    case 2:
        if (symbol != 1) {
            // Along pixel centres, from the first pixel's edge to the last one's: exactly the
            // pixels top..bottom - 1 (left..right - 1), the end point not drawn.
            p->drawLine(QPointF(cx + 0.5, t), QPointF(cx + 0.5, b));
            p->drawLine(QPointF(l, cy + 0.5), QPointF(r, cy + 0.5));
        }
        if (symbol != 0) {
            p->drawLine(at(l, t), at(r, b));
            p->drawLine(at(l, b), at(r, t));
        }
        break;
    case 3:
    case 4: {
        if (symbol == 4)
            p->setBrush(solid);
        const QPointF diamond[4] = {at(l, cy), at(cx, t), at(r - 1, cy), at(cx, b - 1)};
        p->drawPolygon(diamond, 4);
        break;
    }
    case 5:
    case 6:
        if (symbol == 6)
            p->setBrush(solid);
        p->drawRect(QRectF(at(l + 2, t + 2), at(r - 3, b - 3)));
        break;
    case 7:
    case 8:
        if (symbol == 8)
            p->setBrush(solid);
        p->drawEllipse(QRectF(at(l, t), at(r - 1, b - 1)));
        break;
    case 9:
    case 10: {
        if (symbol == 10)
            p->setBrush(solid);
        const int il = l + 2, it = t + 2, ir = r - 2, ib = b - 2;
        const QPointF triangle[3] = {at(cx, it), at(ir - 1, ib - 1), at(il, ib - 1)};
        p->drawPolygon(triangle, 3);
        break;
    }
    default: {
        const std::array<QPoint, 5> a = ArrowPoints(symbol, rect);
        p->drawLine(at(a[0].x(), a[0].y()), at(a[1].x(), a[1].y()));
        p->setBrush(solid);
        const QPointF head[3] = {at(a[2].x(), a[2].y()), at(a[3].x(), a[3].y()), at(a[4].x(), a[4].y())};
        p->drawPolygon(head, 3);
        break;
    }
    }
    p->restore();
}

QPoint ValueTextOrigin(int position, int x, int y, int w, int h, int hu)
{
    switch (position) {
    case ValueUpLeft:
        return {x - w - hu, y - hu - h};
    case ValueUp:
        return {x - w / 2, y - hu - h};
    case ValueUpRight:
        return {x + hu, y - hu - h};
    case ValueRight:
        return {x + hu, y - h / 2};
    case ValueDownRight:
        return {x + hu, y + hu};
    case ValueDown:
        return {x - w / 2, y + hu};
    case ValueDownLeft:
        return {x - w - hu, y + hu};
    case ValueLeft:
        return {x - w - hu, y - h / 2};
    default:
        return {x - w / 2, y - h / 2};
    }
}

void DrawValues(CTXCDC& dc, const MapDrawInput& in)
{
    if (!dc.Painter() || !in.settings || !in.x || !in.y || !in.values)
        return;
    const CTessarixSettings& s = *in.settings;
    TextStateGuard guard(dc);
    dc.SetBkColor(s.valueBkColor);
    CKWFontSelection selection;
    if (!selection.Open(dc, CKWFont(s.valueFont), 0, s.valueBkMode ? OPAQUE : TRANSPARENT,
                        s.valueFontColor))
        return;
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const int u = s.showPositions ? s.symbolSize : 0;
    const int hu = u / 2;
    const size_t count = std::min({in.x->size(), in.y->size(), in.values->size()});
    for (size_t i = 0; i < count; ++i) {
        if (!in.xAxis.Contains((*in.x)[i]) || !in.yAxis.Contains((*in.y)[i]))
            continue;  // outside the map: not drawn
        const int x = in.xAxis.WorldToDevice((*in.x)[i]);
        const int y = in.yAxis.WorldToDevice((*in.y)[i]);
        const QString text = FormatValue((*in.values)[i], s);
        const QSize e = dc.TextExtent(text);
        const QPoint o = ValueTextOrigin(s.relativePosition, x, y, e.width(), e.height(), hu);
        dc.TextOut(o.x(), o.y(), text);
    }
}
