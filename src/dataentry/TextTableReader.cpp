#include "dataentry/TextTableReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

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
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(bytes.constData(), &end);
    if (end != bytes.constData() + bytes.size() || errno == ERANGE || !std::isfinite(d))
        return false;
    *value = float(d);
    return std::isfinite(*value);
}

bool ReadTextTable(const QString& text, int maxColumns, TextTable* table, TextTableError* error)
{
    *table = TextTable();
    QStringList lines = text.split(u'\n');
    QChar separator;
    int headerCells = 0;
    bool commaIsDecimal = false;
    for (int lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        QString line = lines[lineIndex];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const int lineNo = lineIndex + 1;
        if (separator.isNull()) {
            separator = line.contains(u'\t') ? QChar(u'\t') : line.contains(u';') ? QChar(u';') : QChar(u',');
            commaIsDecimal = separator != u',';
            const QStringList header = line.split(separator);
            headerCells = int(header.size());
            if (headerCells < 3) {
                *error = {lineNo, 0, QStringLiteral("the header row needs X, Y and at least one column name")};
                return false;
            }
            if (headerCells - 2 > maxColumns) {
                *error = {lineNo, maxColumns + 3,
                          QStringLiteral("at most %1 data columns are possible").arg(maxColumns)};
                return false;
            }
            for (int c = 2; c < headerCells; ++c) {
                const QString name = header[c].trimmed();
                if (name.isEmpty()) {
                    *error = {lineNo, c + 1, QStringLiteral("empty column name")};
                    return false;
                }
                table->columnNames.append(name);
            }
            table->values.resize(size_t(headerCells - 2));
            continue;
        }
        const QStringList cells = line.split(separator);
        if (cells.size() != headerCells) {
            *error = {lineNo, 0,
                      QStringLiteral("%1 cells where the header has %2").arg(cells.size()).arg(headerCells)};
            return false;
        }
        for (int c = 0; c < headerCells; ++c) {
            float v = 0;
            if (!ParseTableNumber(cells[c], commaIsDecimal, &v)) {
                *error = {lineNo, c + 1, QStringLiteral("\"%1\" is not a number").arg(cells[c].trimmed())};
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
    if (separator.isNull()) {
        *error = {0, 0, QStringLiteral("the table is empty")};
        return false;
    }
    return true;
}
