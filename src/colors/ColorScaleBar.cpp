#include "colors/ColorScaleBar.h"

#include <QPainter>
#include <QRect>

#include "colors/KWColorScale.h"
#include "util/TXCDC.h"

void DrawColorScaleBar(QPainter& painter, const QRect& rect, const CKWColorScale& scale)
{
    const int width = rect.width();
    for (int column = 0; column < width; ++column) {
        const float fraction = float(column) / float(width);
        painter.fillRect(QRect(rect.left() + column, rect.top(), 1, rect.height()),
                         TxToQColor(scale.ColorAt(fraction)));
    }
}
