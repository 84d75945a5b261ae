#include "dataentry/TablePaste.h"

#include <algorithm>

bool IsHeaderLine(QStringView line, const ExchangeLocale& locale)
{
    QStringView rest = line;
    while (!rest.isEmpty()) {
        double v = 0;
        if (!ParseLocalNumberToken(TakeToken(rest, locale), locale, &v))
            return true;
    }
    return false;
}

QStringList LineTokens(QStringView line, const ExchangeLocale& locale)
{
    QStringList tokens;
    QStringView rest = line;
    while (!rest.isEmpty())
        tokens.append(TakeToken(rest, locale).trimmed().toString());
    return tokens;
}

std::vector<int> ColumnsByName(const QStringList& header, const QStringList& names)
{
    std::vector<int> columns;
    std::vector<bool> taken(size_t(names.size()), false);
    bool anyFound = false;
    for (const QString& name : header) {
        const QString wanted = name.trimmed();
        int found = -1;
        for (int c = 0; c < names.size() && found < 0; ++c)
            if (names[c].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
                found = c;
        if (found >= 0) {
            if (taken[size_t(found)])
                return {};
            taken[size_t(found)] = true;
            anyFound = true;
        }
        columns.push_back(found);
    }
    return anyFound ? columns : std::vector<int>();
}

QString TablePaste::Message() const
{
    PasteBlock block;
    block.status = status;
    block.line = line;
    return block.Message();
}

namespace {

bool IsBlank(QStringView line)
{
    return line.trimmed().isEmpty() || line == QStringView(u"\0", 1);
}

}  // namespace

TablePaste ParseTablePaste(QStringView text, const QStringList& names, int firstColumn, const ExchangeLocale& locale,
                           int maxRows)
{
    TablePaste paste;
    auto fail = [&paste](PasteStatus status, int line) {
        paste.status = status;
        paste.line = line;
        paste.rows.clear();
        return paste;
    };
    const std::vector<QStringView> lines = SplitTextLines(text);
    size_t first = 0;
    while (first < lines.size() && IsBlank(lines[first]))
        ++first;
    if (first == lines.size())
        return fail(PasteStatus::NotEnoughLines, 0);

    size_t data = first;
    if (IsHeaderLine(lines[first], locale)) {
        paste.hasHeader = true;
        ++data;
        while (data < lines.size() && IsBlank(lines[data]))
            ++data;
        // A lone line that is no number is a mistyped value, not a header.
        if (data == lines.size())
            return fail(PasteStatus::SyntaxError, int(first) + 1);
    }
    const QStringList header = paste.hasHeader ? LineTokens(lines[first], locale) : LineTokens(lines[data], locale);
    if (paste.hasHeader)
        paste.targets = ColumnsByName(header, names);
    paste.byName = !paste.targets.empty();
    for (size_t i = 0; i < paste.targets.size(); ++i)
        if (paste.targets[i] < 0)
            paste.leftOut << header[qsizetype(i)];
    if (!paste.byName) {
        const int width = std::min(int(header.size()), int(names.size()) - firstColumn);
        for (int i = 0; i < width; ++i)
            paste.targets.push_back(firstColumn + i);
    }
    if (paste.targets.empty())
        return fail(PasteStatus::TooLarge, 0);

    for (size_t k = data; k < lines.size(); ++k) {
        if (IsBlank(lines[k]))
            continue;
        if (int(paste.rows.size()) >= maxRows)
            return fail(PasteStatus::TooLarge, 0);
        QStringView rest = lines[k];
        std::vector<float> row;
        row.reserve(paste.targets.size());
        for (size_t i = 0; i < paste.targets.size(); ++i) {
            if (rest.isEmpty())
                return fail(PasteStatus::NotEnoughNumbers, int(k) + 1);
            const QStringView token = TakeToken(rest, locale);
            double v = 0;
            if (paste.targets[i] >= 0 && !ParseLocalNumberToken(token, locale, &v))
                return fail(PasteStatus::SyntaxError, int(k) + 1);
            row.push_back(float(v));
        }
        paste.rows.push_back(std::move(row));
    }
    return paste;
}
