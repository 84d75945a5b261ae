#pragma once
// CImageClipWnd: the editing window of the Image clipping dialog. It paints the picture in its
// rectangle, every polyline as a closed outline and the vertices of the selected one into an
// off-screen image, adds the rubber band and its own tool cursor in exclusive-or, and passes the
// mouse to the model; a refused point sounds the beep, a line ended too short shows message 409.

#include <QImage>
#include <QWidget>

#include "image/ImageClipModel.h"
#include "image/TXImage.h"

class CImageClipWnd : public QWidget {
    Q_OBJECT
public:
    CImageClipWnd(CImageClipModel& model, const CTXImage& picture, QWidget* parent = nullptr);

    // The picture's aspect: a bitmap's pixels, a metafile's bounds each plus one.
    static QSize PictureAspect(const CTXImage& picture);

    // "Test clipping": the picture only inside the polylines, with this fill rule (0 alternate).
    void SetTestClipping(bool on, int fillMode);
    // The window as painted.
    QImage Render() const;
    // Repaints after the model was changed from outside (tool, selection, deletion).
    void ModelChanged();

signals:
    // The polylines or the selection changed; a tool ended.
    void polylinesChanged();
    void toolEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Handle(ClipOutcome outcome);
    void PaintOverlay(class QPainter& painter) const;
    void UpdateCursor();

    CImageClipModel& m_model;
    CTXImage m_picture;
    QSize m_aspect;
    bool m_testClipping = false;
    int m_fillMode = 0;
    bool m_mouseInside = false;
};
