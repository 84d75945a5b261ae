// tessarix-cli new OUT: writes a new default document.

#include "cli/CliDocument.h"
#include "document/TessarixDoc.h"

namespace {

int New(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty()) {
        ctx.err << CliUsageOf(QStringLiteral("new")) << "\n";
        return CliUsage;
    }
    CTessarixDoc doc;
    doc.OnNewDocument();
    return CliSaveDocument(ctx, doc, files.first()) ? CliOk : CliRefused;
}

const CliRegistration reg("new", "new OUT", "Write a new default document.", New);

}  // namespace
