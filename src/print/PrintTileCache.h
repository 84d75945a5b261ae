#pragma once
// CPrintTileCache: the map body of one printed page, rendered in bitmap tiles at printer
// resolution.
//
// The tile count is found once per page and graph size: starting at n = 2, a probe bitmap of
// (graph width / n) × (graph height / n) is allocated; while that fails n grows; on success the
// probe is released and the graph is cut into (n + 1) × (n + 1) tiles, so there are never fewer
// than 3 × 3. Tile width and height are the graph's divided by n + 1, rounded up; each tile is
// clipped to the graph. The probe stops growing once a tile would be one device unit wide or
// high: if even that cannot be allocated the page gets no tiles (it prints without its map
// body rather than looping for ever).
//
// The tiles are kept for the page and graph size they were made for and reused as long as the
// same page is printed again at the same graph size (a preview repainting); only their position
// follows the graph. Another page or size releases them and makes new ones.

#include <QImage>

#include <functional>
#include <vector>

#include "util/TxTypes.h"

class CPrintTileCache {
public:
    // Allocates a bitmap of the given size; a null image when the device cannot hold it.
    using Allocator = std::function<QImage(const QSize&)>;
    static QImage AllocateRgb32(const QSize& size);

    struct Tile {
        TxRect rect;   // page position, inside the graph rectangle
        QImage image;  // rect's size
    };

    explicit CPrintTileCache(Allocator allocate = &CPrintTileCache::AllocateRgb32);

    // Makes the cache hold tiles for `graph` on page `page`. Returns true when new tiles were
    // made (blank, to be drawn), false when the existing ones fit and were only moved.
    bool Prepare(const TxRect& graph, int page);
    // Releases every tile (the end of printing or preview).
    void Release();

    const std::vector<Tile>& Tiles() const { return m_tiles; }
    std::vector<Tile>& Tiles() { return m_tiles; }
    int TilesPerSide() const { return m_perSide; }
    QSize TileSize() const { return m_tileSize; }
    int Page() const { return m_page; }
    // How often tiles were made since construction: a repaint that reuses them adds nothing.
    int Builds() const { return m_builds; }

    // The tiles per side for `graphSize` with this allocator: 0 when not even one-unit tiles fit.
    int FindTilesPerSide(const QSize& graphSize) const;

private:
    void MoveTo(const TxRect& graph);

    Allocator m_allocate;
    std::vector<Tile> m_tiles;
    TxRect m_graph;
    QSize m_tileSize;
    int m_perSide = 0;
    int m_page = -1;
    int m_builds = 0;
};
