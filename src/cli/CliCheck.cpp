// tessarix-cli check FILE [--column N] [--json]: how well the surface of a column stands behind
// its measured points: the leave-one-out residual of each, their RMS and worst five, the largest
// miss of the surface at the points and the condition estimate of the interpolation system.
// With the document's energy option the surface is the one of the energies, the residuals and
// the miss are given in dB all the same, and the check tells how many grid nodes had no
// positive energy (the map shows the lowest measured level there).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <thread>

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/SurfaceCheck.h"
#include "util/StringTable.h"
#include "workers/SurfaceCheckRun.h"

namespace {

QJsonValue JsonDouble(double d)
{
    return std::isfinite(d) ? QJsonValue(d) : QJsonValue(QJsonValue::Null);
}

QString Db(double d)
{
    return QString::number(d, 'f', 3);
}

QString MissWarning(const SurfaceCheck& check)
{
    return check.MissesPoints()
               ? TxFormat(IDS_CLI_CHECK_MISS_WARNING, QString::number(check.largestMissPoint + 1), Db(check.largestMiss))
               : QString();
}

QString EnergyNodesText(const SurfaceCheckReport& report)
{
    return TxString(IDS_CLI_CHECK_ENERGY_NODES)
        .arg(QString::number(report.nonPositiveEnergyNodes), QString::number(report.gridNodes),
             ShortestFloatText(report.lowestLevel));
}

void PrintTable(CliContext& ctx, const InterpolationInput& in, const SurfaceCheckReport& report)
{
    const SurfaceCheck& check = report.check;
    ctx.out << "point\tx\ty\tvalue\tLOO residual\n";
    for (int32_t k = 0; k < in.measured; ++k)
        ctx.out << (k + 1) << '\t' << ShortestFloatText(in.x[size_t(k)]) << '\t' << ShortestFloatText(in.y[size_t(k)])
                << '\t' << ShortestFloatText(in.v[size_t(k)]) << '\t' << Db(check.residuals[size_t(k)])
                << (check.IsWorst(k) ? "\t*" : "") << '\n';
    ctx.out << TxFormat(IDS_CLI_CHECK_WORST, QString::number(check.worst.size())) << '\n'
            << TxFormat(IDS_CLI_CHECK_RMS, Db(check.rms)) << '\n'
            << TxFormat(IDS_CLI_CHECK_MISS, QString::number(check.largestMiss, 'g', 3),
                        QString::number(check.largestMissPoint + 1))
            << '\n'
            << TxFormat(IDS_CLI_CHECK_CONDITION, QString::number(check.conditionEstimate, 'e', 3)) << '\n';
    if (report.nonPositiveEnergyNodes >= 0)
        ctx.out << EnergyNodesText(report) << '\n';
    if (check.MissesPoints())
        ctx.out << MissWarning(check) << '\n';
}

void PrintJson(CliContext& ctx, int column, const InterpolationInput& in, const SurfaceCheckReport& report)
{
    const SurfaceCheck& check = report.check;
    const bool energy = report.nonPositiveEnergyNodes >= 0;
    QJsonArray points;
    for (int32_t k = 0; k < in.measured; ++k)
        points.append(QJsonObject{{"point", k + 1},
                                  {"x", JsonFloat(in.x[size_t(k)])},
                                  {"y", JsonFloat(in.y[size_t(k)])},
                                  {"value", JsonFloat(in.v[size_t(k)])},
                                  {"residual", JsonDouble(check.residuals[size_t(k)])},
                                  {"worst", check.IsWorst(k)}});
    QJsonArray worst;
    for (int32_t p : check.worst)
        worst.append(p + 1);
    const QString warning = MissWarning(check);
    QJsonObject root{{"column", column},
                           {"points", points},
                           {"worst", worst},
                           {"rms", JsonDouble(check.rms)},
                           {"largestMiss", JsonDouble(check.largestMiss)},
                           {"largestMissPoint", check.largestMissPoint + 1},
                           {"conditionEstimate", JsonDouble(check.conditionEstimate)},
                           {"warning", warning.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(warning)},
                           {"energy", energy}};
    if (energy) {
        root.insert(QStringLiteral("nonPositiveEnergyNodes"), report.nonPositiveEnergyNodes);
        root.insert(QStringLiteral("gridNodes"), report.gridNodes);
        root.insert(QStringLiteral("lowestLevel"), JsonFloat(report.lowestLevel));
    }
    ctx.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString RefusalText(const SurfaceCheck& check, int column, const InterpolationInput& in)
{
    switch (check.status) {
    case SurfaceCheckStatus::TooManyPoints:
        return TxFormat(IDS_CLI_CHECK_TOO_MANY, QString::number(in.x.size()), QString::number(kMaxInterpolationPoints));
    case SurfaceCheckStatus::Singular:
        return TxFormat(IDS_CLI_CHECK_SINGULAR, QString::number(column));
    case SurfaceCheckStatus::OutOfMemory:
        return TxString(IDS_CLI_CHECK_NO_MEMORY);
    default:
        return TxFormat(IDS_CLI_CHECK_TOO_FEW, QString::number(column));
    }
}

int Check(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString columnText = args.TakeOption(QStringLiteral("--column"), QStringLiteral("0"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("check")) << "\n";
        return CliUsage;
    }
    int column = 0;
    if (!CliColumnIndex(columnText, &column)) {
        ctx.err << TxString(IDS_CLI_BAD_COLUMN) << "\n";
        return CliUsage;
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, files.first()))
        return CliRefused;

    const SurfaceCheckInput input = SurfaceCheckInputOf(doc, column);
    const InterpolationInput& in = input.points;
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    const SurfaceCheckReport report = RunSurfaceCheck(input, threads);
    if (report.coincidingFirst >= 0) {
        ctx.err << TxFormat(IDS_CLI_CHECK_COINCIDING, QString::number(report.coincidingFirst + 1),
                            QString::number(report.coincidingSecond + 1))
                << "\n";
        return CliRefused;
    }
    if (!report.Checked()) {
        ctx.err << RefusalText(report.check, column, in) << "\n";
        return CliRefused;
    }
    if (json)
        PrintJson(ctx, column, in, report);
    else
        PrintTable(ctx, in, report);
    return CliOk;
}

const CliRegistration reg("check", "check FILE [--column N] [--json]",
                          "Check the surface of a column: leave-one-out residuals, largest miss, condition estimate.",
                          Check);

}  // namespace
