#include "dataentry/SetupFields.h"

#include <QLocale>

#include <cmath>

#include "dataentry/NumberText.h"

std::optional<int> ReadIntegerText(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    int v = QLocale().toInt(t, &ok);
    if (!ok)
        v = QLocale::c().toInt(t, &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<float> ReadRealText(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    float v = QLocale().toFloat(t, &ok);
    if (!ok)
        v = QLocale::c().toFloat(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString IntegerText(int value)
{
    return QString::number(value);
}

QString RealText(float value)
{
    return FloatFieldText(value, QLocale());
}

QString FormatPercentG(const QString& format, double first, double second)
{
    QString out = format;
    const double values[2] = {first, second};
    qsizetype from = 0;
    for (double v : values) {
        const qsizetype at = out.indexOf(QLatin1String("%g"), from);
        if (at < 0)
            break;
        const QString number = QString::number(v, 'g', 6);
        out.replace(at, 2, number);
        from = at + number.size();
    }
    return out;
}
