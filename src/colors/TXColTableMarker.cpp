#include "colors/TXColTableMarker.h"

#include <QMouseEvent>
#include <QPainter>

#include "colors/ColorScaleEditModel.h"

CTXColTableMarker::CTXColTableMarker(CColorScaleEditModel& model, QWidget* parent) : QWidget(parent), m_model(model)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int CTXColTableMarker::StripHeight() const
{
    return CColorScaleEditModel::kLabelTop + fontMetrics().height() + 2;
}

QSize CTXColTableMarker::sizeHint() const
{
    return QSize(360, StripHeight());
}

QSize CTXColTableMarker::minimumSizeHint() const
{
    return QSize(120, StripHeight());
}

void CTXColTableMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    painter.fillRect(rect(), face);
    const QFontMetrics metrics = fontMetrics();
    const CKWColorScale& scale = m_model.Scale();
    for (int i = 0; i < scale.Count(); ++i) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawPolygon(m_model.MarkerOutline(i));
        painter.fillRect(m_model.MarkerInside(i), face);

        const QString label = m_model.Label(i);
        const int width = metrics.horizontalAdvance(label);
        const int centre = m_model.PixelOf(scale.Item(i).position) + CColorScaleEditModel::kLabelCentreOffset;
        const QRect box(centre - width / 2, CColorScaleEditModel::kLabelTop, width, metrics.height());
        const bool selected = i == m_model.Selected();
        if (selected)
            painter.fillRect(box, Qt::black);
        painter.setPen(selected ? QColor(Qt::white) : text);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void CTXColTableMarker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_model.Press(event->position().toPoint()) == CColorScaleEditModel::PressResult::Ignored)
        return;
    update();
    emit edited();
}

void CTXColTableMarker::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_model.Drag(event->position().toPoint().x()))
        return;
    update();
    emit edited();
}

void CTXColTableMarker::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_model.Captured())
        return;
    m_model.Release(event->position().toPoint().x());
    update();
    emit edited();
}
