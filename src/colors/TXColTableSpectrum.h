#pragma once
// CTXColTableSpectrum: the spectrum bar of the colour scale editor, the scale's colours from its
// left edge (fraction 0) to its right edge (fraction 1).

#include <QWidget>

class CKWColorScale;

class CTXColTableSpectrum : public QWidget {
    Q_OBJECT
public:
    // `scale` must outlive the bar; the bar shows it as it is at each repaint.
    explicit CTXColTableSpectrum(const CKWColorScale& scale, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CKWColorScale& m_scale;
};
