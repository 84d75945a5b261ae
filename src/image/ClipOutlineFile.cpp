#include "image/ClipOutlineFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

ClipOutlineReadResult Refuse(const QString& error, int line = 0)
{
    ClipOutlineReadResult r;
    r.error = error;
    r.line = line;
    return r;
}

// Drops the closing repetition of a ring and refuses outlines too short to enclose anything.
bool FinishOutline(ClipOutline outline, std::vector<ClipOutline>* outlines)
{
    if (outline.size() > 1 && outline.front() == outline.back())
        outline.pop_back();
    if (int(outline.size()) < 3)
        return false;
    outlines->push_back(std::move(outline));
    return true;
}

ClipOutlineReadResult ReadText(const QByteArray& bytes)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    ClipOutlineReadResult result;
    ClipOutline current;
    int startLine = 0;
    const QList<QByteArray> lines = bytes.split('\n');
    // One more, empty line ends the last outline.
    for (int i = 0; i <= int(lines.size()); ++i) {
        const int lineNumber = i + 1;
        const QString line = i < int(lines.size()) ? QString::fromUtf8(lines[i]).trimmed() : QString();
        // A comment line neither adds a point nor ends the outline; only a blank line does.
        const QString text = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (text.isEmpty() && !line.isEmpty())
            continue;
        if (text.isEmpty()) {
            if (!current.empty() && !FinishOutline(std::move(current), &result.outlines))
                return Refuse(QStringLiteral("an outline needs at least three points"), startLine);
            current.clear();
            continue;
        }
        const QStringList fields = text.split(separators, Qt::SkipEmptyParts);
        bool okX = false;
        bool okY = false;
        const double x = fields.size() == 2 ? fields[0].toDouble(&okX) : 0.0;
        const double y = fields.size() == 2 ? fields[1].toDouble(&okY) : 0.0;
        if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y))
            return Refuse(QStringLiteral("expected two numbers, x and y"), lineNumber);
        if (current.empty())
            startLine = lineNumber;
        current.emplace_back(x, y);
    }
    if (result.outlines.empty())
        return Refuse(QStringLiteral("no outline in the file"));
    return result;
}

bool ReadRing(const QJsonValue& ring, std::vector<ClipOutline>* outlines)
{
    ClipOutline outline;
    for (const QJsonValue& position : ring.toArray()) {
        const QJsonArray xy = position.toArray();
        if (xy.size() < 2 || !xy[0].isDouble() || !xy[1].isDouble())
            return false;
        outline.emplace_back(xy[0].toDouble(), xy[1].toDouble());
    }
    return FinishOutline(std::move(outline), outlines);
}

bool ReadPolygonRings(const QJsonArray& rings, std::vector<ClipOutline>* outlines)
{
    for (const QJsonValue& ring : rings)
        if (!ReadRing(ring, outlines))
            return false;
    return !rings.isEmpty();
}

// Collects the rings of a GeoJSON object; false for a geometry other than a polygon.
bool ReadGeoJson(const QJsonObject& object, std::vector<ClipOutline>* outlines)
{
    const QString type = object.value(QStringLiteral("type")).toString();
    if (type == QStringLiteral("FeatureCollection")) {
        for (const QJsonValue& feature : object.value(QStringLiteral("features")).toArray())
            if (!ReadGeoJson(feature.toObject(), outlines))
                return false;
        return true;
    }
    if (type == QStringLiteral("Feature"))
        return ReadGeoJson(object.value(QStringLiteral("geometry")).toObject(), outlines);
    const QJsonArray coordinates = object.value(QStringLiteral("coordinates")).toArray();
    if (type == QStringLiteral("Polygon"))
        return ReadPolygonRings(coordinates, outlines);
    if (type == QStringLiteral("MultiPolygon")) {
        for (const QJsonValue& polygon : coordinates)
            if (!ReadPolygonRings(polygon.toArray(), outlines))
                return false;
        return !coordinates.isEmpty();
    }
    return false;
}

}  // namespace

ClipOutlineReadResult ReadClipOutlines(const QByteArray& bytes)
{
    if (!bytes.trimmed().startsWith('{'))
        return ReadText(bytes);
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &parseError);
    if (json.isNull())
        return Refuse(QStringLiteral("not valid JSON: ") + parseError.errorString());
    ClipOutlineReadResult result;
    if (!ReadGeoJson(json.object(), &result.outlines))
        return Refuse(QStringLiteral("GeoJSON must hold Polygon or MultiPolygon geometries whose rings have at "
                                     "least three points"));
    if (result.outlines.empty())
        return Refuse(QStringLiteral("no outline in the file"));
    return result;
}

std::vector<KW_FPOINT> ToPictureRelative(const ClipOutline& outline, const ImageRect& rect, int* clamped)
{
    const double width = double(rect.x1) - double(rect.x0);
    const double height = double(rect.y1) - double(rect.y0);
    int moved = 0;
    auto fraction = [&moved](double v, double origin, double extent) {
        const double f = extent != 0.0 ? (v - origin) / extent : 0.0;
        const double kept = std::clamp(f, 0.0, 1.0);
        moved += kept != f ? 1 : 0;
        return float(kept);
    };
    std::vector<KW_FPOINT> vertices;
    vertices.reserve(outline.size());
    for (const QPointF& p : outline)
        vertices.push_back({fraction(p.x(), rect.x0, width), fraction(p.y(), rect.y0, height)});
    if (clamped)
        *clamped = moved;
    return vertices;
}
