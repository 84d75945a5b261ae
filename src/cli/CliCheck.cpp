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
#include "workers/ContourMapThread.h"

namespace {

// The column's interpolation input as the map worker builds it: the measured points, then the
// boundary and conditioning points, in map coordinates.
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

// What the energy option adds: the grid nodes without a positive energy (-1: the option is off).
struct EnergyNodes {
    int32_t count = -1;
    int32_t total = 0;
    float lowestLevel = 0.0f;
    bool On() const { return count >= 0; }
};

QString EnergyNodesText(const EnergyNodes& energy)
{
    return TxString(IDS_CLI_CHECK_ENERGY_NODES)
        .arg(QString::number(energy.count), QString::number(energy.total), ShortestFloatText(energy.lowestLevel));
}

void PrintTable(CliContext& ctx, const InterpolationInput& in, const SurfaceCheck& check, const EnergyNodes& energy)
{
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
    if (energy.On())
        ctx.out << EnergyNodesText(energy) << '\n';
    if (check.MissesPoints())
        ctx.out << MissWarning(check) << '\n';
}

void PrintJson(CliContext& ctx, int column, const InterpolationInput& in, const SurfaceCheck& check,
               const EnergyNodes& energy)
{
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
                           {"energy", energy.On()}};
    if (energy.On()) {
        root.insert(QStringLiteral("nonPositiveEnergyNodes"), energy.count);
        root.insert(QStringLiteral("gridNodes"), energy.total);
        root.insert(QStringLiteral("lowestLevel"), JsonFloat(energy.lowestLevel));
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

    const InterpolationInput in = InterpolationInputOf(doc, doc.Settings(), column);
    const int32_t n = int32_t(in.x.size());
    CTXFloatArray xn, yn;
    NormaliseToExtent(doc.Settings().extent, in.x, in.y, &xn, &yn);
    int32_t first = 0, second = 0;
    if (n <= kMaxInterpolationPoints && FindCoincidingPoints(xn, yn, &first, &second)) {
        ctx.err << TxFormat(IDS_CLI_CHECK_COINCIDING, QString::number(first + 1), QString::number(second + 1)) << "\n";
        return CliRefused;
    }
    const CTessarixSettings& s = doc.Settings();
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    SurfaceCheck check;
    EnergyNodes energy;
    if (s.energyInterpolation != 0) {
        const EnergySurfaceCheck e = CheckEnergySurface(n, in.measured, xn.data(), yn.data(), in.v.data(),
                                                        s.interpFunction, s.interpParameter, s.gridCountX,
                                                        s.gridCountY, threads);
        check = e.check;
        energy = {e.nonPositiveNodes, (s.gridCountX + 1) * (s.gridCountY + 1), e.lowestLevel};
    } else {
        check = CheckSurface(n, in.measured, xn.data(), yn.data(), in.v.data(), s.interpFunction, s.interpParameter,
                             threads);
    }
    if (check.status != SurfaceCheckStatus::Checked) {
        ctx.err << RefusalText(check, column, in) << "\n";
        return CliRefused;
    }
    if (json)
        PrintJson(ctx, column, in, check, energy);
    else
        PrintTable(ctx, in, check, energy);
    return CliOk;
}

const CliRegistration reg("check", "check FILE [--column N] [--json]",
                          "Check the surface of a column: leave-one-out residuals, largest miss, condition estimate.",
                          Check);

}  // namespace
