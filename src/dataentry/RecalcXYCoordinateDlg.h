#pragma once
// "Recalculate XY Coordinates": computes the X and Y of the Edit Data points from a raster
// description, with a preview of the order in which the points are placed. Resizable; the
// window size and the parameters (except serpentine moving) are remembered.

#include <QDialog>


#include "dataentry/RecalcXYModel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class CKWProfileStore;
class CRecalcXYStatic;
class CSpinButtonBar;

class CRecalcXYCoordinateDlg : public QDialog {
    Q_OBJECT
public:
    enum Field { XCount, YCount, Width, Height, XStart, YStart, FontSize, FieldCount };

    // `store` defaults to the user's profile.
    explicit CRecalcXYCoordinateDlg(int pointCount, QWidget* parent = nullptr, CKWProfileStore* store = nullptr);
    ~CRecalcXYCoordinateDlg() override;

    static QSize DesignedSize() { return QSize(520, 480); }

    QLineEdit* FieldEdit(Field f) const { return m_fields[f]; }
    CSpinButtonBar* Spin(Field f) const;
    QRadioButton* RowMajor() const { return m_rowMajor; }
    QRadioButton* ColumnMajor() const { return m_columnMajor; }
    QCheckBox* Serpentine() const { return m_serpentine; }
    QComboBox* StartFrom() const { return m_startFrom; }
    CRecalcXYStatic* PreviewWidget() const { return m_preview; }

    const RecalcXYLayout& Layout() const { return m_layout; }
    // The coordinates of the current layout: pointCount entries each.
    const RecalcXYPlacement& Placement() const { return m_placement; }

    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* AddField(Field f, bool integer);
    // Reads every readable field and places the points again; returns the first field that is
    // not a number or outside its range, or FieldCount.
    Field ReadAndPlace();
    void OnSpin(Field f, int delta);

    int m_pointCount;
    CKWProfileStore* m_store;
    RecalcXYLayout m_layout;
    RecalcXYPlacement m_placement;
    QLineEdit* m_fields[FieldCount] = {};
    CSpinButtonBar* m_spinX = nullptr;
    CSpinButtonBar* m_spinY = nullptr;
    CSpinButtonBar* m_spinFont = nullptr;
    QRadioButton* m_rowMajor = nullptr;
    QRadioButton* m_columnMajor = nullptr;
    QCheckBox* m_serpentine = nullptr;
    QComboBox* m_startFrom = nullptr;
    CRecalcXYStatic* m_preview = nullptr;
    bool m_loading = true;
};

// Runs the dialog for `pointCount` points; on OK the first pointCount entries of `x` and `y`
// (grown to that size when shorter) take the new coordinates. True when OK was chosen.
bool RunRecalcXYDialog(QWidget* parent, int pointCount, CTXFloatArray* x, CTXFloatArray* y);
