#pragma once
// Widgets the setup dialogs share: the number fields and the pair of spin arrows that sits beside
// a count field.

#include <QWidget>

#include "dataentry/SetupFields.h"

class QLineEdit;
class QToolButton;

// The number fields of the setup dialogs (whole numbers and real numbers).
QLineEdit* NewIntegerEdit(QWidget* parent);
QLineEdit* NewRealEdit(QWidget* parent);

// Up and down arrows; each click reports a step of +1 or -1. The field beside it keeps the
// value, so a count can still be typed by hand.
class CSpinButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonBar(QWidget* parent = nullptr);
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    void Stepped(int delta);

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

// Puts a spin bar to the right of `field` in one row; returns the row widget.
QWidget* WithSpinButtons(QLineEdit* field, CSpinButtonBar* spin, QWidget* parent);
