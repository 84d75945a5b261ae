#include "print/PrintTileCache.h"

#include <algorithm>

QImage CPrintTileCache::AllocateRgb32(const QSize& size)
{
    return QImage(size, QImage::Format_RGB32);
}

CPrintTileCache::CPrintTileCache(Allocator allocate) : m_allocate(std::move(allocate)) {}

int CPrintTileCache::FindTilesPerSide(const QSize& graphSize) const
{
    const int longest = std::max(graphSize.width(), graphSize.height());
    if (graphSize.width() <= 0 || graphSize.height() <= 0)
        return 0;
    // Past n = longest side every probe is at most one unit high or wide; going on cannot help.
    for (int n = 2; n <= std::max(2, longest); ++n) {
        const QSize probeSize(std::max(1, graphSize.width() / n), std::max(1, graphSize.height() / n));
        if (!m_allocate(probeSize).isNull())
            return n + 1;
    }
    return 0;
}

void CPrintTileCache::Release()
{
    m_tiles.clear();
    m_tiles.shrink_to_fit();
    m_perSide = 0;
    m_page = -1;
    m_graph = {};
    m_tileSize = {};
}

void CPrintTileCache::MoveTo(const TxRect& graph)
{
    const int dx = graph.left - m_graph.left, dy = graph.top - m_graph.top;
    for (Tile& t : m_tiles)
        t.rect = {t.rect.left + dx, t.rect.top + dy, t.rect.right + dx, t.rect.bottom + dy};
    m_graph = graph;
}

bool CPrintTileCache::Prepare(const TxRect& graph, int page)
{
    if (m_page == page && m_perSide > 0 && m_graph.Width() == graph.Width() && m_graph.Height() == graph.Height()) {
        MoveTo(graph);
        return false;
    }
    Release();
    m_page = page;
    m_graph = graph;
    ++m_builds;
    const int perSide = FindTilesPerSide(QSize(graph.Width(), graph.Height()));
    if (perSide == 0)
        return true;
    m_perSide = perSide;
    m_tileSize = QSize((graph.Width() + perSide - 1) / perSide, (graph.Height() + perSide - 1) / perSide);
    for (int row = 0; row < perSide; ++row) {
        for (int column = 0; column < perSide; ++column) {
            TxRect r{graph.left + column * m_tileSize.width(), graph.top + row * m_tileSize.height(), 0, 0};
            r.right = std::min(r.left + m_tileSize.width(), graph.right);
            r.bottom = std::min(r.top + m_tileSize.height(), graph.bottom);
            if (r.IsEmpty())
                continue;
            QImage image = m_allocate(QSize(r.Width(), r.Height()));
            if (image.isNull())
                continue;  // this part of the body stays white; the rest still prints
            m_tiles.push_back({r, std::move(image)});
        }
    }
    return true;
}
