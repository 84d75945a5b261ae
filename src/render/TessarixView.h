#pragma once
// CTessarixView: the window that shows the map of one data column. It never draws the map: it
// copies the picture the column's map computation rendered, adds the two arrow buttons above and
// below the colour bar, reads the cursor position out in map units, shifts the colour range on
// an arrow click, copies the map picture to the clipboard, and hosts the placement clicks of
// Insert Data. The main frame creates one view per enabled column and binds it to the column.

#include <QPoint>
#include <QWidget>

#include <functional>
#include <vector>

#include "render/TessarixViewModel.h"
#include "util/TxTypes.h"

class CTessarixDoc;

class CTessarixView : public QWidget {
    Q_OBJECT
public:
    enum HoverBit { HoverUpper = 1, HoverLower = 2 };

    explicit CTessarixView(CTessarixDoc& doc, QWidget* parent = nullptr);
    ~CTessarixView() override;

    // The data column shown; -1 until the frame binds the view.
    void SetColumn(int column);
    int Column() const { return m_column; }
    CTessarixDoc& Document() const { return m_doc; }

    // Insert Data: while the mode is on, a left click calls the handler with the map position
    // (snapped like the read-out) and the pointer's screen position; a right click leaves it.
    using InsertClickHandler = std::function<void(CTessarixView& view, float x, float y, QPoint globalPos)>;
    void SetInsertClickHandler(InsertClickHandler handler) { m_insertClick = std::move(handler); }
    void SetInsertMode(bool on);
    bool InsertMode() const { return m_insertMode; }

    // The column's cached map picture (a null image when there is none).
    bool HasPicture() const;
    QImage Picture() const;
    // Puts the map picture on the clipboard; false (and nothing copied) without one.
    bool CopyToClipboard() const;
    bool CanAutorange() const;
    bool Autorange();

    int HoverFlags() const { return m_hover; }
    ArrowBoxes Arrows() const;
    // The last read-out, as the status bar shows it.
    const CursorReadout& LastReadout() const { return m_readout; }
    // Re-announced when the frame refreshes (the map under a still pointer changed).
    void RefreshReadout();

    // Points circled over the map picture (not part of it, so never copied or printed); an
    // empty list removes the circles.
    void SetMarks(std::vector<MapMark> marks);
    const std::vector<MapMark>& Marks() const { return m_marks; }

signals:
    void CursorMoved(const CursorReadout& readout);
    void CursorLeft();
    void ContextMenuRequested(CTessarixView* view, const QPoint& globalPos);
    void InsertModeChanged(bool on);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void ReportSize();
    void UpdateHover(int px, int py);
    void UpdateTooltip(const QPoint& local, const QPoint& global);
    void DrawArrow(class QPainter& p, const TxRect& box, bool up, bool highlighted) const;
    void DrawMarks(class QPainter& p) const;

    CTessarixDoc& m_doc;
    int m_column = -1;
    bool m_insertMode = false;
    InsertClickHandler m_insertClick;
    int m_hover = 0;
    QString m_tooltipText;
    CursorReadout m_readout;
    QPoint m_lastPointer{-1, -1};
    std::vector<MapMark> m_marks;
};
