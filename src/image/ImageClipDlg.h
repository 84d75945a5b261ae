#pragma once
// CImageClipDlg: the "Image clipping" dialog. The tool bar and the editing window draw and edit
// a working copy of the clipping polylines; the fields below edit the selected polyline's
// conditioning and the clipping choices. OK checks the step and stores the default level for new
// polylines; RunImageClipDlg then stores the set in the document (StoreImageClipping). The size
// is the Edit Data dialog's, remembered under "EditDataDlg".

#include <QDialog>

#include <memory>

#include "image/ImageClipModel.h"

class CTessarixDoc;
class CKWProfileStore;
class CEditKeyPadInteger;
class CEditKeyPadReal;
class CImageClipBar;
class CImageClipWnd;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

class CImageClipDlg : public QDialog {
    Q_OBJECT
public:
    CImageClipDlg(const CTessarixDoc& doc, CKWProfileStore& profile, QWidget* parent = nullptr);
    ~CImageClipDlg() override;

    CImageClipModel& Model() { return *m_model; }
    const ClipPolylineSet& Result() const { return m_model->Set(); }

    CImageClipBar* ToolBar() const { return m_bar; }
    CImageClipWnd* EditWindow() const { return m_window; }
    QLineEdit* SelectedNumber() const { return m_number; }
    QToolButton* SelectUp() const { return m_selectUp; }
    QToolButton* SelectDown() const { return m_selectDown; }
    QCheckBox* ConditioningCheck() const { return m_conditioning; }
    CEditKeyPadReal* LevelField() const { return m_level; }
    CEditKeyPadInteger* StepField() const { return m_step; }
    QCheckBox* TestClippingCheck() const { return m_test; }
    QComboBox* TargetChoice() const { return m_target; }
    QComboBox* FillModeChoice() const { return m_fillMode; }
    QCheckBox* AutoBoundaryCheck() const { return m_autoBoundary; }

public slots:
    // Reads the fields: a step outside 1..100 or a level that is not a number keeps the dialog
    // open with the prompt.
    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The selected polyline's number and conditioning into the fields, and the enabling.
    void ShowSelected();
    void UpdateEnabling();
    // The fields that hold valid values into the selected polyline.
    void StoreShownConditioning();
    void StepSelection(int delta);
    void StepConditioningStep(int delta);
    void ChooseTool(ClipTool tool);

    std::unique_ptr<CImageClipModel> m_model;
    CKWProfileStore& m_profile;
    CImageClipBar* m_bar = nullptr;
    CImageClipWnd* m_window = nullptr;
    QLabel* m_numberLabel = nullptr;
    QLineEdit* m_number = nullptr;
    QToolButton* m_selectUp = nullptr;
    QToolButton* m_selectDown = nullptr;
    QCheckBox* m_conditioning = nullptr;
    QLabel* m_levelLabel = nullptr;
    CEditKeyPadReal* m_level = nullptr;
    QLabel* m_stepLabel = nullptr;
    CEditKeyPadInteger* m_step = nullptr;
    QToolButton* m_stepUp = nullptr;
    QToolButton* m_stepDown = nullptr;
    QLabel* m_stepUnit = nullptr;
    QCheckBox* m_test = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_fillMode = nullptr;
    QCheckBox* m_autoBoundary = nullptr;
    int m_shownPolyline = kNoPolyline;
    bool m_showing = false;
    bool m_ready = false;
};

// Runs the dialog on the document; true when OK stored a changed set.
bool RunImageClipDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile);
