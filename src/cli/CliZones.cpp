// tessarix-cli zones FILE [--levels 80,85,87] [--column N] [--geojson F] [--json]: per enabled
// column (or the one asked), the area where the interpolated level is at or above each level and
// its share of the map (or of the clipped region), as a table or JSON; --geojson writes the zones
// as polygons with their column, name, level and area.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "util/StringTable.h"
#include "workers/BatchMapRun.h"
#include "workers/WorkerStrings.h"
#include "workers/ZoneReport.h"

namespace {

QString Number(double v)
{
    return QString::number(v, 'g', 7);
}

QString Percent(double share)
{
    return QString::number(100.0 * share, 'f', 2) + QStringLiteral(" %");
}

QJsonValue JsonNumber(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

QString ProblemText(const CBatchMapRun& run, const ColumnZones& row)
{
    const QString why = row.zones.status == NoiseZoneStatus::InvalidExtent ? TxString(IDS_CLI_ZONES_BAD_EXTENT)
                                                                           : run.SurfaceProblem(row.column);
    return TxString(IDS_CLI_ZONES_NO_SURFACE).arg(QString::number(row.column), row.name, why);
}

void PrintTable(CliContext& ctx, const std::vector<ColumnZones>& rows)
{
    bool first = true;
    for (const ColumnZones& row : rows) {
        if (row.zones.status != NoiseZoneStatus::Computed)
            continue;
        if (!first)
            ctx.out << '\n';
        first = false;
        const NoiseZoneSet& z = row.zones;
        ctx.out << TxString(z.clipped ? IDS_CLI_ZONES_CLIPPED_AREA : IDS_CLI_ZONES_MAP_AREA)
                       .arg(QString::number(row.column), row.name, Number(z.regionArea))
                << '\n'
                << "level\tarea\tshare\n";
        for (size_t k = 0; k < z.zones.size(); ++k)
            ctx.out << Number(z.zones[k].level) << '\t' << Number(z.zones[k].area) << '\t' << Percent(z.Share(k)) << '\n';
    }
}

void PrintJson(CliContext& ctx, const CBatchMapRun& run, const std::vector<float>& levels,
               const std::vector<ColumnZones>& rows)
{
    QJsonArray levelArray, columns;
    for (float l : levels)
        levelArray.append(JsonFloat(l));
    for (const ColumnZones& row : rows) {
        QJsonObject column{{"column", row.column}, {"name", row.name}};
        if (row.zones.status != NoiseZoneStatus::Computed) {
            column.insert("error", ProblemText(run, row));
            columns.append(column);
            continue;
        }
        QJsonArray zones;
        for (size_t k = 0; k < row.zones.zones.size(); ++k)
            zones.append(QJsonObject{{"level", JsonFloat(row.zones.zones[k].level)},
                                     {"area", JsonNumber(row.zones.zones[k].area)},
                                     {"share", JsonNumber(row.zones.Share(k))}});
        column.insert("clipped", row.zones.clipped);
        column.insert("regionArea", JsonNumber(row.zones.regionArea));
        column.insert("zones", zones);
        columns.append(column);
    }
    const QJsonObject root{{"levels", levelArray}, {"columns", columns}};
    ctx.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

// A ring as GeoJSON positions, closed by repeating its first position.
QJsonArray RingJson(const std::vector<PointD>& ring)
{
    QJsonArray positions;
    for (const PointD& p : ring)
        positions.append(QJsonArray{p.x, p.y});
    if (!ring.empty())
        positions.append(QJsonArray{ring.front().x, ring.front().y});
    return positions;
}

QJsonArray PolygonJson(const PolygonWithHoles& polygon)
{
    QJsonArray rings{RingJson(polygon.outer)};
    for (const std::vector<PointD>& hole : polygon.holes)
        rings.append(RingJson(hole));
    return rings;
}

// One feature per column and level with a zone: a Polygon, or a MultiPolygon when the zone has
// several parts. Outer rings run counter-clockwise, holes clockwise.
QJsonObject FeatureCollection(const std::vector<ColumnZones>& rows)
{
    QJsonArray features;
    for (const ColumnZones& row : rows) {
        if (row.zones.status != NoiseZoneStatus::Computed)
            continue;
        for (const NoiseZone& zone : row.zones.zones) {
            if (zone.polygons.empty())
                continue;
            QJsonObject geometry;
            if (zone.polygons.size() == 1) {
                geometry = QJsonObject{{"type", "Polygon"}, {"coordinates", PolygonJson(zone.polygons.front())}};
            } else {
                QJsonArray parts;
                for (const PolygonWithHoles& p : zone.polygons)
                    parts.append(PolygonJson(p));
                geometry = QJsonObject{{"type", "MultiPolygon"}, {"coordinates", parts}};
            }
            features.append(QJsonObject{
                {"type", "Feature"},
                {"geometry", geometry},
                {"properties", QJsonObject{{"column", row.column},
                                           {"name", row.name},
                                           {"level", JsonFloat(zone.level)},
                                           {"area", JsonNumber(zone.area)}}},
            });
        }
    }
    return QJsonObject{{"type", "FeatureCollection"}, {"features", features}};
}

bool WriteFile(CliContext& ctx, const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        ctx.err << TxFormat(IDS_CLI_CANNOT_WRITE, path) << "\n";
        return false;
    }
    return true;
}

int Zones(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString levelsText = args.TakeOption(QStringLiteral("--levels"), ZoneLevelsText(kDefaultZoneLevels));
    const QString columnText = args.TakeOption(QStringLiteral("--column"));
    const QString geojsonPath = args.TakeOption(QStringLiteral("--geojson"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("zones")) << "\n";
        return CliUsage;
    }
    std::vector<float> levels;
    if (!ParseZoneLevels(levelsText, &levels)) {
        ctx.err << TxFormat(IDS_CLI_BAD_ZONE_LEVELS, QString::number(kMaxZoneLevels)) << "\n";
        return CliUsage;
    }
    int column = -1;
    if (!columnText.isEmpty() && !CliColumnIndex(columnText, &column)) {
        ctx.err << TxString(IDS_CLI_BAD_COLUMN) << "\n";
        return CliUsage;
    }

    CBatchMapRun run(std::max(column, 0));
    if (!CliOpenDocument(ctx, run.Doc(), files.first()))
        return CliRefused;
    if (column >= 0 && !run.Doc().Column(column).enabled) {
        ctx.err << TxFormat(IDS_COLUMN_NOT_ENABLED, QString::number(column)) << "\n";
        return CliRefused;
    }
    if (run.Doc().EnabledColumnIndices().empty()) {
        ctx.err << TxString(IDS_CLI_ZONES_NO_COLUMN) << "\n";
        return CliRefused;
    }
    const std::vector<ColumnZones> rows = ComputeColumnZones(
        run.Doc(), run.Maps(), levels, geojsonPath.isEmpty() ? ZoneOutlines::No : ZoneOutlines::Yes, column);

    int status = CliOk;
    for (const ColumnZones& row : rows) {
        if (row.zones.status != NoiseZoneStatus::Computed) {
            ctx.err << ProblemText(run, row) << "\n";
            status = CliRefused;
        }
    }
    if (json)
        PrintJson(ctx, run, levels, rows);
    else
        PrintTable(ctx, rows);
    if (!geojsonPath.isEmpty() &&
        !WriteFile(ctx, geojsonPath, QJsonDocument(FeatureCollection(rows)).toJson(QJsonDocument::Compact)))
        status = CliRefused;
    return status;
}

const CliRegistration reg("zones", "zones FILE [--levels 80,85,87] [--column N] [--geojson F] [--json]",
                          "Areas at or above each level (default 80, 85, 87) per enabled column, with their share "
                          "of the map or of the clipped region; --geojson writes the zones as polygons.",
                          Zones);

}  // namespace
