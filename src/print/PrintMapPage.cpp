#include "print/PrintMapPage.h"

#include <QPainter>

#include "document/TessarixDoc.h"
#include "render/MapDrawing.h"
#include "util/TXCDC.h"

MapDrawInput DocumentMapInput(const CTessarixDoc& doc)
{
    MapDrawInput in;
    in.settings = &doc.Settings();
    in.xAxis = doc.Axis(CTessarixDoc::AxisX);
    in.yAxis = doc.Axis(CTessarixDoc::AxisY);
    in.zAxis = doc.Axis(CTessarixDoc::AxisZ);
    in.image = &doc.Image();
    return in;
}

PageComposition ComposePage(const CTessarixDoc& doc, CTXCDC& dc, const PrintDevice& device,
                            const PrintMargins& margins, int page, const MapDrawInput& map)
{
    PageComposition c;
    c.column = PageColumn(doc.EnabledColumnIndices(), page);
    if (c.column < 0)
        return c;
    c.mapName = doc.Column(c.column).name;
    c.pageArea = PageArea(device.width, device.height, device.dpiX, device.dpiY, margins);
    const QString footerLine = doc.PathName().isEmpty() ? doc.Title() : doc.PathName();
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        c.blocks[kind] = MeasureTextBlock(doc.PrintBlock(kind), dc, c.pageArea, kind, c.mapName, footerLine);
    c.mapArea = MapAreaBetween(c.pageArea, c.blocks[PrintTitle], c.blocks[PrintTextAbove], c.blocks[PrintTextBelow],
                               c.blocks[PrintFooter]);
    const CTessarixSettings& s = map.settings ? *map.settings : doc.Settings();
    c.layout = ComputeMapLayout(c.mapArea, device.dpiX, device.dpiY, map.xAxis, map.yAxis, map.zAxis,
                                s.xAxis.hidden, s.yAxis.hidden, s.zAxis.hidden, s.borderPen.width);
    c.layout.client = c.mapArea;
    return c;
}

CPrintJob::CPrintJob(const CTessarixDoc& doc, IPrintMapSource* maps, const PrintMargins& margins,
                     CPrintTileCache::Allocator allocate)
    : m_doc(doc), m_maps(maps), m_margins(margins), m_tiles(std::move(allocate))
{
}

int CPrintJob::PageCount() const
{
    return int(m_doc.EnabledColumnIndices().size());
}

int CPrintJob::FirstPage(int viewColumn) const
{
    return FirstPageOfColumn(m_doc.EnabledColumnIndices(), viewColumn);
}

void CPrintJob::DrawTiles(QPainter& painter, const PrintDevice& device, const MapDrawInput& map,
                          const PageComposition& page, int pageNumber)
{
    const TxRect& graph = page.layout.graph;
    if (graph.IsEmpty())
        return;
    if (m_tiles.Prepare(graph, pageNumber)) {
        for (CPrintTileCache::Tile& tile : m_tiles.Tiles()) {
            tile.image.fill(Qt::white);
            QPainter tp(&tile.image);
            // Page coordinates fall into the tile.
            tp.translate(-tile.rect.left, -tile.rect.top);
            CTXCDC tdc(&tp, device.dpiX, device.dpiY);
            DrawMapForPrint(tdc, map, page.mapArea, graph, page.layout.colourBar, tile.rect, MapBodyRaster);
        }
    }
    for (const CPrintTileCache::Tile& tile : m_tiles.Tiles())
        painter.drawImage(QPoint(tile.rect.left, tile.rect.top), tile.image);
}

bool CPrintJob::PrintMapPage(QPainter& painter, const PrintDevice& device, int page)
{
    const int column = PageColumn(m_doc.EnabledColumnIndices(), page);
    if (column < 0)
        return false;
    MapDrawInput map;
    if (!m_maps || !m_maps->MapInput(column, &map) || !map.settings)
        map = DocumentMapInput(m_doc);
    map.abort = nullptr;
    map.dpiX = device.dpiX;
    map.dpiY = device.dpiY;
    ApplyScaleMode(map);

    CTXCDC dc(&painter, device.dpiX, device.dpiY);
    m_last = ComposePage(m_doc, dc, device, m_margins, page, map);
    const PageComposition& c = m_last;
    map.layout = c.layout;

    painter.save();
    MapDrawInput frame = map;  // the frame gives the graph to X and Y and the colour bar to Z
    DrawMapFrame(dc, frame, c.mapArea, c.layout.graph, c.layout.colourBar, false);
    DrawTiles(painter, device, map, c, page);
    if (c.layout.graph.Height() > 0)
        DrawMapArea(dc, frame, c.layout.graph, c.layout.graph, MapBodyVector);
    DrawMapBorder(dc, frame, c.layout.graph);
    painter.restore();

    const FooterSource footer{m_doc.Title(), m_doc.PathName(), m_clock()};
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        DrawTextBlock(m_doc.PrintBlock(kind), dc, c.blocks[kind], kind, c.mapName, footer);
    return true;
}
