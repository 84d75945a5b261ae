#include "dataentry/RecalcXYStatic.h"

#include <QPainter>

CRecalcXYStatic::CRecalcXYStatic(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(120, 90);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void CRecalcXYStatic::SetLayout(const RecalcXYLayout& layout, const RecalcXYPlacement& placement)
{
    m_layout = layout;
    m_placement = placement;
    update();
}

RecalcXYPreview CRecalcXYStatic::Preview() const
{
    return ComputeRecalcXYPreview(m_layout, m_placement, QRectF(rect()));
}

void CRecalcXYStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawRecalcXYPreview(painter, Preview(), m_layout.Clamped().fontSize, logicalDpiY());
}
