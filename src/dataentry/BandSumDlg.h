#pragma once
// "Band Sum": fills a column with the energetic sum of the chosen octave band columns, optionally
// A-weighted, beside a table that checks the column's measured level against that sum.

#include <QDialog>

#include <array>

#include "dataentry/BandSumModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

class CBandSumDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBandSumDlg(CTessarixDoc& doc, QWidget* parent = nullptr);

    QComboBox* TargetBox() const { return m_target; }
    QCheckBox* BandBox(int column) const { return m_bands.at(size_t(column)); }  // 1..11
    QCheckBox* AWeightedBox() const { return m_aWeighted; }
    QTableWidget* CheckTable() const { return m_table; }
    QLabel* SummaryLabel() const { return m_summary; }

    // A refused choice is told to the user and leaves the dialog open.
    void accept() override;

private:
    void Refresh();

    CTessarixDoc& m_doc;
    CBandSumModel m_model;
    QComboBox* m_target = nullptr;
    std::array<QCheckBox*, kColumnCount> m_bands{};
    QCheckBox* m_aWeighted = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
};

// Runs the dialog modally over `parent`; true when OK filled the column.
bool RunBandSumDialog(QWidget* parent, CTessarixDoc& doc);
