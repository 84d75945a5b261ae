#include "dataentry/EditDataModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "document/TessarixDoc.h"

CEditDataModel::CEditDataModel(const CTessarixDoc& doc)
{
    m_names << QStringLiteral("X") << QStringLiteral("Y") << doc.EnabledColumnNames();
    m_columns.push_back(doc.X());
    m_columns.push_back(doc.Y());
    for (int32_t c : doc.EnabledColumnIndices())
        m_columns.push_back(doc.Column(c).values);
    m_pointCount = doc.PointCount();
    for (CTXFloatArray& col : m_columns)
        col.resize(size_t(m_pointCount));
    m_startPointCount = m_pointCount;
    m_startColumns = m_columns;
    const CTessarixSettings& s = doc.Settings();
    boundary = {s.useBoundaryConditions, s.boundaryLayout, s.boundaryLevel, s.boundaryDistance};
}

void CEditDataModel::SetPointCount(int n)
{
    m_pointCount = std::clamp(n, 0, kMaxPoints);
    for (CTXFloatArray& col : m_columns)
        if (col.size() < size_t(m_pointCount))
            col.resize(size_t(m_pointCount));
}

void CEditDataModel::FitColumnsToPointCount()
{
    for (CTXFloatArray& col : m_columns)
        col.resize(size_t(m_pointCount));
}

QString CEditDataModel::CellText(int row, int column) const
{
    return FormatG(double(Value(row, column)));
}

CellAcceptance CEditDataModel::CheckCellText(const QString& text, float* value)
{
    int start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    if (start == text.size())
        return {false, -1};
    const QString rest = text.mid(start);
    const QByteArray bytes = rest.toUtf8();
    double v = 0;
    qsizetype used = 0;
    if (!ParseDoublePrefix(bytes, &v, &used))
        return {false, start};
    // `used` counts bytes; the number itself is ASCII, so it is also the character count.
    if (used != bytes.size())
        return {false, start + int(used)};
    if (!std::isfinite(v) || std::fabs(v) > double(std::numeric_limits<float>::max()))
        return {false, -1};
    *value = float(v);
    return {true, 0};
}

CellAcceptance CEditDataModel::SetCellText(int row, int column, const QString& text)
{
    float v = 0;
    const CellAcceptance a = CheckCellText(text, &v);
    if (a.accepted)
        m_columns.at(size_t(column)).at(size_t(row)) = v;
    return a;
}

void CEditDataModel::SetPositions(const CTXFloatArray& x, const CTXFloatArray& y)
{
    const CTXFloatArray* source[2] = {&x, &y};
    for (size_t c = 0; c < 2; ++c) {
        CTXFloatArray& column = m_columns.at(c);
        for (size_t i = 0; i < size_t(m_pointCount); ++i)
            column.at(i) = i < source[c]->size() ? (*source[c])[i] : 0.0f;
    }
}

QString CEditDataModel::RemoveQuestion(int first, int last)
{
    return TxFormatInts(IDS_REMOVE_POINTS, {last - first + 1, first + 1});
}

void CEditDataModel::RemoveRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, m_pointCount - 1);
    if (first > last)
        return;
    for (CTXFloatArray& col : m_columns) {
        const size_t end = std::min(col.size(), size_t(last) + 1);
        if (size_t(first) < end)
            col.erase(col.begin() + first, col.begin() + qsizetype(end));
    }
    m_pointCount -= last - first + 1;
}

CellTable CEditDataModel::Cells(const GridRange& range, bool withHeader) const
{
    CellTable table;
    const int c0 = std::max(0, range.firstColumn);
    const int c1 = std::min(ColumnCount() - 1, range.lastColumn);
    if (withHeader) {
        QStringList header;
        for (int c = c0; c <= c1; ++c)
            header << m_names[c];
        table.push_back(header);
    }
    const int r0 = std::max(0, range.firstRow);
    const int r1 = std::min(m_pointCount - 1, range.lastRow);
    for (int r = r0; r <= r1; ++r) {
        QStringList row;
        for (int c = c0; c <= c1; ++c)
            row << CellText(r, c);
        table.push_back(row);
    }
    return table;
}

PasteBlock CEditDataModel::Paste(const QString& text, const GridRange& range, const ExchangeLocale& locale)
{
    const int r0 = std::max(0, range.firstRow);
    const int r1 = std::min(m_pointCount - 1, range.lastRow);
    const int c0 = std::max(0, range.firstColumn);
    const int c1 = std::min(ColumnCount() - 1, range.lastColumn);
    PasteBlock block = ParsePasteBlock(text, r1 - r0 + 1, c1 - c0 + 1, locale);
    if (block.status != PasteStatus::Ok)
        return block;
    for (int k = 0; k < block.rows; ++k)
        for (int c = 0; c < block.columns; ++c)
            m_columns[size_t(c0 + c)][size_t(r0 + k)] = float(block.At(k, c));
    return block;
}

TablePaste CEditDataModel::ReadTablePaste(const QString& text, int row, int column, const ExchangeLocale& locale) const
{
    const int maxRows = kMaxPoints - std::clamp(row, 0, m_pointCount);
    return ParseTablePaste(text, m_names, std::clamp(column, 0, std::max(0, ColumnCount() - 1)), locale, maxRows);
}

int CEditDataModel::PointsMissingFor(const TablePaste& paste, int row) const
{
    return std::max(0, std::clamp(row, 0, m_pointCount) + int(paste.rows.size()) - m_pointCount);
}

void CEditDataModel::StoreTablePaste(const TablePaste& paste, int row, bool addPoints)
{
    if (paste.status != PasteStatus::Ok)
        return;
    const int first = std::clamp(row, 0, m_pointCount);
    if (addPoints)
        SetPointCount(m_pointCount + PointsMissingFor(paste, first));
    const int stored = std::min(int(paste.rows.size()), m_pointCount - first);
    for (int k = 0; k < stored; ++k)
        for (size_t i = 0; i < paste.targets.size(); ++i)
            if (paste.targets[i] >= 0)
                m_columns.at(size_t(paste.targets[i])).at(size_t(first + k)) = paste.rows[size_t(k)][i];
}

bool CEditDataModel::TableChanged() const
{
    if (m_pointCount != m_startPointCount)
        return true;
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (!std::equal(m_columns[c].begin(), m_columns[c].begin() + m_pointCount, m_startColumns[c].begin()))
            return true;
    return false;
}

void CEditDataModel::ApplyTo(CTessarixDoc& doc)
{
    FitColumnsToPointCount();
    std::vector<CTXFloatArray> data(m_columns.begin() + 2, m_columns.end());
    doc.ApplyEditData(m_pointCount, m_columns[0], m_columns[1], data, boundary.use, boundary.layout,
                      boundary.level, boundary.distance);
}

QByteArray RenderPointTable(const CTessarixDoc& doc, TableFormat format, const ExchangeLocale& locale)
{
    const CEditDataModel model(doc);
    const CellTable cells = model.Cells(model.WholeTable(), true);
    return format == TableFormat::Dif ? CTableDifWriter(locale).Render(cells) : CTableTextWriter(locale).Render(cells);
}
