#pragma once
// "Grid Setting": the map extent, the interpolation grid, the interpolation function with its
// parameter, and the coordinate input grid. Works on a copy (CGridSetupModel) and writes the
// document only when OK is accepted.

#include <QDialog>

#include <map>

#include "dataentry/GridSetupModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class CSpinButtonBar;

class CGridSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CGridSetupDlg(CTessarixDoc& doc, QWidget* parent = nullptr);
    ~CGridSetupDlg() override;

    QLineEdit* Field(GridField field) const { return m_fields.at(field); }
    QLabel* Label(GridField field) const { return m_labels.at(field); }
    QComboBox* FunctionList() const { return m_function; }
    QCheckBox* SnapBox() const { return m_snap; }
    QCheckBox* RoundBox() const { return m_round; }
    CSpinButtonBar* CountSpin(GridField count) const { return count == GridField::CountX ? m_spinX : m_spinY; }
    // Whether the accepted OK recomputed the maps.
    bool MapsRequested() const { return m_mapsRequested; }

    void accept() override;

private:
    QLineEdit* AddField(GridField field, const QString& label, bool integer, QWidget* parent);
    GridSetupTexts CurrentTexts() const;
    void ShowValues();
    void UpdateEnabling();
    void OnFunctionChanged(int index);
    void OnSpin(GridField count, int delta);
    void Refuse(const SetupProblem& problem);

    CTessarixDoc& m_doc;
    CGridSetupModel m_model;
    std::map<GridField, QLineEdit*> m_fields;
    std::map<GridField, QLabel*> m_labels;
    QComboBox* m_function = nullptr;
    QCheckBox* m_snap = nullptr;
    QCheckBox* m_round = nullptr;
    CSpinButtonBar* m_spinX = nullptr;
    CSpinButtonBar* m_spinY = nullptr;
    bool m_mapsRequested = false;
};

// The command that opens the dialog; its prompt and tool tip are the text of the same number.
constexpr int ID_TESSARIX_GRID = 56001;

// Runs the dialog modally over `parent`; true when OK changed the document.
bool RunGridSetupDialog(QWidget* parent, CTessarixDoc& doc);
