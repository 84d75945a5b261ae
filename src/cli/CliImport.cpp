// tessarix-cli import TABLE OUT [--image PICTURE [--image-kind K]] [--image-rect X0,Y0,X1,Y1]
// [--clip FILE]: a document from a text table, optionally with a background picture, its
// placement and clipping polylines.

#include <QFile>
#include <QFileInfo>

#include "cli/CliDocument.h"
#include "dataentry/TableToDocument.h"
#include "document/ClipSettings.h"
#include "document/TessarixDoc.h"
#include "image/ClipOutlineFile.h"
#include "image/ImageImportOptions.h"

namespace {

// Reads the outlines of `path` (map coordinates) as polylines relative to the picture's map
// rectangle; false, with the reason on the error stream, when the file is refused.
bool ReadClipFile(CliContext& ctx, const QString& path, const ImageRect& rect, ClipPolylineSet* set)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ctx.err << path << ": " << file.errorString() << "\n";
        return false;
    }
    const ClipOutlineReadResult read = ReadClipOutlines(file.readAll());
    if (!read.error.isEmpty()) {
        ctx.err << path;
        if (read.line > 0)
            ctx.err << ":" << read.line;
        ctx.err << ": " << read.error << "\n";
        return false;
    }
    if (rect.x0 == rect.x1 || rect.y0 == rect.y1) {
        ctx.err << path << ": the picture's rectangle is empty; give --image-rect\n";
        return false;
    }
    int clamped = 0;
    for (const ClipOutline& outline : read.outlines) {
        int moved = 0;
        ClipPolyline polyline;
        polyline.vertices = ToPictureRelative(outline, rect, &moved);
        clamped += moved;
        set->polylines.push_back(std::move(polyline));
    }
    if (clamped > 0)
        ctx.err << path << ": " << clamped << " coordinates lay outside the picture and were moved onto its edge\n";
    return true;
}

int Import(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString picture = args.TakeOption(QStringLiteral("--image"));
    const QString kindName = args.TakeOption(QStringLiteral("--image-kind"));
    const QString rectText = args.TakeOption(QStringLiteral("--image-rect"));
    const QString clipPath = args.TakeOption(QStringLiteral("--clip"));
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
    if (!clipPath.isEmpty()) {
        ClipPolylineSet clip = ClippingOf(doc.Settings());
        if (!ReadClipFile(ctx, clipPath, doc.Settings().imageRect, &clip))
            return CliRefused;
        SetClipping(doc.Settings(), clip);
    }
    return CliSaveDocument(ctx, doc, files[1]) ? CliOk : CliRefused;
}

const CliRegistration reg("import",
                          "import TABLE OUT [--image PICTURE [--image-kind metafile|bitmap|tiff|jpeg]] "
                          "[--image-rect X0,Y0,X1,Y1] [--clip FILE]",
                          "Make a document from a text table (header X, Y, column names; TAB, ';' or ','), "
                          "optionally with a background picture (kind from the extension unless given) "
                          "and the world rectangle it covers. --clip reads clipping polylines in map "
                          "coordinates: \"x y\" lines with a blank line between polylines, or GeoJSON "
                          "Polygon/MultiPolygon rings.",
                          Import);

}  // namespace
