#include "app/SurfaceCheckText.h"

#include "app/AppStrings.h"
#include "mapping/RbfInterpolator.h"
#include "util/StringTable.h"

namespace {

// Residuals and misses in dB to a thousandth, as the command-line check prints them.
QString Decibels(double d)
{
    return QString::number(d, 'f', 3);
}

QString Coordinate(float v)
{
    return QString::asprintf("%g", double(v));
}

QString RefusalOf(const SurfaceCheckReport& report, int pointCount)
{
    if (report.coincidingFirst >= 0)
        return TxFormat(IDS_CHECK_COINCIDING, QString::number(report.coincidingFirst + 1),
                        QString::number(report.coincidingSecond + 1));
    switch (report.check.status) {
    case SurfaceCheckStatus::TooManyPoints:
        return TxFormat(IDS_CHECK_TOO_MANY, QString::number(pointCount), QString::number(kMaxInterpolationPoints));
    case SurfaceCheckStatus::Singular:
        return TxString(IDS_CHECK_SINGULAR);
    case SurfaceCheckStatus::OutOfMemory:
        return TxString(IDS_CHECK_NO_MEMORY);
    case SurfaceCheckStatus::TooFewPoints:
    case SurfaceCheckStatus::Cancelled:  // never shown: a cancelled run is not delivered
    case SurfaceCheckStatus::Checked:
        break;
    }
    return TxString(IDS_CHECK_TOO_FEW);
}

}  // namespace

QStringList SurfaceCheckHeadings()
{
    QStringList headings;
    for (int c = 0; c < CheckColumnCount; ++c)
        headings.append(TxString(IDS_CHECK_HEAD_POINT + c));
    return headings;
}

SurfaceCheckText DescribeSurfaceCheck(const SurfaceCheckReport& report, int pointCount)
{
    SurfaceCheckText text;
    if (!report.Checked()) {
        text.refusal = RefusalOf(report, pointCount);
        return text;
    }
    const SurfaceCheck& check = report.check;
    text.rms = TxFormat(IDS_CHECK_RMS, Decibels(check.rms));
    text.miss = TxFormat(IDS_CHECK_MISS, QString::number(check.largestMiss, 'g', 3),
                         QString::number(report.largestMiss.number));
    text.condition = TxFormat(IDS_CHECK_CONDITION, QString::number(check.conditionEstimate, 'e', 3));
    if (report.nonPositiveEnergyNodes >= 0)
        text.condition += QLatin1Char('\n') + TxString(IDS_CHECK_ENERGY_NODES)
                                                   .arg(QString::number(report.nonPositiveEnergyNodes),
                                                        QString::number(report.gridNodes),
                                                        QString::number(double(report.lowestLevel), 'g', 6));
    text.illConditioned = check.MissesPoints();
    text.verdict = text.illConditioned ? TxFormat(IDS_CHECK_ILL_CONDITIONED, QString::number(report.largestMiss.number))
                                       : TxString(IDS_CHECK_PASSES);
    int rank = 0;
    for (const SurfaceCheckPoint& p : report.worst) {
        text.worstRows.push_back({QString::number(p.number), Coordinate(p.x), Coordinate(p.y), Coordinate(p.value),
                                  Decibels(p.residual)});
        text.marks.push_back({p.x, p.y, QString::number(++rank)});
    }
    return text;
}
