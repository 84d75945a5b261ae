#include "dataentry/TextTableReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <algorithm>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "util/StringTable.h"
#include "util/Codepage.h"

namespace {

// One row of cells with the line it starts on.
struct RawRow {
    int line = 0;
    QStringList cells;
};

enum class DecimalRule { Dot, Comma, Either };

bool ParseCell(const QString& cell, DecimalRule rule, float* value)
{
    if (rule == DecimalRule::Either)
        return ParseTableNumber(cell, false, value) || ParseTableNumber(cell, true, value);
    return ParseTableNumber(cell, rule == DecimalRule::Comma, value);
}

// Why a cell is not taken: a number beyond the table's range, or no number at all.
QString CellRefusal(const QString& cell)
{
    const QString quoted = QuotedCellText(cell);
    double d = 0;
    qsizetype used = 0;
    QByteArray bytes = cell.toLatin1();
    bytes.replace(',', '.');
    if (ParseDoublePrefix(bytes, &d, &used) && used == bytes.size() && !bytes.contains('x') && !bytes.contains('X') &&
        !(std::fabs(d) <= kMaxTableCellMagnitude))
        return TxString(IDS_CELL_OUT_OF_RANGE).arg(quoted, FormatG(kMaxTableCellMagnitude));
    return QStringLiteral("\"%1\" is not a number").arg(quoted);
}

// The first row names the columns (X, Y, names); every further row is a point.
bool BuildTable(const std::vector<RawRow>& rows, DecimalRule rule, int maxColumns, TextTable* table,
                TextTableError* error)
{
    if (rows.empty()) {
        *error = {0, 0, QStringLiteral("the table is empty")};
        return false;
    }
    const RawRow& header = rows.front();
    const int headerCells = int(header.cells.size());
    if (headerCells < 3) {
        *error = {header.line, 0, QStringLiteral("the header row needs X, Y and at least one column name")};
        return false;
    }
    if (headerCells - 2 > maxColumns) {
        *error = {header.line, maxColumns + 3, QStringLiteral("at most %1 data columns are possible").arg(maxColumns)};
        return false;
    }
    for (int c = 2; c < headerCells; ++c) {
        const QString name = header.cells[c].trimmed();
        if (name.isEmpty()) {
            *error = {header.line, c + 1, QStringLiteral("empty column name")};
            return false;
        }
        table->columnNames.append(name);
    }
    table->values.resize(size_t(headerCells - 2));
    for (size_t r = 1; r < rows.size(); ++r) {
        const RawRow& row = rows[r];
        if (row.cells.size() != headerCells) {
            *error = {row.line, 0,
                      QStringLiteral("%1 cells where the header has %2").arg(row.cells.size()).arg(headerCells)};
            return false;
        }
        for (int c = 0; c < headerCells; ++c) {
            float v = 0;
            if (!ParseCell(row.cells[c], rule, &v)) {
                *error = {row.line, c + 1, CellRefusal(row.cells[c].trimmed())};
                return false;
            }
            if (c == 0)
                table->x.push_back(v);
            else if (c == 1)
                table->y.push_back(v);
            else
                table->values[size_t(c - 2)].push_back(v);
        }
    }
    return true;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

bool LooksLikeDif(const QString& text)
{
    const QStringList head = SplitLines(text.left(64));
    return head.size() >= 2 && head[0].trimmed() == QLatin1String("TABLE") && head[1].startsWith(QLatin1String("0,"));
}

// A quoted DIF string value: the quotes around it removed, doubled quotes made single.
QString DifString(const QString& line)
{
    QString s = line;
    if (s.size() >= 2 && s.startsWith(u'"') && s.endsWith(u'"'))
        s = s.mid(1, s.size() - 2);
    s.replace(QLatin1String("\"\""), QLatin1String("\""));
    return s;
}

// Reads the Data Interchange Format: header items up to DATA, then BOT-started rows of string
// (1,0 + "text") and numeric (0,value + V) cells up to EOD.
bool ReadDif(const QString& text, std::vector<RawRow>* rows, TextTableError* error)
{
    const QStringList lines = SplitLines(text);
    qsizetype i = 0;
    for (;;) {
        if (i + 2 >= lines.size()) {
            *error = {int(i) + 1, 0, QStringLiteral("the DIF header has no DATA item")};
            return false;
        }
        const QString topic = lines[i].trimmed();
        i += 3;
        if (topic == QLatin1String("DATA"))
            break;
    }
    while (i + 1 < lines.size()) {
        const int lineNo = int(i) + 1;
        const QString descriptor = lines[i].trimmed();
        const QString value = lines[i + 1];
        i += 2;
        const qsizetype comma = descriptor.indexOf(u',');
        bool typeOk = false;
        const int type = descriptor.left(comma).toInt(&typeOk);
        if (comma < 0 || !typeOk) {
            *error = {lineNo, 0, QStringLiteral("\"%1\" is not a DIF cell").arg(QuotedCellText(descriptor))};
            return false;
        }
        if (type == -1) {
            const QString word = value.trimmed();
            if (word == QLatin1String("EOD"))
                break;
            if (word == QLatin1String("BOT"))
                rows->push_back({lineNo, {}});
            continue;
        }
        if (rows->empty()) {
            *error = {lineNo, 0, QStringLiteral("a DIF cell before the first row")};
            return false;
        }
        if (type == 1)
            rows->back().cells.append(DifString(value.trimmed()));
        else if (type == 0)
            rows->back().cells.append(value.trimmed() == QLatin1String("V") ? descriptor.mid(comma + 1) : QString());
        else {
            *error = {lineNo, 0, QStringLiteral("unknown DIF cell type %1").arg(type)};
            return false;
        }
    }
    // Rows without any text (a spreadsheet's trailing empty rows) carry no point.
    std::erase_if(*rows, [](const RawRow& r) {
        return std::all_of(r.cells.begin(), r.cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
    });
    return true;
}

}  // namespace

bool ParseTableNumber(const QString& cell, bool commaIsDecimal, float* value)
{
    QString t = cell.trimmed();
    if (commaIsDecimal)
        t.replace(u',', u'.');
    if (t.isEmpty())
        return false;
    const QByteArray bytes = t.toLatin1();
    if (bytes.contains('x') || bytes.contains('X'))
        return false;  // no hexadecimal floats
    // The process locale may use another decimal point; the parse must not depend on it.
    double d = 0;
    qsizetype used = 0;
    if (!ParseDoublePrefix(bytes, &d, &used) || used != bytes.size() || !std::isfinite(d))
        return false;
    if (std::fabs(d) > kMaxTableCellMagnitude)
        return false;
    *value = float(d);
    return std::isfinite(*value);
}

bool ReadTextTable(const QString& input, int maxColumns, TextTable* table, TextTableError* error)
{
    *table = TextTable();
    QString text = input;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // The clipboard's text form ends with a NUL byte.
    while (text.endsWith(QChar(u'\0')))
        text.chop(1);

    std::vector<RawRow> rows;
    if (LooksLikeDif(text)) {
        if (!ReadDif(text, &rows, error))
            return false;
        return BuildTable(rows, DecimalRule::Either, maxColumns, table, error);
    }

    const QStringList lines = SplitLines(text);
    QChar separator;
    for (int lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        const QString& line = lines[lineIndex];
        if (line.trimmed().isEmpty())
            continue;
        if (separator.isNull())
            separator = line.contains(u'\t') ? QChar(u'\t') : line.contains(u';') ? QChar(u';') : QChar(u',');
        QStringList cells = line.split(separator);
        // Spreadsheets quote text cells ("SLM"); the quotes are no part of the name.
        for (QString& cell : cells) {
            const QString t = cell.trimmed();
            if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
                cell = DifString(t);
        }
        rows.push_back({lineIndex + 1, cells});
    }
    const DecimalRule rule = separator == u',' ? DecimalRule::Dot : DecimalRule::Comma;
    return BuildTable(rows, rule, maxColumns, table, error);
}

bool ReadTextTableBytes(const QByteArray& bytes, int maxColumns, TextTable* table, TextTableError* error)
{
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar(QChar::ReplacementCharacter))) {
        // Not UTF-8: the clipboard renderings of this program, DIF in OEM 850, text in ANSI.
        text = bytes.startsWith("TABLE") ? FromCp850(bytes) : FromCp1252(bytes);
    }
    return ReadTextTable(text, maxColumns, table, error);
}
