#include "colors/ColButtn.h"

#include <QPainter>
#include <QPixmap>

#include "util/TXCDC.h"

namespace {

constexpr int kSwatchSize = 16;

}  // namespace

CColButtn::CColButtn(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setIconSize(QSize(kSwatchSize, kSwatchSize));
    SetColor(0);
}

void CColButtn::SetColor(TxColor color)
{
    m_color = color;
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(TxToQColor(color));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    painter.end();
    setIcon(QIcon(swatch));
}
