#include "image/ImagePositionWnd.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "dataentry/NumberText.h"

namespace {

constexpr int kTickLength = 4;

QRect WidgetRect(const CImagePositionWnd& wnd, const PreviewRect& r)
{
    const QPoint topLeft = wnd.ToWidget({r.left, r.top});
    return QRect(topLeft, QSize(r.Width() + 1, r.Height() + 1));
}

}  // namespace

CImagePositionWnd::CImagePositionWnd(CImagePositionModel& model, const CTXImage& picture,
                                     std::vector<QPointF> positions, QWidget* parent)
    : QWidget(parent), m_model(model), m_picture(picture), m_positions(std::move(positions))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
}

QPoint CImagePositionWnd::ToWidget(PreviewPoint p) const
{
    return {p.x, height() - 1 - p.y};
}

PreviewPoint CImagePositionWnd::FromWidget(QPoint p) const
{
    return {p.x(), height() - 1 - p.y()};
}

void CImagePositionWnd::UpdateGeometry()
{
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    const PreviewAxisRange& y = m_model.AxisY();
    for (double v : CImagePositionModel::TickValues(y.start, y.stop, y.step))
        widest = std::max(widest, metrics.horizontalAdvance(FormatG(v)));
    m_model.SetClientSize(width(), height(), widest, metrics.height());
}

void CImagePositionWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateGeometry();
}

QImage CImagePositionWnd::RenderPreview() const
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(font());
    PaintAxes(painter);
    const PreviewRect picture = m_model.PictureRect();
    if (picture.Width() > 0 && picture.Height() > 0)
        m_picture.DrawInto(painter, QRectF(WidgetRect(*this, picture)));
    PaintHandles(painter);
    PaintPositions(painter);
    return image;
}

void CImagePositionWnd::PaintAxes(QPainter& painter) const
{
    const PreviewRect& plot = m_model.Plot();
    const QRect plotRect = WidgetRect(*this, plot);
    painter.fillRect(plotRect, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plotRect.adjusted(0, 0, -1, -1));

    const QFontMetrics metrics = painter.fontMetrics();
    const PreviewAxisRange& x = m_model.AxisX();
    for (double v : CImagePositionModel::TickValues(x.start, x.stop, x.step)) {
        const QPoint at = ToWidget({m_model.PixelX(v), plot.bottom});
        painter.drawLine(at, at + QPoint(0, kTickLength));
        const QString label = FormatG(v);
        const int w = metrics.horizontalAdvance(label);
        painter.drawText(at.x() - w / 2, at.y() + kTickLength + metrics.ascent(), label);
    }
    const PreviewAxisRange& y = m_model.AxisY();
    for (double v : CImagePositionModel::TickValues(y.start, y.stop, y.step)) {
        const QPoint at = ToWidget({plot.left, m_model.PixelY(v)});
        painter.drawLine(at, at - QPoint(kTickLength, 0));
        const QString label = FormatG(v);
        const int w = metrics.horizontalAdvance(label);
        painter.drawText(at.x() - kTickLength - 2 - w, at.y() + metrics.ascent() / 2, label);
    }
}

void CImagePositionWnd::PaintHandles(QPainter& painter) const
{
    // 11 x 11 squares: a white border two pixels wide around a black centre.
    constexpr int kHalf = kHandleReach;
    for (int handle = 1; handle <= kHandleCount; ++handle) {
        const QPoint c = ToWidget(m_model.HandlePoint(handle));
        const QRect square(c.x() - kHalf, c.y() - kHalf, 2 * kHalf + 1, 2 * kHalf + 1);
        painter.fillRect(square, Qt::white);
        painter.fillRect(square.adjusted(2, 2, -2, -2), Qt::black);
    }
}

void CImagePositionWnd::PaintPositions(QPainter& painter) const
{
    // Exclusive-or with white inverts what lies below, so a circle shows on any picture.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& p : m_positions) {
        const QPoint c = ToWidget({m_model.PixelX(p.x()), m_model.PixelY(p.y())});
        painter.drawEllipse(QRect(c.x() - 5, c.y() - 5, 10, 10));
    }
    painter.restore();
}

void CImagePositionWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, RenderPreview());
}

void CImagePositionWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    if (m_model.Press(FromWidget(event->position().toPoint()))) {
        emit valuesDragged();
        update();
    }
}

void CImagePositionWnd::mouseMoveEvent(QMouseEvent* event)
{
    const PreviewPoint p = FromWidget(event->position().toPoint());
    if (m_model.Dragging()) {
        m_model.Move(p);
        emit valuesDragged();
        update();
        return;
    }
    const int handle = m_model.HitTest(p);
    setCursor(CImagePositionModel::HandleCursor(handle == kWholePicture ? kNoHandle : handle));
}

void CImagePositionWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_model.Dragging())
        return;
    m_model.Release(FromWidget(event->position().toPoint()));
    emit valuesDragged();
    update();
}
