#include "dataentry/TableTextParser.h"

#include <cmath>
#include <limits>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "util/StringTable.h"

bool ParseNumberToken(QStringView token, double* value)
{
    qsizetype i = 0;
    while (i < token.size() && (token[i] == u' ' || token[i] == u'\t'))
        ++i;
    const QByteArray rest = token.mid(i).toUtf8();
    double v = 0;
    qsizetype used = 0;
    if (!ParseDoublePrefix(rest, &v, &used))
        v = 0;
    if (v == 0) {
        const char first = rest.isEmpty() ? '\0' : rest[0];
        const char second = rest.size() > 1 ? rest[1] : '\0';
        const bool writtenZero = first == '0' || ((first == '+' || first == '-') && second == '0');
        if (!writtenZero)
            return false;
    }
    // A value beyond any coordinate or level (and infinity, not-a-number) would corrupt the
    // table and the colour axis fitted to it; it is refused like any other bad token.
    if (!std::isfinite(v) || std::fabs(v) > kMaxTableCellMagnitude)
        return false;
    *value = v;
    return true;
}

bool ParseLocalNumberToken(QStringView token, const ExchangeLocale& locale, double* value)
{
    return ParseNumberToken(DelocaliseToken(token.toString(), locale), value);
}

QStringView TakeToken(QStringView& rest, const ExchangeLocale& locale)
{
    const qsizetype tab = rest.indexOf(u'\t');
    if (tab >= 0) {
        const QStringView token = rest.left(tab);
        rest = rest.mid(tab + 1);
        return token;
    }
    const qsizetype list = locale.list.isEmpty() ? -1 : rest.indexOf(locale.list);
    if (list >= 0) {
        const QStringView token = rest.left(list);
        rest = rest.mid(list + locale.list.size());
        return token;
    }
    const QStringView token = rest;
    rest = QStringView();
    return token;
}

std::vector<QStringView> SplitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype nl = text.indexOf(u'\n', start);
        if (nl < 0) {
            lines.push_back(text.mid(start));
            break;
        }
        qsizetype end = nl;
        if (end > start && text[end - 1] == u'\r')
            --end;
        lines.push_back(text.mid(start, end - start));
        start = nl + 1;
    }
    // The clipboard's text form may end with a NUL; it is no line of its own.
    if (!lines.empty() && lines.back() == QStringView(u"\0", 1))
        lines.pop_back();
    return lines;
}

QString PasteBlock::Message() const
{
    switch (status) {
    case PasteStatus::NotEnoughLines:
        return TxString(IDS_PASTE_NOT_ENOUGH_LINES);
    case PasteStatus::NotEnoughNumbers:
        return TxFormatInts(IDS_PASTE_NOT_ENOUGH_NUMBERS, {line});
    case PasteStatus::SyntaxError:
        return TxFormatInts(IDS_PASTE_SYNTAX_ERROR, {line});
    case PasteStatus::Ok:
    case PasteStatus::TooLarge:
        break;
    }
    return {};
}

PasteBlock ParsePasteBlock(QStringView text, int rows, int columns, const ExchangeLocale& locale)
{
    PasteBlock block;
    block.rows = rows;
    block.columns = columns;
    const qint64 count = qint64(rows) * qint64(columns);
    if (rows <= 0 || columns <= 0 || count >= (qint64(1) << 29)) {
        block.status = PasteStatus::TooLarge;
        return block;
    }
    block.values.assign(size_t(count), 0.0);
    const std::vector<QStringView> lines = SplitTextLines(text);
    for (int k = 0; k < rows; ++k) {
        if (size_t(k) >= lines.size()) {
            block.status = PasteStatus::NotEnoughLines;
            block.values.clear();
            return block;
        }
        QStringView rest = lines[size_t(k)];
        for (int c = 0; c < columns; ++c) {
            if (rest.isEmpty()) {
                block.status = PasteStatus::NotEnoughNumbers;
                block.line = k + 1;
                block.values.clear();
                return block;
            }
            const QStringView token = TakeToken(rest, locale);
            double v = 0;
            if (!ParseLocalNumberToken(token, locale, &v)) {
                block.status = PasteStatus::SyntaxError;
                block.line = k + 1;
                block.values.clear();
                return block;
            }
            block.values[size_t(c + columns * k)] = v;
        }
    }
    return block;
}
