// tessarix-cli print FILE --out F.pdf [--margins L,R,T,B] [--title TEXT] [--footer TEXT]
// [--paper A4|Letter] [--landscape]: the printed report as a PDF, one page per enabled column,
// through the same page composition and map computations as the program's printing.

#include <QRegularExpression>

#include "cli/CliDocument.h"
#include "document/TessarixDoc.h"
#include "print/PdfReport.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"

namespace {

// "L,R,T,B" in millimetres (0 to 100 each) into hundredths of a millimetre.
bool ParseMarginsMm(const QString& text, PrintMargins* margins)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const double mm = parts[i].trimmed().toDouble(&ok);
        if (!ok || !(mm >= 0.0 && mm <= 100.0))
            return false;
        values[i] = int(mm * 100.0 + 0.5);
    }
    *margins = {values[0], values[1], values[2], values[3]};
    return true;
}

int Print(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const QString marginsText = args.TakeOption(QStringLiteral("--margins"));
    const QString title = args.TakeOption(QStringLiteral("--title"));
    const QString footer = args.TakeOption(QStringLiteral("--footer"));
    const QString paper = args.TakeOption(QStringLiteral("--paper"), QStringLiteral("A4"));
    const bool landscape = args.TakeFlag(QStringLiteral("--landscape"));
    const QStringList files = args.Positional();
    auto usage = [&](const QString& why) {
        if (!why.isEmpty())
            ctx.err << why << "\n";
        ctx.err << CliUsageOf(QStringLiteral("print")) << "\n";
        return int(CliUsage);
    };
    if (args.MissingValue() || !args.UnknownOption().isEmpty() || files.size() != 1)
        return usage(args.UnknownOption().isEmpty() ? QString() : QStringLiteral("unknown option ") + args.UnknownOption());
    if (out.isEmpty())
        return usage(QStringLiteral("--out is required"));
    PdfReportOptions options;
    if (!marginsText.isEmpty() && !ParseMarginsMm(marginsText, &options.margins))
        return usage(QStringLiteral("--margins wants four millimetre values L,R,T,B from 0 to 100: ") + marginsText);
    if (paper.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
        options.paper = QPageSize(QPageSize::A4);
    else if (paper.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        options.paper = QPageSize(QPageSize::Letter);
    else
        return usage(QStringLiteral("--paper wants A4 or Letter: ") + paper);
    options.orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;

    auto computations = std::make_unique<CMapComputationSet>();
    CMapComputationSet& maps = *computations;
    CTessarixDoc doc(std::move(computations));
    CMapReadyWaiter waiter;
    doc.SetNotify(&waiter);
    if (!CliOpenDocument(ctx, doc, files[0])) {
        doc.SetNotify(nullptr);
        return CliRefused;
    }
    // The texts given replace the blocks' defaults for this report and enable them.
    if (!title.isNull()) {
        doc.PrintBlock(PrintTitle).text = title;
        doc.PrintBlock(PrintTitle).flags |= CTXPrintSettings::Enabled;
    }
    if (!footer.isNull()) {
        doc.PrintBlock(PrintFooter).text = footer;
        doc.PrintBlock(PrintFooter).flags |= CTXPrintSettings::Enabled;
    }
    options.documentTitle = doc.Title();

    CPrintMapFunction source([&maps](int column, MapDrawInput* input) { return maps.IdleDrawInput(column, input); });
    CPrintJob job(doc, &source, options.margins);
    const PdfReportStatus status = WritePdfReport(out, job, options);
    int exitCode = CliOk;
    if (status == PdfReportStatus::Ok) {
        ctx.out << out << "\n";
        for (int32_t c : doc.EnabledColumnIndices()) {
            const QString warning = maps.Thread(c).WarningText();
            if (!warning.isEmpty())
                ctx.err << files[0] << ": " << doc.Column(c).name << ": " << warning << "\n";
        }
    } else {
        ctx.err << out << ": the PDF file could not be written\n";
        exitCode = CliRefused;
    }
    // Stop the workers before the waiter they report to goes away.
    doc.DeleteContents();
    doc.SetNotify(nullptr);
    return exitCode;
}

const CliRegistration reg("print",
                          "print FILE --out F.pdf [--margins L,R,T,B] [--title TEXT] [--footer TEXT] "
                          "[--paper A4|Letter] [--landscape]",
                          "Print the report into a PDF file: one page per enabled column with its "
                          "title, texts and footer; --margins in millimetres (default 10 each).",
                          Print);

}  // namespace
