#pragma once
// CImageClipBar: the tool bar of the Image clipping dialog: Line, Rect polyline, Elliptic
// polyline, a separator, Add point, Remove point and Delete polyline. The five tool buttons show
// as pressed while their tool is active.

#include <QToolBar>

#include <array>

#include "image/ImageClipModel.h"

class QAction;

class CImageClipBar : public QToolBar {
    Q_OBJECT
public:
    explicit CImageClipBar(QWidget* parent = nullptr);

    // Presses the button of `tool` and releases the others.
    void ShowTool(ClipTool tool);
    QAction* ToolAction(ClipTool tool) const;
    QAction* DeleteAction() const { return m_delete; }

signals:
    void toolChosen(ClipTool tool);
    void deleteChosen();

private:
    static constexpr int kToolCount = 5;
    std::array<QAction*, kToolCount> m_tools{};
    QAction* m_delete = nullptr;
};
