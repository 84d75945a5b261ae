#include "render/TessarixView.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include "document/TessarixDoc.h"

namespace {

QRect ToQRect(const TxRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QColor FromTxColor(TxColor c)
{
    return QColor(TxRed(c), TxGreen(c), TxBlue(c));
}

// The insert cursor: a cross with a small filled square at its centre and a "+" beside it.
QCursor InsertCursor()
{
    static const QCursor cursor = [] {
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, false);
        auto cross = [&p](const QColor& c, int w) {
            p.setPen(QPen(c, w));
            p.drawLine(10, 0, 10, 8);
            p.drawLine(10, 12, 10, 20);
            p.drawLine(0, 10, 8, 10);
            p.drawLine(12, 10, 20, 10);
        };
        cross(Qt::white, 3);
        cross(Qt::black, 1);
        p.fillRect(QRect(8, 8, 5, 5), Qt::white);
        p.fillRect(QRect(9, 9, 3, 3), Qt::black);
        p.setPen(QPen(Qt::white, 4));
        p.drawLine(24, 17, 24, 29);
        p.drawLine(18, 23, 30, 23);
        p.setPen(QPen(QColor(0, 120, 0), 2));
        p.drawLine(24, 18, 24, 28);
        p.drawLine(19, 23, 29, 23);
        p.end();
        return QCursor(pm, 10, 10);
    }();
    return cursor;
}

}  // namespace

CTessarixView::CTessarixView(CTessarixDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(120, 90);
}

CTessarixView::~CTessarixView() = default;

void CTessarixView::SetColumn(int column)
{
    m_column = column;
    update();
}

void CTessarixView::SetInsertMode(bool on)
{
    if (m_insertMode == on)
        return;
    m_insertMode = on;
    setCursor(on ? InsertCursor() : QCursor(Qt::ArrowCursor));
    emit InsertModeChanged(on);
}

bool CTessarixView::HasPicture() const
{
    return m_column >= 0 && m_doc.Maps().HasPicture(m_column);
}

QImage CTessarixView::Picture() const
{
    QImage picture;
    if (m_column < 0 || !m_doc.Maps().CopyPicture(m_column, &picture))
        return {};
    return picture;
}

bool CTessarixView::CopyToClipboard() const
{
    const QImage picture = Picture();
    if (picture.isNull())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setImage(picture);
    return true;
}

bool CTessarixView::CanAutorange() const
{
    return m_column >= 0 && AutorangeEnabled(m_doc);
}

bool CTessarixView::Autorange()
{
    return CanAutorange() && m_doc.AutoScaleColor(m_column);
}

ArrowBoxes CTessarixView::Arrows() const
{
    return ArrowBoxesOf(m_doc.Layout().colourBar);
}

void CTessarixView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage picture = Picture();
    if (picture.isNull()) {
        p.fillRect(rect(), palette().color(QPalette::Base));
        return;
    }
    p.drawImage(0, 0, picture);
    // Whatever the picture does not cover (the window grew, the new map is still rendering).
    const QRect covered(0, 0, picture.width(), picture.height());
    const QRegion rest = QRegion(rect()).subtracted(covered);
    for (const QRect& r : rest)
        p.fillRect(r, FromTxColor(m_doc.Settings().windowColor));
    const ArrowBoxes boxes = Arrows();
    DrawArrow(p, boxes.upper, true, m_hover & HoverUpper);
    DrawArrow(p, boxes.lower, false, m_hover & HoverLower);
    DrawMarks(p);
}

void CTessarixView::SetMarks(std::vector<MapMark> marks)
{
    if (marks.empty() && m_marks.empty())
        return;
    m_marks = std::move(marks);
    update();
}

void CTessarixView::DrawMarks(QPainter& p) const
{
    if (m_marks.empty())
        return;
    // A ring in white under one in red, so it shows on dark colours and light ones alike.
    constexpr int kRadius = 9;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // A point on the edge of the graph keeps its whole circle; the labels stay inside.
    const QRect graph = ToQRect(m_doc.Layout().graph);
    p.setClipRect(graph.adjusted(-kRadius - 2, -kRadius - 2, kRadius + 2, kRadius + 2));
    p.setBrush(Qt::NoBrush);
    QFont font = p.font();
    font.setBold(true);
    p.setFont(font);
    const QFontMetrics fm(font);
    for (const MapMark& mark : m_marks) {
        int px = 0, py = 0;
        MapToPixel(m_doc, mark.x, mark.y, &px, &py);
        const QPoint centre(px, py);
        p.setPen(QPen(Qt::white, 4));
        p.drawEllipse(centre, kRadius, kRadius);
        p.setPen(QPen(QColor(220, 0, 0), 2));
        p.drawEllipse(centre, kRadius, kRadius);
        if (mark.label.isEmpty())
            continue;
        // Up and to the right of the circle, or to the other side where the graph ends.
        const int width = fm.horizontalAdvance(mark.label);
        const int x = centre.x() + kRadius + 2 + width <= graph.right() ? centre.x() + kRadius + 2
                                                                         : centre.x() - kRadius - 2 - width;
        const int y = centre.y() - kRadius + 2 - fm.ascent() >= graph.top() ? centre.y() - kRadius + 2
                                                                             : centre.y() + kRadius + fm.ascent();
        const QPoint at(x, y);
        QPainterPath text;
        text.addText(at, p.font(), mark.label);
        p.setPen(QPen(Qt::white, 3));
        p.drawPath(text);
        p.fillPath(text, QColor(220, 0, 0));
    }
    p.restore();
}

void CTessarixView::DrawArrow(QPainter& p, const TxRect& box, bool up, bool highlighted) const
{
    if (box.IsEmpty())
        return;
    const QRect r = ToQRect(box);
    p.fillRect(r, FromTxColor(m_doc.Settings().windowColor));
    // A solid block arrow one box height tall, left-aligned and vertically centred in its box.
    const int h = r.height();
    const int w = std::min(r.width(), h);
    const qreal left = r.left(), top = r.top();
    const qreal cx = left + w / 2.0;
    const qreal head = h * 0.55, shaft = w * 0.2;
    QPainterPath path;
    if (up) {
        path.moveTo(cx, top + 1);
        path.lineTo(left + w - 1, top + head);
        path.lineTo(cx + shaft, top + head);
        path.lineTo(cx + shaft, top + h - 1);
        path.lineTo(cx - shaft, top + h - 1);
        path.lineTo(cx - shaft, top + head);
        path.lineTo(left + 1, top + head);
    } else {
        path.moveTo(cx, top + h - 1);
        path.lineTo(left + w - 1, top + h - head);
        path.lineTo(cx + shaft, top + h - head);
        path.lineTo(cx + shaft, top + 1);
        path.lineTo(cx - shaft, top + 1);
        path.lineTo(cx - shaft, top + h - head);
        path.lineTo(left + 1, top + h - head);
    }
    path.closeSubpath();
    p.save();
    p.setClipRect(r);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = highlighted ? QColor(255, 0, 0) : QColor(0, 0, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

void CTessarixView::ReportSize()
{
    // Every view of the tab stack has the same size, so the one that is shown speaks for all;
    // column 0 also reports while hidden so the first layout exists before any tab is shown.
    if (m_column < 0 || (m_column != 0 && !isVisible()))
        return;
    m_doc.OnViewSizeChanged(TxRect{0, 0, width(), height()});
}

void CTessarixView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ReportSize();
}

void CTessarixView::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    ReportSize();
}

void CTessarixView::UpdateHover(int px, int py)
{
    const int before = m_hover;
    if (!ColourArrowsActive(m_doc)) {
        m_hover = 0;
    } else {
        const ArrowBoxes boxes = Arrows();
        m_hover = (BoxContains(boxes.upper, px, py) ? HoverUpper : 0) |
                  (BoxContains(boxes.lower, px, py) ? HoverLower : 0);
    }
    if ((before ^ m_hover) & HoverUpper)
        update(ToQRect(Arrows().upper));
    if ((before ^ m_hover) & HoverLower)
        update(ToQRect(Arrows().lower));
}

void CTessarixView::UpdateTooltip(const QPoint& local, const QPoint& global)
{
    const QRect graph = ToQRect(m_doc.Layout().graph);
    const bool overGraph = graph.contains(local);
    const QString text = overGraph ? m_readout.ZTooltip() : QString();
    if (text.isEmpty()) {
        if (!m_tooltipText.isEmpty())
            QToolTip::hideText();
        m_tooltipText.clear();
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (text != m_tooltipText) {
        m_tooltipText = text;
        QToolTip::hideText();
        QToolTip::showText(global, text, this, graph);
    }
    setCursor(Qt::CrossCursor);
}

void CTessarixView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_lastPointer = pos;
    m_readout = ReadCursor(m_doc, m_column, pos.x(), pos.y());
    emit CursorMoved(m_readout);
    if (m_insertMode) {
        setCursor(InsertCursor());
        return;
    }
    UpdateHover(pos.x(), pos.y());
    UpdateTooltip(pos, e->globalPosition().toPoint());
}

void CTessarixView::RefreshReadout()
{
    if (!underMouse() || m_lastPointer.x() < 0)
        return;
    m_readout = ReadCursor(m_doc, m_column, m_lastPointer.x(), m_lastPointer.y());
    emit CursorMoved(m_readout);
}

void CTessarixView::mousePressEvent(QMouseEvent* e)
{
    // Qt keeps the mouse grabbed by the pressed widget until the release, which is the capture
    // the insert placement needs.
    QWidget::mousePressEvent(e);
}

void CTessarixView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        if (m_insertMode)
            SetInsertMode(false);
        else
            emit ContextMenuRequested(this, e->globalPosition().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (m_insertMode) {
        float x = 0.0f, y = 0.0f;
        PixelToMap(m_doc, pos.x(), pos.y(), &x, &y);
        if (m_insertClick)
            m_insertClick(*this, x, y, e->globalPosition().toPoint());
        return;
    }
    if (!ColourArrowsActive(m_doc) || m_column < 0)
        return;
    const ArrowBoxes boxes = Arrows();
    if (BoxContains(boxes.upper, pos.x(), pos.y()))
        m_doc.MoveColorScale(true);
    else if (BoxContains(boxes.lower, pos.x(), pos.y()))
        m_doc.MoveColorScale(false);
}

void CTessarixView::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (m_hover) {
        m_hover = 0;
        update();
    }
    m_lastPointer = {-1, -1};
    emit CursorLeft();
}
