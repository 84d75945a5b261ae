#include "dataentry/KeyPadModel.h"

#include <cmath>
#include <limits>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"

bool CKeyPadModel::ParseInteger(const QString& text, int* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);  // C-locale digits, optional sign
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    *value = int(v);
    return true;
}

namespace {

// The text with the field's decimal separator turned into "."; empty when it holds both.
QString WithDecimalPoint(const QString& text, const QString& decimal)
{
    if (decimal.isEmpty() || decimal == u'.' || !text.contains(decimal))
        return text;
    if (text.contains(u'.'))
        return {};
    QString t = text;
    return t.replace(decimal, QStringLiteral("."));
}

}  // namespace

bool CKeyPadModel::ParseReal(const QString& text, double* value, const QString& decimal)
{
    const QByteArray t = WithDecimalPoint(text.trimmed(), decimal).toUtf8();
    double v = 0;
    qsizetype used = 0;
    if (t.isEmpty() || !ParseDoublePrefix(t, &v, &used) || used != t.size() || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

int CKeyPadModel::PromptId(KeyPadMode mode)
{
    return mode == KeyPadMode::Integer ? IDS_PARSE_INT : IDS_PARSE_REAL;
}

int CKeyPadModel::Validate(const QString& text, KeyPadMode mode, bool acceptEmpty, const QString& decimal)
{
    if (acceptEmpty && text.isEmpty())
        return 0;
    int i = 0;
    double d = 0;
    const bool ok = mode == KeyPadMode::Integer ? ParseInteger(text, &i) : ParseReal(text, &d, decimal);
    return ok ? 0 : PromptId(mode);
}

bool CKeyPadModel::Negate(const QString& text, KeyPadMode mode, QString* result, const QString& decimal)
{
    if (mode == KeyPadMode::Integer) {
        int v = 0;
        // The negative of the smallest integer does not exist as an integer.
        if (!ParseInteger(text, &v) || v == std::numeric_limits<int>::min())
            return false;
        *result = QString::number(-v);
        return true;
    }
    double v = 0;
    if (!ParseReal(text, &v, decimal))
        return false;
    *result = QString::asprintf("%.15g", -v);
    if (decimal != u'.' && text.contains(decimal))
        result->replace(u'.', decimal);
    return true;
}

QPoint CKeyPadModel::Placement(const QRect& field, const QSize& pad, const QRect& screen)
{
    int x = field.left() + (field.width() - pad.width()) / 2;
    if (x + pad.width() > screen.right() + 1)
        x = screen.right() + 1 - pad.width();
    if (x < screen.left())
        x = screen.left();
    int y = field.bottom() + 1;
    if (y + pad.height() > screen.bottom() + 1)
        y = field.top() - pad.height();
    if (y < screen.top())
        y = screen.top();
    return {x, y};
}
