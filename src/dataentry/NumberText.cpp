#include "dataentry/NumberText.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <limits>

#include "dataentry/DataEntryStrings.h"
#include "util/StringTable.h"

bool ParseDoublePrefix(QByteArrayView text, double* value, qsizetype* consumed)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* p = begin;
    const bool plus = p != end && *p == '+';
    if (plus)
        ++p;
    // from_chars takes no '+'; a second sign after '+' is not a number.
    if (plus && p != end && *p == '-')
        return false;
    double v = 0;
    const auto [last, ec] = std::from_chars(p, end, v, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return false;
    // Out of range: a huge magnitude becomes infinite (callers refuse it), a tiny one zero.
    if (ec == std::errc::result_out_of_range) {
        const char* q = p;
        const bool negative = q != last && *q == '-';
        if (negative)
            ++q;
        bool tiny = q != last && (*q == '.' || (*q == '0' && q + 1 != last && q[1] == '.'));
        for (const char* e = q; e != last; ++e)
            if (*e == 'e' || *e == 'E') {
                tiny = e + 1 != last && e[1] == '-';
                break;
            }
        v = tiny ? 0.0 : (negative ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
    }
    *value = v;
    *consumed = last - begin;
    return true;
}

QString FormatG(double value)
{
    return QString::asprintf("%g", value);
}

QString FloatFieldText(float value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text;
    for (int digits = 6; digits <= 9; ++digits) {
        text = plain.toString(double(value), 'g', digits);
        bool ok = false;
        if (plain.toFloat(text, &ok) == value && ok)
            break;
    }
    return text;
}

QString TxFormatInts(int id, std::initializer_list<long long> values)
{
    QString text = TxString(id);
    qsizetype from = 0;
    for (long long v : values) {
        const qsizetype at = text.indexOf(QLatin1String("%d"), from);
        if (at < 0)
            break;
        const QString number = QString::number(v);
        text.replace(at, 2, number);
        from = at + number.size();
    }
    return text;
}

QString QuotedCellText(const QString& cell)
{
    QString out;
    const qsizetype shown = std::min(cell.size(), kQuotedCellLength);
    for (qsizetype i = 0; i < shown; ++i) {
        const QChar ch = cell[i];
        if (ch == u'\t')
            out += QLatin1String("\\t");
        else if (ch == u'\r')
            out += QLatin1String("\\r");
        else if (ch == u'\n')
            out += QLatin1String("\\n");
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || (ch.unicode() >= 0x80 && ch.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    if (cell.size() > shown)
        out += QChar(0x2026);
    return out;
}
