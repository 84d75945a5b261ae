#include "render/MapRenderer.h"

#include "document/TessarixSettings.h"
#include "util/TXCDC.h"

void RenderMapImage(const MapDrawInput& input, QImage& target)
{
    // Until the drawing pipeline is in place the picture is the window background alone.
    target.fill(input.settings ? TxToQColor(input.settings->windowColor) : QColor(Qt::white));
}
