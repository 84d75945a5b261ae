// tessarix-cli render FILE [--column N | --all [--names]] [--title] [--size WxH] [--dpi D] [--mode M]
// --out F.png: the map picture of one column (or of every enabled column) through the same map
// requests and worker threads as the program's views.

#include "cli/CliRender.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <set>

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

}  // namespace

QString FileNamePart(const QString& columnName)
{
    // Letters, digits, "-" and "." stay; every other run of characters becomes one "_".
    QString part;
    for (const QChar c : columnName) {
        const bool keep = (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'-' || c == u'.';
        if (keep)
            part += c;
        else if (!part.endsWith(QLatin1Char('_')))
            part += QLatin1Char('_');
    }
    while (part.startsWith(QLatin1Char('_')) || part.startsWith(QLatin1Char('.')))
        part.remove(0, 1);
    while (part.endsWith(QLatin1Char('_')))
        part.chop(1);
    return part;
}

QImage WithTitleBand(const QImage& map, const QString& title, int bandHeight, int dpi)
{
    QImage out(map.width(), map.height() + bandHeight, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(8, TitleFontPixels(dpi)));
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics metrics(font);
    p.drawText(QRect(0, 0, map.width(), bandHeight), Qt::AlignCenter,
               metrics.elidedText(title, Qt::ElideRight, map.width()));
    p.drawImage(0, bandHeight, map);
    return out;
}

int TitleFontPixels(int dpi)
{
    constexpr int kTitlePoints = 14;
    return kTitlePoints * dpi / 72;
}

int TitleBandHeight(int dpi)
{
    return TitleFontPixels(dpi) * 2;
}

namespace {

// "map.png" with column 3 becomes "map_3.png" (or "map_SLM.png" with the column's name).
QString ColumnFileName(const QString& out, const QString& columnPart)
{
    const QFileInfo info(out);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
    const QString name = info.completeBaseName() + QLatin1Char('_') + columnPart + QLatin1Char('.') + suffix;
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
    const bool names = args.TakeFlag(QStringLiteral("--names"));
    const bool title = args.TakeFlag(QStringLiteral("--title"));
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
    if (names && !all)
        return usage(QStringLiteral("--names names the files of --all"));
    QSize size;
    if (!ParseSize(sizeText, &size))
        return usage(QStringLiteral("--size wants WIDTHxHEIGHT, each 16..20000: ") + sizeText);
    bool ok = false;
    const int dpi = dpiText.toInt(&ok);
    if (!ok || dpi < 24 || dpi > 2400)
        return usage(QStringLiteral("--dpi wants a number from 24 to 2400: ") + dpiText);
    // The title band comes off the picture's height, so the file keeps the size asked for.
    const int band = title ? TitleBandHeight(dpi) : 0;
    if (size.height() - band < 16)
        return usage(QStringLiteral("--size leaves no room for the map under the title: ") + sizeText);
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
    const TxRect client{0, 0, size.width(), size.height() - band};
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
    std::set<QString> usedParts;
    for (int c : ready ? columns : std::vector<int>()) {
        QImage picture;
        // A name that gives no file name part, or one already used, is told apart by the index.
        QString part = names ? FileNamePart(doc.Column(c).name) : QString::number(c);
        if (part.isEmpty() || !usedParts.insert(part).second)
            part = (part.isEmpty() ? QString() : part + QLatin1Char('_')) + QString::number(c);
        usedParts.insert(part);
        const QString path = all ? ColumnFileName(out, part) : out;
        if (!doc.Maps().CopyPicture(c, &picture) || picture.isNull()) {
            ctx.err << files[0] << ": no map picture for column " << c << "\n";
            status = CliRefused;
            continue;
        }
        if (title)
            picture = WithTitleBand(picture, doc.Column(c).name, band, dpi);
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

const CliRegistration reg("render",
                          "render FILE [--column N | --all [--names]] [--title] [--size WxH] [--dpi D] [--mode M] "
                          "--out F.png",
                          "Draw the map of a column (or of every enabled column, the column index "
                          "added to the file name, or with --names the column name made safe for "
                          "file names) into a PNG picture; --title draws the column name above the "
                          "map; --mode draws it in another map mode (0 Normal, 1 Color Map, 2 Image, "
                          "3 Image + Color Map).",
                          Render);

}  // namespace
