#pragma once
// "Main Setup": which of the twelve data columns are in use and their names. Works on a copy
// (CMainSetupModel) and writes the document only when OK is accepted.

#include <QDialog>

#include <array>

#include "dataentry/MainSetupModel.h"

class QCheckBox;
class QLineEdit;

class CMainSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainSetupDlg(CTessarixDoc& doc, QWidget* parent = nullptr);
    ~CMainSetupDlg() override;

    QCheckBox* EnableBox(int column) const { return m_enable.at(size_t(column)); }
    QLineEdit* NameField(int column) const { return m_name.at(size_t(column)); }
    // The change level of the accepted OK (2, 1 or 0); -1 before.
    int ChangeLevel() const { return m_level; }

    void accept() override;

private:
    void ReadBoxes();
    void UpdateEnabling();

    CTessarixDoc& m_doc;
    CMainSetupModel m_model;
    std::array<QCheckBox*, kColumnCount> m_enable{};
    std::array<QLineEdit*, kColumnCount> m_name{};
    int m_level = -1;
};

// The command that opens the dialog; its prompt and tool tip are the text of the same number.
constexpr int ID_TESSARIX_SETUP = 56000;

// Runs the dialog modally over `parent`; true when OK changed the document.
bool RunMainSetupDialog(QWidget* parent, CTessarixDoc& doc);
