#include "dataentry/RecalcXYModel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "util/KWProfileStore.h"

const char* const kRecalcXYSection = "RecalcXYCoordinate";

namespace {

QString Section()
{
    return QString::fromLatin1(kRecalcXYSection);
}

}  // namespace

RecalcXYLayout RecalcXYLayout::Clamped() const
{
    RecalcXYLayout l = *this;
    l.xCount = std::clamp(l.xCount, kMinCount, kMaxCount);
    l.yCount = std::clamp(l.yCount, kMinCount, kMaxCount);
    l.fillOrder = std::clamp(l.fillOrder, int(FillRowMajor), int(FillColumnMajor));
    l.startFrom = std::clamp(l.startFrom, int(StartTopLeft), int(StartBottomLeft));
    l.fontSize = std::clamp(l.fontSize, kMinFontSize, kMaxFontSize);
    return l;
}

QPointF RecalcXYLayout::CellCentre(int column, int row) const
{
    // Each product and each sum is rounded to single precision on its own.
    const float dx = float(column + 0.5f) * width;
    const float dy = float(float(yCount - row - 1) + 0.5f) * height;
    const float x = xStart + dx;
    const float y = yStart + dy;
    return QPointF(double(x), double(y));
}

int RecalcXYSpin(int value, int delta, int low, int high)
{
    return int(std::clamp<long long>(static_cast<long long>(value) + delta, low, high));
}

RecalcXYLayout LoadRecalcXYLayout(CKWProfileStore& store)
{
    const QString s = Section();
    RecalcXYLayout d;
    RecalcXYLayout l;
    l.xCount = store.ReadInt(s, QStringLiteral("XCount"), d.xCount);
    l.yCount = store.ReadInt(s, QStringLiteral("YCount"), d.yCount);
    l.width = store.ReadFloat(s, QStringLiteral("Width"), d.width);
    l.height = store.ReadFloat(s, QStringLiteral("Height"), d.height);
    l.xStart = store.ReadFloat(s, QStringLiteral("XStart"), d.xStart);
    l.yStart = store.ReadFloat(s, QStringLiteral("YStart"), d.yStart);
    l.fillOrder = store.ReadInt(s, QStringLiteral("FillOrder"), d.fillOrder);
    l.startFrom = store.ReadInt(s, QStringLiteral("StartFrom"), d.startFrom);
    l.fontSize = store.ReadInt(s, QStringLiteral("FontSize"), d.fontSize);
    // Serpentine moving is chosen afresh every time.
    l.serpentine = false;
    // A profile edited by hand must not bring a count of 0 or a corner that does not exist.
    return l.Clamped();
}

void StoreRecalcXYLayout(CKWProfileStore& store, const RecalcXYLayout& l)
{
    const QString s = Section();
    store.WriteInt(s, QStringLiteral("XCount"), l.xCount);
    store.WriteFloat(s, QStringLiteral("XStart"), l.xStart);
    store.WriteFloat(s, QStringLiteral("Width"), l.width);
    store.WriteInt(s, QStringLiteral("YCount"), l.yCount);
    store.WriteFloat(s, QStringLiteral("YStart"), l.yStart);
    store.WriteFloat(s, QStringLiteral("Height"), l.height);
    store.WriteInt(s, QStringLiteral("FillOrder"), l.fillOrder);
    store.WriteInt(s, QStringLiteral("StartFrom"), l.startFrom);
    store.WriteInt(s, QStringLiteral("FontSize"), l.fontSize);
}

void LoadRecalcXYWindowSize(CKWProfileStore& store, int designedWidth, int designedHeight,
                            int* width, int* height)
{
    const QString s = Section();
    *width = std::max(designedWidth, store.ReadInt(s, QStringLiteral("WndWidth"), designedWidth));
    *height = std::max(designedHeight, store.ReadInt(s, QStringLiteral("WndHeight"), designedHeight));
}

void StoreRecalcXYWindowSize(CKWProfileStore& store, int width, int height)
{
    const QString s = Section();
    store.WriteInt(s, QStringLiteral("WndWidth"), width);
    store.WriteInt(s, QStringLiteral("WndHeight"), height);
}

RecalcXYPlacement PlaceRecalcXYPoints(const RecalcXYLayout& input, int pointCount)
{
    const RecalcXYLayout l = input.Clamped();
    RecalcXYPlacement out;
    const int n = std::max(0, pointCount);
    out.x.assign(size_t(n), 0.0f);
    out.y.assign(size_t(n), 0.0f);

    const bool right = l.startFrom == StartTopRight || l.startFrom == StartBottomRight;
    const bool bottom = l.startFrom == StartBottomRight || l.startFrom == StartBottomLeft;
    const int startColumn = right ? l.xCount - 1 : 0;
    const int startRow = bottom ? l.yCount - 1 : 0;
    int columnStep = right ? -1 : 1;
    int rowStep = bottom ? -1 : 1;
    int column = startColumn;
    int row = startRow;

    out.placed = std::min(n, l.CellCount());
    for (int i = 0; i < out.placed; ++i) {
        const QPointF p = l.CellCentre(column, row);
        out.x[size_t(i)] = float(p.x());
        out.y[size_t(i)] = float(p.y());
        if (l.fillOrder == FillRowMajor) {
            column += columnStep;
            if (column < 0 || column >= l.xCount) {
                row += rowStep;
                if (l.serpentine) {
                    column -= columnStep;
                    columnStep = -columnStep;
                } else {
                    column = startColumn;
                }
            }
        } else {
            row += rowStep;
            if (row < 0 || row >= l.yCount) {
                column += columnStep;
                if (l.serpentine) {
                    row -= rowStep;
                    rowStep = -rowStep;
                } else {
                    row = startRow;
                }
            }
        }
    }
    return out;
}

void CopyRecalcXYPlacement(const RecalcXYPlacement& placement, CTXFloatArray* x, CTXFloatArray* y)
{
    for (auto [from, to] : {std::pair{&placement.x, x}, std::pair{&placement.y, y}}) {
        if (to->size() < from->size())
            to->resize(from->size());
        std::copy(from->begin(), from->end(), to->begin());
    }
}

int RecalcXYOkQuestion(const RecalcXYLayout& layout, int pointCount)
{
    const int cells = layout.Clamped().CellCount();
    if (pointCount < cells)
        return IDS_RECALC_TOO_FEW_POINTS;
    if (pointCount > cells)
        return IDS_RECALC_TOO_MANY_POINTS;
    return 0;
}

RecalcXYPreview ComputeRecalcXYPreview(const RecalcXYLayout& input,
                                       const RecalcXYPlacement& placement, const QRectF& client)
{
    const RecalcXYLayout l = input.Clamped();
    RecalcXYPreview out;
    const double rasterW = double(l.xCount) * double(l.width);
    const double rasterH = double(l.yCount) * double(l.height);
    // A zero or negative cell size has no area to show.
    if (!(rasterW > 0.0) || !(rasterH > 0.0) || !std::isfinite(rasterW) || !std::isfinite(rasterH) ||
        client.width() <= 6.0 || client.height() <= 6.0)
        return out;

    QRectF r = client;
    const double rasterAspect = rasterW / rasterH;
    if (r.width() / r.height() > rasterAspect) {
        const double w = r.height() * rasterAspect;
        r.adjust((r.width() - w) / 2.0, 0.0, -(r.width() - w) / 2.0, 0.0);
    } else {
        const double h = r.width() / rasterAspect;
        r.adjust(0.0, (r.height() - h) / 2.0, 0.0, -(r.height() - h) / 2.0);
    }
    r.adjust(3.0, 3.0, -3.0, -3.0);
    if (r.width() <= 0.0 || r.height() <= 0.0)
        return out;
    out.empty = false;
    out.outline = r;

    const double sx = r.width() / rasterW;
    const double sy = r.height() / rasterH;
    for (int k = 1; k < l.xCount; ++k)
        out.verticals.push_back(std::round(r.left() + k * double(l.width) * sx));
    for (int k = 1; k < l.yCount; ++k)
        out.horizontals.push_back(std::round(r.top() + k * double(l.height) * sy));

    const double left = double(l.xStart);
    const double top = double(l.yStart) + rasterH;
    const int count = std::min<int>(placement.placed, int(std::min(placement.x.size(), placement.y.size())));
    for (int i = 0; i < count; ++i) {
        const double px = r.left() + (double(placement.x[size_t(i)]) - left) * sx;
        const double py = r.top() + (top - double(placement.y[size_t(i)])) * sy;
        out.labels.push_back({QPointF(px, py), QString::asprintf("%d", i + 1)});
    }
    return out;
}

void DrawRecalcXYPreview(QPainter& painter, const RecalcXYPreview& preview, int fontSize, int dpi)
{
    if (preview.empty)
        return;
    painter.save();
    const QRectF& r = preview.outline;
    painter.setPen(QPen(QColor(192, 192, 192), 1.0, Qt::SolidLine));
    for (double x : preview.verticals)
        painter.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    for (double y : preview.horizontals)
        painter.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, int(std::lround(double(fontSize) * dpi / 72.0))));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    // GDI-style text cell height (ascent + descent) of "0".
    const double halfZero = metrics.height() / 2.0;
    for (const auto& label : preview.labels) {
        const double w = metrics.horizontalAdvance(label.text);
        const QPointF baseline(label.at.x() - w / 2.0,
                               label.at.y() - halfZero + metrics.ascent());
        painter.drawText(baseline, label.text);
    }
    painter.restore();
}
