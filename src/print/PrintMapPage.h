#pragma once
// Printing the maps: one page per enabled data column, each with the title and the text above
// the map at the top of the page area, the text below and the footer at its bottom, and the map
// laid out at printer resolution in the room between them.
//
// A page is drawn in this order: the map frame (graph background, border, axes, colour bar)
// straight onto the page; the map body's raster parts (picture, coloured cells, tint) as bitmap
// tiles from the tile cache; the body's vector parts (contour lines, labels, position symbols,
// values) straight onto the page, clipped like the screen's; the border again; the four text
// blocks. On a PDF device everything but the tiles stays vector: lines are lines and text is
// selectable text.
//
// CPrintJob is one run of printing or of a preview: it keeps the tile cache between pages, so
// a preview that draws the same page again at the same size reuses its tiles, and releases it
// when printing ends.

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

#include "geometry/MapLayout.h"
#include "print/PrintPages.h"
#include "print/PrintTileCache.h"
#include "print/TextBlock.h"
#include "render/MapDrawInput.h"

class CTessarixDoc;
class CTXCDC;
class QPainter;

// Where printing takes the computed map of a column from.
class IPrintMapSource {
public:
    virtual ~IPrintMapSource() = default;
    // The last computed map of `column`, safe to read until the next request (the source waits
    // for a computation still running); false when there is none.
    virtual bool MapInput(int column, MapDrawInput* input) = 0;
};

// A source that asks a function (the program wires in its map computations this way).
class CPrintMapFunction final : public IPrintMapSource {
public:
    using Function = std::function<bool(int column, MapDrawInput* input)>;
    explicit CPrintMapFunction(Function function) : m_function(std::move(function)) {}
    bool MapInput(int column, MapDrawInput* input) override { return m_function(column, input); }

private:
    Function m_function;
};

// The device a page is drawn on: its printable area in device units and its resolution.
struct PrintDevice {
    int width = 0;
    int height = 0;
    int dpiX = 300;
    int dpiY = 300;
};

// Where everything of one page goes.
struct PageComposition {
    int column = -1;
    QString mapName;
    TxRect pageArea;
    TxRect blocks[kPrintBlockCount];  // in the order title, text above, text below, footer
    TxRect mapArea;
    MapLayout layout;                 // graph, axis areas and colour bar inside mapArea
};

// The map that stands in when a column has no computed map: the document's settings and axes,
// without a surface, so the frame and the axes still print.
MapDrawInput DocumentMapInput(const CTessarixDoc& doc);

// Lays page `page` out on `dc` (whose resolution is the device's): page area, blocks, map area
// and the map layout for `map`'s axes. column is -1 for a page outside the enabled columns.
PageComposition ComposePage(const CTessarixDoc& doc, CTXCDC& dc, const PrintDevice& device,
                            const PrintMargins& margins, int page, const MapDrawInput& map);

class CPrintJob {
public:
    // `maps` may be null: every page then prints its frame, axes and texts without a map body.
    CPrintJob(const CTessarixDoc& doc, IPrintMapSource* maps, const PrintMargins& margins,
              CPrintTileCache::Allocator allocate = &CPrintTileCache::AllocateRgb32);

    // One page per enabled column; printing from the view of `viewColumn` starts at its page.
    int PageCount() const;
    int FirstPage(int viewColumn) const;

    // Composes and draws page `page` (1-based) on `painter`; false, with nothing drawn, for a
    // page outside the enabled columns.
    bool PrintMapPage(QPainter& painter, const PrintDevice& device, int page);
    // The end of printing or preview: the tiles are released.
    void EndPrinting() { m_tiles.Release(); }

    const CPrintTileCache& TileCache() const { return m_tiles; }
    const PageComposition& LastPage() const { return m_last; }
    // The clock the footer's date line reads (tests fix it).
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    void DrawTiles(QPainter& painter, const PrintDevice& device, const MapDrawInput& map, const PageComposition& page,
                   int pageNumber);

    const CTessarixDoc& m_doc;
    IPrintMapSource* m_maps;
    PrintMargins m_margins;
    CPrintTileCache m_tiles;
    PageComposition m_last;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};
