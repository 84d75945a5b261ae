#include "image/SvgCoordinateClamp.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSideWithoutSize = 1000.0;

// The larger of the root element's width and height.
double RootSide(const QByteArray& svg)
{
    static const QRegularExpression root(QStringLiteral("<svg\\b[^>]*>"));
    static const QRegularExpression side(QStringLiteral("\\b(?:width|height)=\"\\s*([0-9.eE+-]+)"));
    const QString text = QString::fromUtf8(svg);
    const QRegularExpressionMatch r = root.match(text);
    if (!r.hasMatch())
        return kSideWithoutSize;
    double largest = 0.0;
    auto it = side.globalMatch(r.captured(0));
    while (it.hasNext()) {
        bool ok = false;
        const double v = it.next().captured(1).toDouble(&ok);
        if (ok && std::isfinite(v))
            largest = std::max(largest, std::fabs(v));
    }
    return largest > 0.0 ? largest : kSideWithoutSize;
}

QString ClampNumbers(const QString& value, double limit, bool* changed)
{
    static const QRegularExpression number(QStringLiteral("[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?"));
    QString out;
    qsizetype last = 0;
    auto it = number.globalMatch(value);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const double v = m.captured(0).toDouble();
        if (std::isfinite(v) && std::fabs(v) <= limit)
            continue;
        out += value.mid(last, m.capturedStart() - last);
        out += QString::number(std::isnan(v) ? 0.0 : std::clamp(v, -limit, limit), 'f', 4);
        last = m.capturedEnd();
        *changed = true;
    }
    if (last == 0)
        return value;
    out += value.mid(last);
    return out;
}

}  // namespace

QByteArray ClampSvgCoordinates(const QByteArray& svg)
{
    static const QRegularExpression attribute(QStringLiteral(
        "\\s(d|points|x|y|x1|y1|x2|y2|cx|cy|r|rx|ry|width|height|font-size|stroke-width)=\"([^\"]*)\""));
    const double limit = kSvgCoordinateReach * RootSide(svg);
    const QString text = QString::fromUtf8(svg);
    QString out;
    qsizetype last = 0;
    bool changed = false;
    auto it = attribute.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        bool here = false;
        const QString value = ClampNumbers(m.captured(2), limit, &here);
        if (!here)
            continue;
        out += QStringView(text).mid(last, m.capturedStart(2) - last);
        out += value;
        last = m.capturedEnd(2);
        changed = true;
    }
    if (!changed)
        return svg;
    out += QStringView(text).mid(last);
    return out.toUtf8();
}
