// tessarix-cli merge FILE --out F [--tolerance T]: repeated readings at one position become one
// point carrying the energetic mean of their levels.

#include <cmath>

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "document/AcousticEdits.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

namespace {

int Merge(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const QString toleranceText = args.TakeOption(QStringLiteral("--tolerance"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue() || out.isEmpty()) {
        ctx.err << CliUsageOf(QStringLiteral("merge")) << "\n";
        return CliUsage;
    }
    double tolerance = kDefaultRepeatTolerance;
    if (!toleranceText.isEmpty()) {
        bool ok = false;
        tolerance = toleranceText.toDouble(&ok);
        if (!ok || !(tolerance > 0.0) || !std::isfinite(tolerance)) {
            ctx.err << TxString(IDS_CLI_BAD_TOLERANCE) << "\n";
            return CliUsage;
        }
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, files[0]))
        return CliRefused;
    for (const std::vector<int>& group : FindRepeatedReadings(doc, tolerance)) {
        QStringList points;
        for (int p : group)
            points << QString::number(p + 1);
        const QString at = QStringLiteral("(%1, %2)").arg(ShortestFloatText(doc.X()[size_t(group.front())]),
                                                          ShortestFloatText(doc.Y()[size_t(group.front())]));
        ctx.out << TxFormat(IDS_CLI_MERGED_GROUP, points.join(QStringLiteral(", ")), at) << '\n';
    }
    const int removed = MergeRepeatedReadings(doc, tolerance);
    ctx.out << TxFormat(IDS_CLI_MERGE_SUMMARY, QString::number(removed), QString::number(doc.PointCount())) << '\n';
    return CliSaveDocument(ctx, doc, out) ? CliOk : CliRefused;
}

const CliRegistration reg("merge", "merge FILE --out F [--tolerance T]",
                          "Merge repeated readings at one position into their energetic mean.", Merge);

}  // namespace
