#pragma once
// CImagePositionWnd: the preview of the Image Scale dialog. It paints the axes, the picture in
// its rectangle, the eight handles and the measurement positions into an off-screen image and
// copies it to the window in one go; presses, moves and releases of the left button drag the
// picture or a handle through the model, and the cursor shows the handle under the mouse.

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <vector>

#include "image/ImagePositionModel.h"
#include "image/TXImage.h"

class CImagePositionWnd : public QWidget {
    Q_OBJECT
public:
    CImagePositionWnd(CImagePositionModel& model, const CTXImage& picture, std::vector<QPointF> positions,
                      QWidget* parent = nullptr);

    // Window pixels (y down) and model pixels (y up from the bottom row).
    QPoint ToWidget(PreviewPoint p) const;
    PreviewPoint FromWidget(QPoint p) const;
    // Recomputes the frame and its label margins for the present size and font.
    void UpdateGeometry();
    // The preview as painted, in the window's size.
    QImage RenderPreview() const;

signals:
    // A drag changed the four values.
    void valuesDragged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintAxes(class QPainter& painter) const;
    void PaintHandles(class QPainter& painter) const;
    void PaintPositions(class QPainter& painter) const;

    CImagePositionModel& m_model;
    CTXImage m_picture;
    std::vector<QPointF> m_positions;
};
