#include "colors/TXColTableSpectrum.h"

#include <QPainter>

#include "colors/ColorScaleBar.h"

CTXColTableSpectrum::CTXColTableSpectrum(const CKWColorScale& scale, QWidget* parent)
    : QWidget(parent), m_scale(scale)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CTXColTableSpectrum::sizeHint() const
{
    return QSize(320, 36);
}

void CTXColTableSpectrum::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawColorScaleBar(painter, rect(), m_scale);
}
