#pragma once
// CTXColTableMarker: the marker strip under the spectrum bar. It draws one marker with its value
// per colour stop and passes the mouse to the editor's model (see ColorScaleEditModel.h): a press
// selects or inserts a stop, dragging moves it, releasing it off the scale removes it. Qt keeps
// sending the moves and the release of a press to the strip wherever the pointer goes, as a
// captured mouse would.

#include <QWidget>

class CColorScaleEditModel;

class CTXColTableMarker : public QWidget {
    Q_OBJECT
public:
    explicit CTXColTableMarker(CColorScaleEditModel& model, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The selection or the stops changed through the mouse.
    void edited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int StripHeight() const;

    CColorScaleEditModel& m_model;
};
