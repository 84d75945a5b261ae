#pragma once
// "Merge Repeated Readings": lists the groups of points closer together than a tolerance and
// merges each into one point carrying the energetic mean of its levels.

#include <QDialog>

#include "dataentry/MergeReadingsModel.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CMergeReadingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMergeReadingsDlg(CTessarixDoc& doc, QWidget* parent = nullptr);

    QDoubleSpinBox* ToleranceBox() const { return m_tolerance; }
    QTableWidget* GroupTable() const { return m_table; }
    QLabel* SummaryLabel() const { return m_summary; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    void Refresh();

    CTessarixDoc& m_doc;
    CMergeReadingsModel m_model;
    QDoubleSpinBox* m_tolerance = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_ok = nullptr;
};

// Runs the dialog modally over `parent`; true when OK merged points.
bool RunMergeReadingsDialog(QWidget* parent, CTessarixDoc& doc);
