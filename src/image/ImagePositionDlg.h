#pragma once
// CImagePositionDlg: the "Image scale and position" dialog. The four fields X0, X1, Y0, Y1 (with
// the keypad), the preview scale, Reset and Revert edit a copy of the picture's map rectangle;
// OK stores it in the document as one "Image Scale" step (StoreImagePosition). The dialog's size
// is remembered under "ImagePosDlg".

#include <QDialog>

#include <array>
#include <memory>

#include "image/ImagePositionModel.h"

class CTessarixDoc;
class CKWProfileStore;
class CEditKeyPadReal;
class CImagePositionWnd;
class QComboBox;
class QPushButton;

class CImagePositionDlg : public QDialog {
    Q_OBJECT
public:
    enum Field { FieldX0, FieldX1, FieldY0, FieldY1, kFieldCount };

    CImagePositionDlg(const CTessarixDoc& doc, CKWProfileStore& profile, QWidget* parent = nullptr);
    ~CImagePositionDlg() override;

    const ImageRect& Values() const { return m_model->Values(); }
    CImagePositionModel& Model() { return *m_model; }
    CImagePositionWnd* Preview() const { return m_preview; }
    CEditKeyPadReal* FieldEdit(Field f) const { return m_fields[size_t(f)]; }
    QComboBox* ScaleChoice() const { return m_scale; }
    QPushButton* ResetButton() const { return m_reset; }
    QPushButton* RevertButton() const { return m_revert; }

public slots:
    // Reads the fields; a field that is not a number keeps the dialog open with the prompt.
    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fields from the values, and values from the fields that hold numbers.
    void RefreshFields();
    void ReadFields();
    void Repaint();

    std::unique_ptr<CImagePositionModel> m_model;
    CKWProfileStore& m_profile;
    CImagePositionWnd* m_preview = nullptr;
    std::array<CEditKeyPadReal*, kFieldCount> m_fields{};
    QComboBox* m_scale = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_revert = nullptr;
    bool m_ready = false;
};

// Stores the picture's map rectangle as an "Image Scale" step: the redo history is emptied, the
// step recorded and the document marked modified; the maps are drawn again only when a value
// changed. Returns whether one did.
bool StoreImagePosition(CTessarixDoc& doc, const ImageRect& values);

// Runs the dialog on the document; true when OK stored the values.
bool RunImagePositionDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile);
