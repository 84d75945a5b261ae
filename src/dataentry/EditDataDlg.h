#pragma once
// The Edit Data dialog: the point table in a data grid, the number of points with keypad and
// spin buttons, removal of selected points, copy and paste, and the boundary conditions. It works
// on a CEditDataModel copy; the document changes only through RunEditDataDialog after OK.

#include <QDialog>

#include <functional>

#include "dataentry/EditDataModel.h"
#include "dataentry/GridOwner.h"
#include "dataentry/TableExchange.h"

class CEditKeyPadInteger;
class CEditKeyPadReal;
class CKWGridWnd;
class CTessarixDoc;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

// Computes X and Y for `n` points (the position layout dialog); false when cancelled.
using RecalcXYHandler = std::function<bool(QWidget* parent, int n, CTXFloatArray* x, CTXFloatArray* y)>;

class CEditDataDlg : public QDialog, public IGridOwner {
    Q_OBJECT
public:
    static constexpr int kNumberOfPointsId = 1001;

    CEditDataDlg(const CTessarixDoc& doc, QWidget* parent = nullptr);
    // Hiding the dialog takes the focus from the count field, whose editingFinished would then
    // reach this object after its own part is gone; the connection ends first.
    ~CEditDataDlg() override;

    // The "Recalculate XY Coordinates..." button is shown only while a handler is set.
    static void SetRecalcXYHandler(RecalcXYHandler handler);

    CEditDataModel& Model() { return m_model; }
    CKWGridWnd* Grid() const { return m_grid; }
    CEditKeyPadInteger* CountField() const { return m_count; }
    QToolButton* SpinUp() const { return m_spinUp; }
    QToolButton* SpinDown() const { return m_spinDown; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* RecalcButton() const { return m_recalc; }
    QCheckBox* BoundaryCheck() const { return m_useBoundary; }
    QToolButton* LayoutButton(int layout) const { return m_layouts[layout]; }
    CEditKeyPadReal* LevelField() const { return m_level; }
    CEditKeyPadReal* DistanceField() const { return m_distance; }

    // The separators used by Copy and Paste (the user's locale unless a test sets others).
    void SetExchangeLocale(const ExchangeLocale& locale) { m_locale = locale; }

    void Copy();
    // Ctrl+V: a selection of several cells takes a block of its own size; one selected cell
    // takes the whole clipboard table from there down (PasteTable).
    void Paste();
    void PasteText(const QString& text);
    // Pastes a whole table at (row, column); when it runs past the last point the user is asked
    // whether to add the missing points, unless `askBeforeAdding` is false (they are added).
    void PasteTable(const QString& text, int row, int column, bool askBeforeAdding);
    void RemoveSelectedPoints();
    void SetPointCount(int n);

    int OnGridQuery(GridQueryCode code, int argument, GridCellRequest& cell) override;

public slots:
    void accept() override;
    // Cancel and Escape: typed values are thrown away only when the user agrees.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefreshFields();
    void UpdateBoundaryEnabling();
    void ShowContextMenu(const QPoint& screen);
    void RecalculateXY();
    // A number typed into "Number of points:" takes effect (Enter, Tab, leaving the field).
    void ApplyTypedPointCount();

    CEditDataModel m_model;
    ExchangeLocale m_locale = ExchangeLocale::System();
    CKWGridWnd* m_grid = nullptr;
    CEditKeyPadInteger* m_count = nullptr;
    QToolButton* m_spinUp = nullptr;
    QToolButton* m_spinDown = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_recalc = nullptr;
    QCheckBox* m_useBoundary = nullptr;
    QToolButton* m_layouts[3] = {};
    QLabel* m_levelLabel = nullptr;
    QLabel* m_distanceLabel = nullptr;
    CEditKeyPadReal* m_level = nullptr;
    CEditKeyPadReal* m_distance = nullptr;
    bool m_ready = false;
};

// The picture of a boundary layout: the map frame with its boundary points outside it.
QPixmap BoundaryLayoutPicture(int layout, const QSize& size);

// The Edit Data command: runs the dialog on `doc` and writes back on OK. True when written.
// With `pasteText`, the dialog opens with that table pasted after the last point.
bool RunEditDataDialog(QWidget* parent, CTessarixDoc& doc, const QString& pasteText = QString());
