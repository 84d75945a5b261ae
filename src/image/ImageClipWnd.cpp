#include "image/ImageClipWnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "image/ImageStrings.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

const QColor kFrameGrey(196, 196, 196);
// The tool cursor of the point tools: arms of a small cross, and the mark beside it.
constexpr int kCrossArm = 6;
constexpr int kMarkOffset = 5;
constexpr int kMarkArm = 3;

QRectF PixelRectF(const TxRect& r)
{
    return QRectF(r.left, r.top, r.Width(), r.Height());
}

QPolygon Outline(const CImageClipGeometry& geometry, const ClipPolyline& polyline)
{
    QPolygon polygon;
    for (const QPoint& p : geometry.ToPixels(polyline.vertices))
        polygon.append(p);
    return polygon;
}

}  // namespace

CImageClipWnd::CImageClipWnd(CImageClipModel& model, const CTXImage& picture, QWidget* parent)
    : QWidget(parent), m_model(model), m_picture(picture), m_aspect(PictureAspect(picture))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

QSize CImageClipWnd::PictureAspect(const CTXImage& picture)
{
    const CTXPictureInfo info = picture.DecodedInfo();
    if (picture.kind() == CTXImage::Metafile)
        return QSize(int(info.bounds.width()) + 1, int(info.bounds.height()) + 1);
    return QSize(info.width, std::abs(info.height));
}

void CImageClipWnd::SetTestClipping(bool on, int fillMode)
{
    m_testClipping = on;
    m_fillMode = fillMode;
    update();
}

void CImageClipWnd::ModelChanged()
{
    UpdateCursor();
    update();
}

void CImageClipWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_model.SetGeometry(CImageClipGeometry(size(), m_aspect));
}

QImage CImageClipWnd::Render() const
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    const CImageClipGeometry& geometry = m_model.Geometry();
    const TxRect& rect = geometry.PictureRect();
    const ClipPolylineSet& set = m_model.Set();

    painter.setPen(QPen(kFrameGrey, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(rect.left - 2, rect.top - 2), QPoint(rect.right + 2, rect.bottom + 2)));

    if (m_testClipping) {
        QPainterPath region;
        region.setFillRule(m_fillMode == 1 ? Qt::WindingFill : Qt::OddEvenFill);
        for (const ClipPolyline& polyline : set.polylines)
            region.addPolygon(QPolygonF(Outline(geometry, polyline)));
        region.closeSubpath();
        painter.setClipPath(region);
    }
    if (rect.Width() > 0 && rect.Height() > 0)
        m_picture.DrawInto(painter, PixelRectF(rect));
    painter.setClipping(false);

    // Exclusive-or with white shows the outlines on any picture.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    for (size_t i = 0; i < set.polylines.size(); ++i) {
        // A line still being built stays open until its double click closes it.
        const QPolygon outline = Outline(geometry, set.polylines[i]);
        if (int(i) == m_model.LineInProgress())
            painter.drawPolyline(outline);
        else
            painter.drawPolygon(outline);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (m_model.Selected() != kNoPolyline) {
        for (const QPoint& v : Outline(geometry, set.polylines[size_t(m_model.Selected())])) {
            const QRect square(v.x() - kSegmentReach, v.y() - kSegmentReach, 2 * kSegmentReach + 1,
                               2 * kSegmentReach + 1);
            painter.fillRect(square, Qt::white);
            painter.fillRect(square.adjusted(1, 1, -1, -1), Qt::black);
        }
    }
    PaintOverlay(painter);
    return image;
}

void CImageClipWnd::PaintOverlay(QPainter& painter) const
{
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    const QPoint a = m_model.Anchor();
    const QPoint m = m_model.Mouse();
    if (m_model.HasRubberBand()) {
        const QRect band = QRect(a, m).normalized();
        switch (m_model.Tool()) {
        case ClipTool::Line: painter.drawLine(a, m); break;
        case ClipTool::Rect: painter.drawRect(band); break;
        case ClipTool::Ellipse: painter.drawEllipse(band); break;
        default: break;
        }
    }
    if (!m_mouseInside)
        return;
    switch (m_model.Tool()) {
    case ClipTool::Line:
    case ClipTool::Rect:
    case ClipTool::Ellipse:
        painter.drawLine(0, m.y(), width() - 1, m.y());
        painter.drawLine(m.x(), 0, m.x(), height() - 1);
        break;
    case ClipTool::AddPoint:
    case ClipTool::RemovePoint: {
        painter.drawLine(m.x() - kCrossArm, m.y(), m.x() - 1, m.y());
        painter.drawLine(m.x() + 1, m.y(), m.x() + kCrossArm, m.y());
        painter.drawLine(m.x(), m.y() - kCrossArm, m.x(), m.y() - 1);
        painter.drawLine(m.x(), m.y() + 1, m.x(), m.y() + kCrossArm);
        const QPoint mark = m + QPoint(kCrossArm + kMarkOffset, kCrossArm + kMarkOffset);
        painter.drawLine(mark - QPoint(kMarkArm, 0), mark + QPoint(kMarkArm, 0));
        if (m_model.Tool() == ClipTool::AddPoint)
            painter.drawLine(mark - QPoint(0, kMarkArm), mark + QPoint(0, kMarkArm));
        break;
    }
    case ClipTool::None: break;
    }
}

void CImageClipWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void CImageClipWnd::Handle(ClipOutcome outcome)
{
    switch (outcome) {
    case ClipOutcome::Nothing: break;
    case ClipOutcome::Changed: break;
    case ClipOutcome::Refused: BeepAtUser(); break;
    case ClipOutcome::TooFewPoints:
        update();
        TellUser(this, TxString(IDS_CLIP_TOO_FEW_POINTS));
        break;
    }
    if (outcome == ClipOutcome::Changed || outcome == ClipOutcome::TooFewPoints) {
        if (m_model.Tool() == ClipTool::None)
            emit toolEnded();
        emit polylinesChanged();
    }
    UpdateCursor();
    update();
}

void CImageClipWnd::UpdateCursor()
{
    // While a tool is active the window draws its own cursor.
    setCursor(m_model.Tool() == ClipTool::None ? Qt::ArrowCursor : Qt::BlankCursor);
}

void CImageClipWnd::mousePressEvent(QMouseEvent* event)
{
    m_mouseInside = true;
    if (event->button() == Qt::RightButton)
        Handle(m_model.RightClick());
    else if (event->button() == Qt::LeftButton)
        Handle(m_model.Press(event->position().toPoint()));
}

void CImageClipWnd::mouseMoveEvent(QMouseEvent* event)
{
    m_mouseInside = true;
    const ClipOutcome outcome = m_model.Move(event->position().toPoint());
    if (outcome == ClipOutcome::Changed) {
        if (m_model.DraggingVertex())
            emit polylinesChanged();
        update();
    }
}

void CImageClipWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Handle(m_model.Release(event->position().toPoint()));
}

void CImageClipWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Handle(m_model.DoubleClick(event->position().toPoint()));
}

void CImageClipWnd::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_mouseInside = false;
    update();
}
