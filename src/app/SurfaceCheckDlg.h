#pragma once
// "Surface Check": a modeless dialog over the main window that checks the surface of the column
// of the active map tab and shows the RMS of the leave-one-out residuals, the worst five points,
// the largest miss with its point, the condition estimate and whether the miss calls for another
// interpolation parameter. The check runs on a thread of its own; while it runs the dialog says
// so and the window stays usable. While a result is shown, the view of the column circles the
// worst points; the circles go when the dialog closes or the data change, and a change of the
// data or of the tab starts a new check (a check still running for the old input is cancelled).

#include <QDialog>
#include <QPointer>

#include <functional>

#include "workers/SurfaceCheckRun.h"

class CTessarixDoc;
class CTessarixView;
class QLabel;
class QProgressBar;
class QTableWidget;

class CSurfaceCheckDlg : public QDialog {
    Q_OBJECT
public:
    // `viewOf` finds the map view of a column (null when it has none).
    using ViewLookup = std::function<CTessarixView*(int column)>;
    CSurfaceCheckDlg(CTessarixDoc& doc, ViewLookup viewOf, QWidget* parent = nullptr);
    ~CSurfaceCheckDlg() override;

    // The column to check; -1 when no map is shown.
    void SetColumn(int column);
    int Column() const { return m_column; }
    // Called after every change of the document: an outdated result is dropped and the check
    // runs again; a result that still holds is marked again on the (possibly new) view.
    void OnDocumentChanged();

    const CSurfaceCheckRunner& Runner() const { return m_runner; }
    QLabel* StatusLabel() const { return m_status; }
    QLabel* VerdictLabel() const { return m_verdict; }
    QTableWidget* WorstTable() const { return m_table; }
    QString SummaryText() const;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Recheck();
    void ShowResult();
    void ShowMessage(const QString& text, bool working);
    void MarkWorstPoints();
    void ClearMarks();

    CTessarixDoc& m_doc;
    ViewLookup m_viewOf;
    CSurfaceCheckRunner m_runner;
    int m_column = -1;
    QPointer<CTessarixView> m_markedView;
    QLabel* m_columnLabel = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QLabel* m_rms = nullptr;
    QLabel* m_miss = nullptr;
    QLabel* m_condition = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_worstCaption = nullptr;
    QTableWidget* m_table = nullptr;
};
