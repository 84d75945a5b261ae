// tessarix-cli import TABLE OUT: a document from a text table.

#include <QFile>

#include "cli/CliDocument.h"
#include "dataentry/TableToDocument.h"
#include "document/TessarixDoc.h"

namespace {

int Import(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QStringList files = args.Positional();
    if (files.size() != 2 || !args.UnknownOption().isEmpty()) {
        ctx.err << CliUsageOf(QStringLiteral("import")) << "\n";
        return CliUsage;
    }
    QFile in(files[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        ctx.err << files[0] << ": " << in.errorString() << "\n";
        return CliRefused;
    }
    const QString text = QString::fromUtf8(in.readAll());
    TextTable table;
    TextTableError error;
    if (!ReadTextTable(text, kColumnCount, &table, &error)) {
        ctx.err << files[0];
        if (error.line > 0)
            ctx.err << ":" << error.line;
        if (error.column > 0)
            ctx.err << ":" << error.column;
        ctx.err << ": " << error.message << "\n";
        return CliRefused;
    }
    CTessarixDoc doc;
    doc.OnNewDocument();
    ApplyTextTable(doc, table);
    return CliSaveDocument(ctx, doc, files[1]) ? CliOk : CliRefused;
}

const CliRegistration reg("import", "import TABLE OUT",
                          "Make a document from a text table (header X, Y, column names; TAB, ';' or ',').",
                          Import);

}  // namespace
