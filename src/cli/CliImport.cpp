// tessarix-cli import TABLE OUT [--image PICTURE [--image-kind K]] [--image-rect X0,Y0,X1,Y1]:
// a document from a text table, optionally with a background picture and its placement.

#include <QFile>
#include <QFileInfo>

#include "cli/CliDocument.h"
#include "dataentry/TableToDocument.h"
#include "document/TessarixDoc.h"
#include "image/ImageImportOptions.h"

namespace {

int Import(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString picture = args.TakeOption(QStringLiteral("--image"));
    const QString kindName = args.TakeOption(QStringLiteral("--image-kind"));
    const QString rectText = args.TakeOption(QStringLiteral("--image-rect"));
    const QStringList files = args.Positional();
    if (files.size() != 2 || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("import")) << "\n";
        return CliUsage;
    }
    int32_t kind = 0;
    if (!kindName.isEmpty()) {
        kind = ImageKindFromName(kindName);
        if (kind == 0 || picture.isEmpty()) {
            ctx.err << "--image-kind must be metafile, bitmap, tiff or jpeg, and goes with --image\n";
            return CliUsage;
        }
    } else if (!picture.isEmpty()) {
        kind = ImageKindForFileName(picture);
        if (kind == 0) {
            ctx.err << picture << ": the picture kind cannot be told from the extension; give --image-kind\n";
            return CliUsage;
        }
    }
    std::optional<ImageRect> rect;
    if (!rectText.isEmpty()) {
        rect = ParseImageRect(rectText);
        if (!rect) {
            ctx.err << "--image-rect wants X0,Y0,X1,Y1 with X0 != X1 and Y0 != Y1\n";
            return CliUsage;
        }
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
    if (!picture.isEmpty()) {
        CTXImage image;
        if (!image.Import(QFileInfo(picture).absoluteFilePath(), kind)) {
            ctx.err << picture << ": not a readable " << ImageKindName(kind)
                    << " picture (missing, damaged, too large or of another kind)\n";
            return CliRefused;
        }
        doc.Image() = image;
    }
    if (rect)
        doc.Settings().imageRect = *rect;
    return CliSaveDocument(ctx, doc, files[1]) ? CliOk : CliRefused;
}

const CliRegistration reg("import",
                          "import TABLE OUT [--image PICTURE [--image-kind metafile|bitmap|tiff|jpeg]] "
                          "[--image-rect X0,Y0,X1,Y1]",
                          "Make a document from a text table (header X, Y, column names; TAB, ';' or ','), "
                          "optionally with a background picture (kind from the extension unless given) "
                          "and the world rectangle it covers.",
                          Import);

}  // namespace
