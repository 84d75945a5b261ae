#include "render/MapDrawing.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

#include "document/TessarixSettings.h"
#include "image/TXImage.h"
#include "mapping/ContourResult.h"
#include "mapping/Surface3DData.h"
#include "render/MapAnnotations.h"
#include "render/MapGeometry.h"
#include "util/TXCDC.h"

namespace {

// A painter that draws straight into a 32-bit QImage with at most a whole-pixel translation:
// cells can then be written into the image rows, which gives the pixels a rectangle fill would
// give at a fraction of the cost.
struct RasterTarget {
    QImage* image = nullptr;
    QPoint offset;  // device = logical + offset
};

std::optional<RasterTarget> DirectRaster(QPainter& p)
{
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image)
        return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    if (image->devicePixelRatio() != 1.0)
        return std::nullopt;
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::trunc(t.dx()) || t.dy() != std::trunc(t.dy()))
        return std::nullopt;
    return RasterTarget{image, QPoint(int(t.dx()), int(t.dy()))};
}

MapColouring ColouringOf(const MapDrawInput& in)
{
    return {&in.settings->colorScale, in.zAxis.start, in.zAxis.stop};
}

// Visits the cells in drawing order (columns outer, rows inner) with the part of each that lies
// in `clip` and its colour; empty parts are skipped. False when the abort flag stopped it.
template <class Visit>
bool ForEachCell(const MapDrawInput& in, const QRect& clip, Visit&& visit)
{
    const CSurface3DData& surface = *in.surface;
    const int cellsX = surface.NX() - 1;
    const int cellsY = surface.NY() - 1;
    const CellEdges edges = ComputeCellEdges(in, cellsX, cellsY);
    const MapColouring colouring = ColouringOf(in);
    for (int i = 0; i < cellsX; ++i) {
        const float* column = surface.Column(i);
        for (int j = 0; j < cellsY; ++j) {
            if (in.Aborted())
                return false;
            const QRect cell = edges.Cell(i, j).intersected(clip);
            if (cell.isEmpty())
                continue;
            visit(cell, colouring.ColourOf(column[j]));  // the cell's lower-left node
        }
    }
    return true;
}

QRgb ToRgb(TxColor c)
{
    return qRgb(TxRed(c), TxGreen(c), TxBlue(c));
}

// The pixels of `clip` from the target, to be changed and put back through the painter (which
// keeps any clipping region out of reach, as a copy back onto the surface would).
struct Scratch {
    QImage pixels;
    QRect logical;  // clip rectangle in the painter's coordinates, within the image
};

std::optional<Scratch> TakeScratch(const RasterTarget& target, const QRect& clip)
{
    const QRect device = clip.translated(target.offset).intersected(target.image->rect());
    if (device.isEmpty())
        return std::nullopt;
    Scratch s{target.image->copy(device), device.translated(-target.offset)};
    if (s.pixels.format() != QImage::Format_RGB32 && s.pixels.format() != QImage::Format_ARGB32 &&
        s.pixels.format() != QImage::Format_ARGB32_Premultiplied)
        s.pixels = s.pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return s;
}

void PutScratchBack(QPainter& p, const Scratch& s)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(s.logical.topLeft(), s.pixels);
    p.restore();
}

void DrawPicture(QPainter& p, const MapDrawInput& in)
{
    if (in.image && in.image->HasPicture())
        in.image->DrawInto(p, QRectF(PictureRect(*in.settings, in.xAxis, in.yAxis)));
}

}  // namespace

void ApplyScaleMode(MapDrawInput& in)
{
    float start = 0.0f, stop = 0.0f;
    if (in.settings && in.settings->FixedAmplitudeRange(in.largestValue, &start, &stop))
        in.zAxis.SetAxisRange(start, stop, in.zAxis.step);
}

void DrawMapBorder(CTXCDC& dc, const MapDrawInput& in, const TxRect& graph)
{
    if (in.settings)
        DrawFrameRect(dc, in.settings->borderPen, graph);
}

void DrawMapFrame(CTXCDC& dc, MapDrawInput& in, const TxRect& window, const TxRect& graph,
                  const TxRect& colourBar, bool fillWindow)
{
    QPainter* p = dc.Painter();
    if (!p || !in.settings)
        return;
    const CTessarixSettings& s = *in.settings;
    if (fillWindow)
        p->fillRect(ToQRect(window), TxToQColor(s.windowColor));
    if (!graph.IsEmpty())
        p->fillRect(ToQRect(graph), TxToQColor(s.graphColor));
    DrawMapBorder(dc, in, graph);
    if (fillWindow)
        dc.SetBkColor(s.windowColor);
    if (graph.Height() <= 0)
        return;
    in.yAxis.SetAxisRect(graph);
    if (!s.yAxis.hidden)
        DrawAxis(dc, in.yAxis);
    in.xAxis.SetAxisRect(graph);
    if (!s.xAxis.hidden)
        DrawAxis(dc, in.xAxis);
    DrawColourBar(dc, in, colourBar);
}

bool SelectClipRegion(CTXCDC& dc, const MapDrawInput& in)
{
    QPainter* p = dc.Painter();
    if (!p || !in.settings)
        return false;
    const QPainterPath path = ClipPath(*in.settings, in.xAxis, in.yAxis);
    if (path.isEmpty())
        return false;
    // Rasterised without antialiasing, so a pixel is either inside the region or outside it.
    const bool antialiased = p->testRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setClipPath(path, p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    p->setRenderHint(QPainter::Antialiasing, antialiased);
    return true;
}

void DrawMapArea(CTXCDC& dc, MapDrawInput& in, const TxRect& graph, const TxRect& clip, unsigned parts)
{
    QPainter* p = dc.Painter();
    if (!p || !in.settings)
        return;
    const CTessarixSettings& s = *in.settings;
    p->save();
    p->setClipRect(ToQRect(clip), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    const bool picture = (parts & MapBodyRaster) != 0;
    if (s.mapMode == MapModeImage || s.mapMode == MapModeImageColorMap) {
        switch (s.clipTarget) {
        case ClipImageOnly:
            if (picture) {
                p->save();
                SelectClipRegion(dc, in);
                DrawPicture(*p, in);
                p->restore();  // back to the clip rectangle alone
            }
            break;
        case ClipMapAndImage:
            SelectClipRegion(dc, in);
            if (picture)
                DrawPicture(*p, in);
            break;
        default:  // map only
            if (picture)
                DrawPicture(*p, in);
            SelectClipRegion(dc, in);
            break;
        }
    }
    DrawMapLayers(dc, in, clip, graph, parts);
    p->restore();
}

// Runs `paintRow(row, width, colour)` over every cell's pixel rows when the surface's pixels can
// be written directly (through a scratch copy of the clip rectangle, so a clipping region still
// applies); returns false when aborted, and false in `direct` when the surface has no pixels.
template <class PaintRow>
bool PaintCellRows(QPainter& p, const MapDrawInput& in, const QRect& clipRect, bool* direct, PaintRow paintRow)
{
    const std::optional<RasterTarget> target = DirectRaster(p);
    *direct = target.has_value();
    if (!target)
        return true;
    std::optional<Scratch> scratch = TakeScratch(*target, clipRect);
    if (!scratch)
        return !in.Aborted();
    QImage& img = scratch->pixels;
    const QPoint origin = scratch->logical.topLeft();
    const bool done = ForEachCell(in, scratch->logical, [&](const QRect& cell, TxColor c) {
        const QRect r = cell.translated(-origin);
        for (int y = r.top(); y <= r.bottom(); ++y)
            paintRow(reinterpret_cast<QRgb*>(img.scanLine(y)) + r.left(), r.width(), c);
    });
    PutScratchBack(p, *scratch);
    return done;
}

bool DrawColourCells(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip)
{
    QPainter& p = *dc.Painter();
    const QRect clipRect = ToQRect(clip);
    bool direct = false;
    const bool done = PaintCellRows(p, in, clipRect, &direct, [](QRgb* row, int width, TxColor c) {
        std::fill_n(row, width, ToRgb(c));
    });
    if (direct)
        return done;
    return ForEachCell(in, clipRect, [&](const QRect& cell, TxColor c) { p.fillRect(cell, TxToQColor(c)); });
}

bool TintColourCells(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip)
{
    QPainter& p = *dc.Painter();
    const QRect clipRect = ToQRect(clip);
    bool direct = false;
    const bool done = PaintCellRows(p, in, clipRect, &direct, [](QRgb* row, int width, TxColor c) {
        const int cr = TxRed(c), cg = TxGreen(c), cb = TxBlue(c);
        for (int x = 0; x < width; ++x) {
            const QRgb v = row[x];
            row[x] = qRgba(TintChannel(qRed(v), cr), TintChannel(qGreen(v), cg), TintChannel(qBlue(v), cb),
                           qAlpha(v));
        }
    });
    if (direct)
        return done;
    // A surface whose pixels cannot be read (a printer): let the device multiply.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    const bool multiplied =
        ForEachCell(in, clipRect, [&](const QRect& cell, TxColor c) { p.fillRect(cell, TxToQColor(c)); });
    p.restore();
    return multiplied;
}

bool DrawContourLines(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip)
{
    if (!in.contours)
        return !in.Aborted();
    QPainter& p = *dc.Painter();
    const CTessarixSettings& s = *in.settings;
    const bool scaleColours = s.useColorScaleOnMap &&
                              (s.mapMode == MapModeNormal || s.mapMode == MapModeImage);
    const MapColouring colouring = ColouringOf(in);
    const float subStep = in.zAxis.step / 3.0f;
    const QRect clipRect = ToQRect(clip);
    const NormalisedToDevice map = NormalisedMappingOf(in);
    // On an image the one-pixel aliased pen draws nothing for a zero-length segment, so the many
    // vertices that repeat a pixel (grid cells are smaller than pixels) can be left out.
    const std::optional<RasterTarget> raster = DirectRaster(p);
    const bool pixelPen = raster && std::max(1, s.contourPen.width) == 1;
    const QRect imageArea = raster ? raster->image->rect().translated(-raster->offset) : QRect();
    const auto& entries = in.contours->entries;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    QPolygon pixels;
    QPolygonF points;
    for (size_t e = 0; e < entries.size(); ++e) {
        if (in.Aborted()) {
            p.restore();
            return false;
        }
        const size_t k = e / 3;
        TxColor colour = s.contourPen.color;
        if (scaleColours && k < in.levels.size())
            colour = colouring.ColourOf(in.levels[k] + float(e % 3) * subStep);
        const QPen pen = MakePen(s.contourPen, colour);
        p.setPen(pen);
        if (pen.style() == Qt::NoPen)
            continue;  // an invisible pen draws nothing
        const bool dropRepeats = pixelPen && pen.style() == Qt::SolidLine;
        for (const auto& line : entries[e].polylines) {
            if (!line || line->empty())
                continue;
            const QRect box = NormalisedRect(map.MapX(line->minX), map.MapY(line->minY), map.MapX(line->maxX),
                                             map.MapY(line->maxY))
                                  .adjusted(0, 0, 1, 1);  // a horizontal or vertical line has no area
            if (!box.intersects(clipRect))
                continue;
            pixels.resize(qsizetype(line->size()));
            QPoint* mapped = pixels.data();
            for (const KW_FPOINT& f : *line)
                *mapped++ = QPoint(map.MapX(f.x), map.MapY(f.y));
            if (dropRepeats)
                DropRepeatedVertices(pixels, imageArea);
            // Pixel centres: a one-pixel line then lies on the pixels its vertices name.
            points.resize(pixels.size());
            QPointF* out = points.data();
            for (const QPoint& v : std::as_const(pixels))
                *out++ = QPointF(v.x() + 0.5, v.y() + 0.5);
            p.drawPolyline(points);
        }
    }
    p.restore();
    return true;
}

void DrawMapLayers(CTXCDC& dc, MapDrawInput& in, const TxRect& clip, const TxRect& graph, unsigned parts)
{
    if (!dc.Painter() || !in.settings || !in.surface || !in.surface->IsValid())
        return;
    if (in.surface->NX() < 2 || in.surface->NY() < 2)
        return;
    in.layout.graph = graph;
    const CTessarixSettings& s = *in.settings;
    if (parts & MapBodyRaster) {
        if (s.mapMode == MapModeColorMap && !DrawColourCells(dc, in, clip))
            return;
        if (s.mapMode == MapModeImageColorMap && !TintColourCells(dc, in, clip))
            return;
    }
    if (!(parts & MapBodyVector))
        return;
    if (!DrawContourLines(dc, in, clip))
        return;
    if (s.showLabels)
        DrawContourLabels(dc, in, clip);
    if (in.Aborted())
        return;
    if (s.showPositions)
        DrawPositions(dc, in);
    if (in.Aborted())
        return;
    if (s.showValues)
        DrawValues(dc, in);
}

void DrawMapForPrint(CTXCDC& dc, const MapDrawInput& input, const TxRect& pageMapRect,
                     const TxRect& graph, const TxRect& colourBar, const TxRect& tile, unsigned parts)
{
    MapDrawInput in = input;
    ApplyScaleMode(in);
    DrawMapFrame(dc, in, pageMapRect, graph, colourBar, false);
    in.layout.client = pageMapRect;
    if (graph.Height() > 0)
        DrawMapArea(dc, in, graph, tile, parts);
    DrawMapBorder(dc, in, graph);
}
