#pragma once
// CColButtn: a push button that shows a colour as a swatch beside its text ("Current &Color..."
// in the colour scale editor).

#include <QPushButton>

#include "util/TxTypes.h"

class CColButtn : public QPushButton {
    Q_OBJECT
public:
    explicit CColButtn(const QString& text, QWidget* parent = nullptr);

    TxColor Color() const { return m_color; }
    void SetColor(TxColor color);

private:
    TxColor m_color = 0;
};
