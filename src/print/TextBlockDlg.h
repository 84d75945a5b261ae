#pragma once
// CTextBlockDlg: the "Title", "Text %1 the map" and "Footer" dialogs on one text block of the
// document. The fields live in a CTextBlockModel; the dialog shows it and enables its controls
// as the model says. OK stores the block and marks the document modified; Cancel changes
// nothing.

#include <QDialog>

#include "print/TextBlockModel.h"

class CTessarixDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The font dialog's font for a block font (height in tenths of a point) and back.
QFont BlockFontForDialog(const FontRecord& record);
FontRecord FontRecordFromDialog(const QFont& font);

class CTextBlockDlg : public QDialog {
    Q_OBJECT
public:
    CTextBlockDlg(CTessarixDoc& doc, int kind, QWidget* parent = nullptr);

    const CTextBlockModel& Model() const { return m_model; }
    CTextBlockModel& Model() { return m_model; }

    QCheckBox* EnableBox() const { return m_enable; }
    QWidget* TextField() const;
    QComboBox* AlignmentList() const { return m_align; }
    QPushButton* FontButton() const { return m_font; }
    QLineEdit* VerticalField() const { return m_vertical; }
    QLineEdit* HorizontalField() const { return m_horizontal; }
    QComboBox* DateModeList() const { return m_dateMode; }
    QComboBox* DateAlignList() const { return m_dateAlign; }
    QComboBox* TitleModeList() const { return m_titleMode; }
    QComboBox* TitleAlignList() const { return m_titleAlign; }

    // Reads the fields into the model; false, with the user told, when a margin is no number.
    bool ReadFields();

public slots:
    void accept() override;

private:
    void UpdateEnabling();
    void ChooseFont();
    void ChooseColour();

    CTessarixDoc& m_doc;
    CTextBlockModel m_model;
    QCheckBox* m_enable = nullptr;
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_lines = nullptr;
    QComboBox* m_align = nullptr;
    QPushButton* m_font = nullptr;
    QPushButton* m_colour = nullptr;
    QLineEdit* m_vertical = nullptr;
    QLineEdit* m_horizontal = nullptr;
    QComboBox* m_dateMode = nullptr;
    QComboBox* m_dateAlign = nullptr;
    QComboBox* m_titleMode = nullptr;
    QComboBox* m_titleAlign = nullptr;
    QList<QWidget*> m_followEnable;
};

// Runs the dialog of block `kind`; true when the user pressed OK (the block is then stored).
bool RunTextBlockDialog(QWidget* parent, CTessarixDoc& doc, int kind);
