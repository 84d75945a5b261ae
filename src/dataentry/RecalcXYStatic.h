#pragma once
// The preview of the Recalculate XY Coordinates dialog: the raster and the points numbered in
// the order they are placed.

#include <QWidget>

#include "dataentry/RecalcXYModel.h"

class CRecalcXYStatic : public QWidget {
    Q_OBJECT
public:
    explicit CRecalcXYStatic(QWidget* parent = nullptr);

    void SetLayout(const RecalcXYLayout& layout, const RecalcXYPlacement& placement);
    // What the preview draws at its current size.
    RecalcXYPreview Preview() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RecalcXYLayout m_layout;
    RecalcXYPlacement m_placement;
};
