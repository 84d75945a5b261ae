#include "render/MapRenderer.h"

#include <QPainter>

#include "render/MapDrawing.h"
#include "util/TXCDC.h"

void RenderMapImage(const MapDrawInput& input, QImage& target)
{
    if (target.isNull())
        return;
    if (!input.settings) {
        target.fill(Qt::white);
        return;
    }
    MapDrawInput in = input;  // the frame assigns rectangles to the axes of this copy
    ApplyScaleMode(in);
    QPainter painter(&target);
    CTXCDC dc(&painter, in.dpiX, in.dpiY);
    const MapLayout& layout = input.layout;
    DrawMapFrame(dc, in, layout.client, layout.graph, layout.colourBar, true);
    if (layout.graph.Height() > 0)
        DrawMapArea(dc, in, layout.graph, layout.graph);
    DrawMapBorder(dc, in, layout.graph);
}

QImage RenderMapImage(const MapDrawInput& input, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    RenderMapImage(input, image);
    return image;
}
