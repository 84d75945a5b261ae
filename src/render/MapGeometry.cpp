#include "render/MapGeometry.h"

#include <algorithm>
#include <cmath>

#include "colors/KWColorScale.h"
#include "document/TessarixSettings.h"
#include "render/MapDrawInput.h"
#include "util/TXCDC.h"

ExtentF MapExtentOf(const MapDrawInput& in)
{
    if (!in.settings)
        return {};
    const MapExtent& e = in.settings->extent;
    return {e.x0, e.x1, e.y0, e.y1};
}

NormalisedToDevice NormalisedMappingOf(const MapDrawInput& in)
{
    const ExtentF e = MapExtentOf(in);
    return {&in.xAxis, &in.yAxis, e.x0, e.x1, e.y0, e.y1};
}

int MapCoordinate(const MapDrawInput& in, float v, MapCoordKind kind)
{
    switch (kind) {
    case MapCoordKind::NormalisedX:
        return NormalisedMappingOf(in).MapX(v);
    case MapCoordKind::NormalisedY:
        return NormalisedMappingOf(in).MapY(v);
    case MapCoordKind::Level:
        return in.zAxis.WorldToDevice(v);
    case MapCoordKind::NormalisedLengthX:
        return NormalisedMappingOf(in).MapLength(v);
    }
    return 0;
}

QRect NormalisedRect(int x0, int y0, int x1, int y1)
{
    const int l = std::min(x0, x1), r = std::max(x0, x1);
    const int t = std::min(y0, y1), b = std::max(y0, y1);
    return QRect(l, t, r - l, b - t);
}

CellEdges ComputeCellEdges(const MapDrawInput& in, int cellsX, int cellsY)
{
    CellEdges edges;
    if (cellsX <= 0 || cellsY <= 0)
        return edges;
    const ExtentF e = MapExtentOf(in);
    const float dx = std::fabs(e.x1 - e.x0) / float(cellsX);
    const float dy = std::fabs(e.y1 - e.y0) / float(cellsY);
    edges.xEdges.resize(size_t(cellsX) + 1);
    edges.yEdges.resize(size_t(cellsY) + 1);
    for (int i = 0; i <= cellsX; ++i)
        edges.xEdges[size_t(i)] = in.xAxis.WorldToDevice(e.x0 + float(i) * dx);
    for (int j = 0; j <= cellsY; ++j)
        edges.yEdges[size_t(j)] = in.yAxis.WorldToDevice(e.y0 + float(j) * dy);
    return edges;
}

void DropRepeatedVertices(QPolygon& pixels, const QRect& area)
{
    // Beyond this many points the raster engine strokes through another path.
    constexpr qsizetype kLargestCosmeticPolyline = 0xffff;
    const qsizetype count = pixels.size();
    if (count <= 4 || count > kLargestCosmeticPolyline)
        return;
    // The first two and the last two vertices stay: the engine treats the first segment apart and
    // takes the direction of a closed polyline's last segment from them.
    const int left = area.left(), right = area.right(), top = area.top(), bottom = area.bottom();
    QPoint* v = pixels.data();
    qsizetype kept = 2;
    for (qsizetype k = 2; k < count - 2; ++k) {
        const int x = v[k].x(), y = v[k].y();
        const bool repeat = x == v[kept - 1].x() && y == v[kept - 1].y() && x >= left && x <= right &&
                            y >= top && y <= bottom;
        if (!repeat)
            v[kept++] = v[k];
    }
    v[kept++] = v[count - 2];
    v[kept++] = v[count - 1];
    pixels.resize(kept);
}

TxColor MapColouring::ColourOf(float z) const
{
    if (!scale)
        return 0;
    const float range = zmax - zmin;
    const float t = range != 0.0f ? (z - zmin) / range : 0.0f;
    // NaN (a failed node) takes the colour of the range's start rather than an undefined one.
    return scale->ColorAt(std::isnan(t) ? 0.0f : t) & 0x00FFFFFFu;
}

std::vector<QPolygon> ClipPolygons(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y)
{
    std::vector<QPolygon> polygons;
    if (s.clipPolylines.empty())
        return polygons;
    const ImageRect& pic = s.imageRect;
    size_t vertex = 0;
    for (int32_t count : s.clipPolylines) {
        QPolygon polygon;
        // Counts that overrun the vertex list stop at its end instead of reading past it.
        for (int32_t k = 0; k < count && vertex < s.clipPoints.size(); ++k, ++vertex) {
            const KW_FPOINT& f = s.clipPoints[vertex];
            const float wx = pic.x0 + (pic.x1 - pic.x0) * f.x;
            const float wy = pic.y0 + (pic.y1 - pic.y0) * f.y;
            polygon.append(QPoint(x.WorldToDevice(wx), y.WorldToDevice(wy)));
        }
        if (polygon.isEmpty())
            continue;
        polygon.append(polygon.first());
        polygons.push_back(std::move(polygon));
    }
    if (s.autoBoundaryPolyline) {
        QPolygon boundary;
        boundary << QPoint(x.WorldToDevice(x.start), y.WorldToDevice(y.start))
                 << QPoint(x.WorldToDevice(x.start), y.WorldToDevice(y.stop))
                 << QPoint(x.WorldToDevice(x.stop), y.WorldToDevice(y.stop))
                 << QPoint(x.WorldToDevice(x.stop), y.WorldToDevice(y.start))
                 << QPoint(x.WorldToDevice(x.start), y.WorldToDevice(y.start));
        polygons.push_back(std::move(boundary));
    }
    return polygons;
}

QPainterPath ClipPath(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y)
{
    QPainterPath path;
    path.setFillRule(s.clipFillMode == 1 ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygon& polygon : ClipPolygons(s, x, y))
        path.addPolygon(QPolygonF(polygon));
    return path;
}

QRect PictureRect(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y)
{
    const ImageRect& r = s.imageRect;
    return NormalisedRect(x.WorldToDevice(r.x0), y.WorldToDevice(r.y0), x.WorldToDevice(r.x1),
                          y.WorldToDevice(r.y1));
}

QPen MakePen(const PenRecord& record, TxColor colour)
{
    const int width = std::max(1, record.width);
    QPen pen(TxToQColor(colour));
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (record.style) {
    case PenInvisible:
        pen.setStyle(Qt::NoPen);
        break;
    case PenDash:
        pen.setStyle(width > 1 ? Qt::SolidLine : Qt::DashLine);
        break;
    case PenDot:
        pen.setStyle(width > 1 ? Qt::SolidLine : Qt::DotLine);
        break;
    case PenDashDot:
        pen.setStyle(width > 1 ? Qt::SolidLine : Qt::DashDotLine);
        break;
    case PenDashDotDot:
        pen.setStyle(width > 1 ? Qt::SolidLine : Qt::DashDotDotLine);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    return pen;
}

QPen MakePen(const PenRecord& record)
{
    return MakePen(record, record.color);
}

int PositionPenWidth(int symbol, int penWidth, int symbolSize)
{
    if ((symbol == 7 || symbol == 8) && penWidth >= symbolSize / 2)
        return symbolSize / 2;
    return penWidth;
}
