#pragma once
// CPropertyCell: the value cell of one row of the properties pane, built from the row's editor
// type: number fields with the on-screen keypad, lists, text, font with colour, pen with its
// sample line and "Set Pen", a colour picker with "Default" and "Other...", the colour scale's
// gradient, the symbol sets and the symbol with its drawn sample. It shows a value without
// reporting it back, and reports every edit the user makes through Edited.

#include <QWidget>

#include <functional>

#include "document/PropertyTable.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class QToolButton;

// The dialogs a cell opens, and what it needs to know of the rest of the pane.
struct PropertyCellHooks {
    std::function<bool(QWidget* parent, TxColor& color)> chooseColor;
    std::function<bool(QWidget* parent, FontRecord& font)> chooseFont;
    std::function<bool(QWidget* parent, PenRecord& pen)> editPen;
    // Empty until the colour scale editor is wired in; the button is then disabled.
    std::function<bool(QWidget* parent, CKWColorScale& scale)> editColorScale;
    std::function<SymbolRange()> symbolRange;  // of the symbol set the pane shows
    std::function<QString()> shownSymbolSet;   // its name, empty for "Default Set"
    QStringList symbolSets;                    // installed symbol set names
    TxColor defaultColor = kDefaultButtonFace;  // what "Default" stands for
};

class CPropertyCell : public QWidget {
    Q_OBJECT
public:
    CPropertyCell(const PropertyDefinition& d, const PropertyCellHooks* hooks, QWidget* parent = nullptr);

    // Shows `v` without emitting Edited.
    void Show(const PropertyValue& v);
    const PropertyValue& Value() const { return m_value; }
    const PropertyDefinition& Definition() const { return m_def; }
    // The cell's main control (line edit, combo box, spin box or button), for keyboard focus.
    QWidget* Editor() const { return m_editor; }
    // The colour picker's menu (Color cells), the second button of a font cell (its colour).
    QMenu* ColorMenu() const { return m_colorMenu; }
    QToolButton* FontColorButton() const { return m_fontColor; }

signals:
    void Edited(const PropertyValue& value);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void Build();
    void BuildLineField();
    void BuildList(const QStringList& choices);
    void BuildColorPicker();
    void BuildDialogButton();
    void BuildSymbol();
    void ShowInEditor();
    void Commit(const PropertyValue& v);
    // Reads the text of a number or text field; a refused text shows the value again.
    void CommitText();
    void RunDialog();
    // The part of the cell left of the editor that shows a sample (pen, gradient, symbol).
    QRect SampleRect() const;
    bool HasSample() const;

    const PropertyDefinition& m_def;
    const PropertyCellHooks* m_hooks;
    PropertyValue m_value;
    QWidget* m_editor = nullptr;
    QLineEdit* m_line = nullptr;
    QComboBox* m_combo = nullptr;
    QSpinBox* m_spin = nullptr;
    QToolButton* m_button = nullptr;
    QToolButton* m_fontColor = nullptr;
    QMenu* m_colorMenu = nullptr;
    bool m_pushing = false;
};

QFont FontRecordToQFont(const FontRecord& f);
FontRecord QFontToFontRecord(const QFont& font, const FontRecord& base);
