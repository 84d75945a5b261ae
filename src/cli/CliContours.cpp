// tessarix-cli contours FILE [--column N] [--out F.geojson]: the contour polylines of one column
// as a GeoJSON FeatureCollection of LineStrings in map coordinates, traced by the column's map
// worker at every level and both intermediate lines.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "workers/BatchMapRun.h"
#include "util/StringTable.h"

namespace {

QJsonObject Features(const CContourMapThread& t)
{
    const MapExtent& e = t.Settings().extent;
    const CCMAP_ContourResult& result = t.Contours();
    const int parts = t.Parameters().intermediate + 1;
    QJsonArray features;
    // A surface that could not be traced (flat) simply has no lines.
    if (!(t.PendingWork() & RECALC_CONTOURS)) {
        for (int entry = 0; entry < int(result.entries.size()); ++entry) {
            const float level = SubLevelValue(t.Levels(), t.Parameters(), entry);
            for (const auto& line : result.entries[size_t(entry)].polylines) {
                QJsonArray coordinates;
                for (const KW_FPOINT& p : *line)
                    coordinates.append(QJsonArray{JsonFloat(e.x0 + p.x * (e.x1 - e.x0)),
                                                  JsonFloat(e.y0 + p.y * (e.y1 - e.y0))});
                features.append(QJsonObject{
                    {"type", "Feature"},
                    {"geometry", QJsonObject{{"type", "LineString"}, {"coordinates", coordinates}}},
                    {"properties",
                     QJsonObject{{"level", JsonFloat(level)}, {"sublevel", entry % parts}, {"closed", line->closed != 0}}},
                });
            }
        }
    }
    return QJsonObject{{"type", "FeatureCollection"}, {"features", features}};
}

int Contours(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString columnText = args.TakeOption(QStringLiteral("--column"), QStringLiteral("0"));
    const QString outPath = args.TakeOption(QStringLiteral("--out"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("contours")) << "\n";
        return CliUsage;
    }
    int column = 0;
    if (!CliColumnIndex(columnText, &column)) {
        ctx.err << TxString(IDS_CLI_BAD_COLUMN) << "\n";
        return CliUsage;
    }

    CBatchMapRun run(column);
    QString problem = run.OpenAndCompute(files.first(), column);
    if (problem.isEmpty())
        problem = run.ContourProblem(column);
    if (!problem.isEmpty()) {
        ctx.err << problem << "\n";
        return CliRefused;
    }
    const QByteArray json = QJsonDocument(Features(run.Thread(column))).toJson(QJsonDocument::Compact);
    if (outPath.isEmpty()) {
        ctx.out << QString::fromUtf8(json) << "\n";
        return CliOk;
    }
    QFile file(outPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size() ||
        !file.flush()) {
        ctx.err << TxFormat(IDS_CLI_CANNOT_WRITE, outPath) << "\n";
        return CliRefused;
    }
    return CliOk;
}

const CliRegistration reg("contours", "contours FILE [--column N] [--out F.geojson]",
                          "Write the contour lines of a column as GeoJSON LineStrings in map coordinates.", Contours);

}  // namespace
