// tessarix-cli render FILE [--column N | --all] [--size WxH] [--dpi D] [--mode M] --out F.png: the map
// picture of one column (or of every enabled column) through the same map requests and worker
// threads as the program's views.

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include "cli/CliDocument.h"
#include "document/TessarixDoc.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"

namespace {

bool ParseSize(const QString& text, QSize* size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    *size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return size->width() >= 16 && size->height() >= 16 && size->width() <= 20000 && size->height() <= 20000;
}

// "map.png" with column 3 becomes "map_3.png".
QString ColumnFileName(const QString& out, int column)
{
    const QFileInfo info(out);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
    const QString name = info.completeBaseName() + QLatin1Char('_') + QString::number(column) +
                         QLatin1Char('.') + suffix;
    return info.path() == QLatin1String(".") && !out.startsWith(QLatin1String("./"))
               ? name
               : info.path() + QLatin1Char('/') + name;
}

int Render(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const QString columnText = args.TakeOption(QStringLiteral("--column"));
    const QString sizeText = args.TakeOption(QStringLiteral("--size"), QStringLiteral("1000x800"));
    const QString dpiText = args.TakeOption(QStringLiteral("--dpi"), QStringLiteral("96"));
    const QString modeText = args.TakeOption(QStringLiteral("--mode"));
    const bool all = args.TakeFlag(QStringLiteral("--all"));
    const QStringList files = args.Positional();
    auto usage = [&](const QString& why) {
        if (!why.isEmpty())
            ctx.err << why << "\n";
        ctx.err << CliUsageOf(QStringLiteral("render")) << "\n";
        return int(CliUsage);
    };
    if (args.MissingValue() || !args.UnknownOption().isEmpty() || files.size() != 1)
        return usage(args.UnknownOption().isEmpty() ? QString() : QStringLiteral("unknown option ") + args.UnknownOption());
    if (out.isEmpty())
        return usage(QStringLiteral("--out is required"));
    if (all && !columnText.isEmpty())
        return usage(QStringLiteral("--column and --all exclude each other"));
    QSize size;
    if (!ParseSize(sizeText, &size))
        return usage(QStringLiteral("--size wants WIDTHxHEIGHT, each 16..20000: ") + sizeText);
    bool ok = false;
    const int dpi = dpiText.toInt(&ok);
    if (!ok || dpi < 24 || dpi > 2400)
        return usage(QStringLiteral("--dpi wants a number from 24 to 2400: ") + dpiText);
    int column = 0;
    if (!columnText.isEmpty()) {
        if (!CliColumnIndex(columnText, &column))
            return usage(QStringLiteral("--column wants a column index from 0 to 11: ") + columnText);
    }

    int mode = -1;
    if (!modeText.isEmpty()) {
        mode = modeText.toInt(&ok);
        if (!ok || mode < MapModeNormal || mode > MapModeImageColorMap)
            return usage(QStringLiteral("--mode wants 0 (Normal), 1 (Color Map), 2 (Image) or 3 (Image + Color Map): ") + modeText);
    }

    auto computations = std::make_unique<CMapComputationSet>();
    const CMapComputationSet& maps = *computations;
    CTessarixDoc doc(std::move(computations));
    doc.SetScreenResolution(dpi, dpi);
    if (!CliOpenDocument(ctx, doc, files[0]))
        return CliRefused;
    std::vector<int> columns;
    if (all) {
        for (int32_t c : doc.EnabledColumnIndices())
            columns.push_back(int(c));
    } else {
        if (!doc.Column(column).enabled) {
            ctx.err << files[0] << ": column " << column << " is not enabled\n";
            return CliRefused;
        }
        columns.push_back(column);
    }

    if (mode >= 0)
        doc.Settings().mapMode = mode;  // for this picture only; the file is not written
    // The waiter stands in for the main window; it counts the MapReady of the requests below.
    CMapReadyWaiter waiter(columns.front());
    doc.SetNotify(&waiter);
    const TxRect client{0, 0, size.width(), size.height()};
    if (doc.ClientRect() == client)
        doc.RequestMaps(RECALC_BITMAP);
    else
        doc.OnViewSizeChanged(client);  // lays the maps out for this size and requests them
    bool ready = true;
    for (int c : columns)
        ready = ready && waiter.WaitForMapReady(c, 1, 300000);
    int status = CliOk;
    if (!ready) {
        ctx.err << files[0] << ": the map computation did not finish\n";
        status = CliRefused;
    }
    for (int c : ready ? columns : std::vector<int>()) {
        QImage picture;
        const QString path = all ? ColumnFileName(out, c) : out;
        if (!doc.Maps().CopyPicture(c, &picture) || picture.isNull()) {
            ctx.err << files[0] << ": no map picture for column " << c << "\n";
            status = CliRefused;
            continue;
        }
        if (!picture.save(path, "PNG")) {
            ctx.err << path << ": the picture could not be written\n";
            status = CliRefused;
            continue;
        }
        ctx.out << path << "\n";
        // The picture carries its warning; it is said here as well, for scripts.
        const QString warning = maps.Thread(c).WarningText();
        if (!warning.isEmpty())
            ctx.err << path << ": " << warning << "\n";
    }
    // Stop the workers before the waiter they report to goes away.
    doc.DeleteContents();
    doc.SetNotify(nullptr);
    return status;
}

const CliRegistration reg("render", "render FILE [--column N | --all] [--size WxH] [--dpi D] [--mode M] --out F.png",
                          "Draw the map of a column (or of every enabled column, the column index "
                          "added to the file name) into a PNG picture; --mode draws it in another "
                          "map mode (0 Normal, 1 Color Map, 2 Image, 3 Image + Color Map).",
                          Render);

}  // namespace
