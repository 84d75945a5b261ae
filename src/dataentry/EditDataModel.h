#pragma once
// The private copy of the point table that the Edit Data dialog works on: the shown columns
// (X, Y, then every enabled data column), the number of points N and the boundary condition
// settings. Nothing reaches the document before ApplyTo.
//
// Lowering N keeps the longer columns until FitColumnsToPointCount (OK), so raising it again
// brings the old values back; raising it past the columns' length grows them with zeros.

#include <QString>
#include <QStringList>

#include <vector>

#include "dataentry/GridOwner.h"
#include "dataentry/TableExchange.h"
#include "dataentry/TablePaste.h"
#include "dataentry/TableTextParser.h"
#include "util/TxTypes.h"

class CTessarixDoc;

struct BoundaryConditions {
    int32_t use = 0;
    int32_t layout = 0;  // 0 corners, 1 middles of the sides, 2 both
    float level = 0.0f;
    float distance = 0.0f;
    friend bool operator==(const BoundaryConditions&, const BoundaryConditions&) = default;
};

enum class TableFormat { Text, Dif };

// The whole point table of `doc` under a header row (X, Y, enabled column names), rendered as
// Copy renders a selection.
QByteArray RenderPointTable(const CTessarixDoc& doc, TableFormat format, const ExchangeLocale& locale);

// The acceptance of a typed cell text: accepted, or the position of the first wrong character
// (-1 for the whole text).
struct CellAcceptance {
    bool accepted = false;
    int errorPosition = -1;
};

class CEditDataModel {
public:
    // More points than this would only come from a typing slip and exhaust memory.
    static constexpr int kMaxPoints = 1000000;

    CEditDataModel() = default;
    explicit CEditDataModel(const CTessarixDoc& doc);

    int PointCount() const { return m_pointCount; }
    int ColumnCount() const { return int(m_names.size()); }
    const QStringList& Names() const { return m_names; }
    const CTXFloatArray& Column(int c) const { return m_columns.at(size_t(c)); }
    float Value(int row, int column) const { return m_columns.at(size_t(column)).at(size_t(row)); }

    // A new N, clamped to 0..kMaxPoints; columns grow with zeros, never shrink here.
    void SetPointCount(int n);
    void FitColumnsToPointCount();

    QString CellText(int row, int column) const;
    // The acceptance rule of a typed text: leading blanks skipped, the rest must be one number
    // with "." as decimal point; only an accepted text is stored.
    CellAcceptance SetCellText(int row, int column, const QString& text);
    static CellAcceptance CheckCellText(const QString& text, float* value);

    // Recalculate XY: the first N entries of X and Y take the computed positions as they are
    // (0 where a list is short); the data columns are untouched.
    void SetPositions(const CTXFloatArray& x, const CTXFloatArray& y);

    // The question before removing rows first..last, and the removal.
    static QString RemoveQuestion(int first, int last);
    void RemoveRows(int first, int last);

    // The selected cells as "%g" texts, optionally under a header row of column names.
    CellTable Cells(const GridRange& range, bool withHeader = false) const;
    GridRange WholeTable() const { return {0, 0, m_pointCount - 1, ColumnCount() - 1}; }
    // Parses `text` into the selected block; stores only when the whole block was read.
    PasteBlock Paste(const QString& text, const GridRange& range, const ExchangeLocale& locale);
    // Reads a whole table for a paste at (row, column); the rows are stored by StoreTablePaste.
    TablePaste ReadTablePaste(const QString& text, int row, int column, const ExchangeLocale& locale) const;
    // How many points the paste needs beyond the table when it starts at `row`.
    int PointsMissingFor(const TablePaste& paste, int row) const;
    // Stores the pasted rows from `row` down; rows past the table add points when `addPoints`,
    // else they are left out.
    void StoreTablePaste(const TablePaste& paste, int row, bool addPoints);

    // True when the shown table differs from the one the dialog started with.
    bool TableChanged() const;

    BoundaryConditions boundary;

    // Writes the table and the boundary settings back as the "Edit Data" step.
    void ApplyTo(CTessarixDoc& doc);

private:
    int m_pointCount = 0;
    QStringList m_names;
    std::vector<CTXFloatArray> m_columns;
    int m_startPointCount = 0;
    std::vector<CTXFloatArray> m_startColumns;
};
