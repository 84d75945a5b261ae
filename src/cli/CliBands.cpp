// tessarix-cli bands FILE --into COLUMN [--a-weighted] [--bands LIST] --out F
// tessarix-cli bands FILE --check [--overall COLUMN] [--a-weighted] [--bands LIST]
// Fills a column with the energetic sum of the octave-band columns, or lists per position the
// measured overall level against that sum.

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "document/AcousticEdits.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

namespace {

// "1,2,5" -> columns; false for anything that is not a list of band columns 1..11.
bool ParseBandList(const QString& text, std::vector<int>* bands)
{
    bands->clear();
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const int c = part.trimmed().toInt(&ok);
        if (!ok || c < 1 || c > 11)
            return false;
        bands->push_back(c);
    }
    return !bands->empty();
}

int PrintCheck(CliContext& ctx, const CTessarixDoc& doc, int overall, const std::vector<int>& bands, bool aWeighted)
{
    const std::vector<BandCheckRow> rows = CheckBandSum(doc, overall, bands, aWeighted);
    int outside = 0;
    ctx.out << "point\tx\ty\tmeasured\tband sum\tdifference\n";
    for (const BandCheckRow& r : rows) {
        ctx.out << (r.point + 1) << '\t' << ShortestFloatText(doc.X()[size_t(r.point)]) << '\t'
                << ShortestFloatText(doc.Y()[size_t(r.point)]) << '\t' << QString::number(r.measured, 'f', 1) << '\t'
                << QString::number(r.bandSum, 'f', 1) << '\t' << QString::number(r.difference, 'f', 1)
                << (r.outside ? "\t*" : "") << '\n';
        outside += r.outside ? 1 : 0;
    }
    ctx.out << TxFormat(IDS_CLI_BAND_CHECK_SUMMARY, QString::number(outside), QString::number(rows.size())) << '\n';
    return CliOk;
}

int Bands(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString into = args.TakeOption(QStringLiteral("--into"));
    const QString overallText = args.TakeOption(QStringLiteral("--overall"), QStringLiteral("0"));
    const QString bandText = args.TakeOption(QStringLiteral("--bands"));
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const bool aWeighted = args.TakeFlag(QStringLiteral("--a-weighted"));
    const bool check = args.TakeFlag(QStringLiteral("--check"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue() ||
        check == !into.isEmpty() || (!check && out.isEmpty())) {
        ctx.err << CliUsageOf(QStringLiteral("bands")) << "\n";
        return CliUsage;
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, files[0]))
        return CliRefused;
    std::vector<int> bands = DefaultBandColumns(doc);
    if (!bandText.isEmpty() && !ParseBandList(bandText, &bands)) {
        ctx.err << TxString(IDS_CLI_BAD_BANDS) << "\n";
        return CliUsage;
    }
    if (bands.empty()) {
        ctx.err << TxString(IDS_CLI_NO_BANDS) << "\n";
        return CliRefused;
    }
    int column = 0;
    if (!CliColumnIndex(check ? overallText : into, &column)) {
        ctx.err << TxString(IDS_CLI_BAD_COLUMN) << "\n";
        return CliUsage;
    }
    if (check)
        return PrintCheck(ctx, doc, column, bands, aWeighted);
    if (!FillBandSum(doc, column, bands, aWeighted)) {
        ctx.err << TxString(IDS_CLI_TARGET_IS_BAND) << "\n";
        return CliUsage;
    }
    if (!doc.Column(column).enabled)
        ctx.err << TxFormat(IDS_CLI_COLUMN_DISABLED, QString::number(column)) << "\n";
    return CliSaveDocument(ctx, doc, out) ? CliOk : CliRefused;
}

const CliRegistration reg("bands",
                          "bands FILE (--into COLUMN --out F | --check [--overall COLUMN]) [--a-weighted] [--bands 1,2,...]",
                          "Fill a column with the energetic sum of the octave bands, or check the measured overall level against it.",
                          Bands);

}  // namespace
