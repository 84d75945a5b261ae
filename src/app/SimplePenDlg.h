#pragma once
// CSimplePenDlg, "Set Pen": a pen's style, thickness and colour. The thickness list ("1" to "5")
// starts at the pen's width clamped to 1..5 and is enabled only while the style is "Solid"; OK
// stores the style, the thickness (list position + 1) and the colour.

#include <QDialog>

#include <functional>

#include "util/TxTypes.h"

class QComboBox;
class QPushButton;

class CSimplePenDlg : public QDialog {
    Q_OBJECT
public:
    // Picks a colour starting from the given one; true when the user chose one.
    using ColorChooser = std::function<bool(QWidget* parent, TxColor& color)>;

    CSimplePenDlg(const PenRecord& pen, QWidget* parent = nullptr, ColorChooser chooseColor = {});

    // The pen as the controls show it.
    PenRecord Pen() const;
    QComboBox* StyleList() const { return m_style; }
    QComboBox* ThicknessList() const { return m_thickness; }
    QPushButton* ColorButton() const { return m_color; }

private:
    void UpdateEnabling();
    void ShowColor();
    void ChooseColor();

    QComboBox* m_style = nullptr;
    QComboBox* m_thickness = nullptr;
    QPushButton* m_color = nullptr;
    TxColor m_colorValue = 0;
    ColorChooser m_chooseColor;
};

// The platform colour dialog as a ColorChooser.
bool ChooseColorWithDialog(QWidget* parent, TxColor& color);
QColor ToQColor(TxColor c);
TxColor FromQColor(const QColor& c);
