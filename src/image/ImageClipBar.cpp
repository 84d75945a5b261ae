#include "image/ImageClipBar.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>

#include "image/ImageStrings.h"
#include "util/StringTable.h"

namespace {

constexpr ClipTool kTools[] = {ClipTool::Line, ClipTool::Rect, ClipTool::Ellipse, ClipTool::AddPoint,
                               ClipTool::RemovePoint};
constexpr int kToolTexts[] = {IDS_CLIP_TOOL_LINE, IDS_CLIP_TOOL_RECT, IDS_CLIP_TOOL_ELLIPSE, IDS_CLIP_TOOL_ADD_POINT,
                              IDS_CLIP_TOOL_REMOVE_POINT};

// A 16 x 16 picture of what the button does.
QIcon ToolIcon(int textId)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 20, 20), 1.4));
    p.setBrush(Qt::NoBrush);
    switch (textId) {
    case IDS_CLIP_TOOL_LINE: p.drawPolyline(QPolygonF({QPointF(2, 13), QPointF(7, 3), QPointF(14, 9)})); break;
    case IDS_CLIP_TOOL_RECT: p.drawRect(QRectF(2.5, 3.5, 11, 9)); break;
    case IDS_CLIP_TOOL_ELLIPSE: p.drawEllipse(QRectF(1.5, 3.5, 13, 9)); break;
    case IDS_CLIP_TOOL_ADD_POINT:
    case IDS_CLIP_TOOL_REMOVE_POINT:
        p.drawLine(QPointF(1, 12), QPointF(10, 4));
        p.fillRect(QRectF(4, 7, 3, 3), QColor(20, 20, 20));
        p.setPen(QPen(textId == IDS_CLIP_TOOL_ADD_POINT ? QColor(0, 130, 0) : QColor(190, 0, 0), 2));
        p.drawLine(QPointF(10, 12), QPointF(15, 12));
        if (textId == IDS_CLIP_TOOL_ADD_POINT)
            p.drawLine(QPointF(12.5, 9.5), QPointF(12.5, 14.5));
        break;
    default:
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(8, 2), QPointF(13, 7), QPointF(7, 12)}));
        p.setPen(QPen(QColor(190, 0, 0), 2));
        p.drawLine(QPointF(9, 9), QPointF(15, 15));
        p.drawLine(QPointF(15, 9), QPointF(9, 15));
        break;
    }
    return QIcon(pixmap);
}

// "prompt\nname": the name is the button's text, the whole is its tooltip.
QAction* MakeAction(QToolBar* bar, int textId)
{
    const QString text = TxString(textId);
    const QString name = text.section(QLatin1Char('\n'), 1);
    auto* action = bar->addAction(ToolIcon(textId), name);
    action->setToolTip(QStringLiteral("%1\n%2").arg(name, text.section(QLatin1Char('\n'), 0, 0)));
    action->setStatusTip(text.section(QLatin1Char('\n'), 0, 0));
    return action;
}

}  // namespace

CImageClipBar::CImageClipBar(QWidget* parent) : QToolBar(parent)
{
    setIconSize(QSize(16, 16));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int i = 0; i < kToolCount; ++i) {
        if (kTools[i] == ClipTool::AddPoint)
            addSeparator();
        m_tools[size_t(i)] = MakeAction(this, kToolTexts[i]);
        m_tools[size_t(i)]->setCheckable(true);
        const ClipTool tool = kTools[i];
        connect(m_tools[size_t(i)], &QAction::triggered, this, [this, tool] {
            ShowTool(tool);
            emit toolChosen(tool);
        });
    }
    m_delete = MakeAction(this, IDS_CLIP_TOOL_DELETE);
    connect(m_delete, &QAction::triggered, this, &CImageClipBar::deleteChosen);
}

void CImageClipBar::ShowTool(ClipTool tool)
{
    for (int i = 0; i < kToolCount; ++i)
        m_tools[size_t(i)]->setChecked(kTools[i] == tool);
}

QAction* CImageClipBar::ToolAction(ClipTool tool) const
{
    for (int i = 0; i < kToolCount; ++i)
        if (kTools[i] == tool)
            return m_tools[size_t(i)];
    return nullptr;
}
