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

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "cli/CliDocument.h"
#include "cli/CliPictureWriter.h"
#include "document/TessarixDoc.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"
#include "util/PhaseTimes.h"

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

QString RenderTimingsTable(const std::array<double, kRenderStepCount>& stepSeconds)
{
    QString table = QStringLiteral("phase (summed over threads)   calls   wall s    cpu s\n");
    for (int p = 0; p < int(MapPhase::Count); ++p) {
        const PhaseTotal t = PhaseTimes::Total(MapPhase(p));
        table += QString::asprintf("%-28s %6lld %8.3f %8.3f\n", PhaseTimes::Name(MapPhase(p)), (long long)t.calls,
                                   t.wallSeconds, t.cpuSeconds);
    }
    static const char* const kStepNames[kRenderStepCount] = {"open document", "maps requested to all ready",
                                                             "writing after the last map"};
    double total = 0.0;
    table += QStringLiteral("step (elapsed)                        wall s\n");
    for (int k = 0; k < kRenderStepCount; ++k) {
        table += QString::asprintf("%-35s %8.3f\n", kStepNames[k], stepSeconds[size_t(k)]);
        total += stepSeconds[size_t(k)];
    }
    table += QString::asprintf("%-35s %8.3f\n", "total", total);
    return table;
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

// The file of every column, named in column order: `out` itself for one column, otherwise with
// the column index (or with `names` its name) added.
std::vector<QString> ColumnFilePaths(const CTessarixDoc& doc, const std::vector<int>& columns, const QString& out,
                                     bool all, bool names)
{
    std::vector<QString> paths;
    std::set<QString> usedParts;
    for (int c : columns) {
        // A name that gives no file name part, or one already used, is told apart by the index.
        QString part = names ? FileNamePart(doc.Column(c).name) : QString::number(c);
        if (part.isEmpty() || !usedParts.insert(part).second)
            part = (part.isEmpty() ? QString() : part + QLatin1Char('_')) + QString::number(c);
        usedParts.insert(part);
        paths.push_back(all ? ColumnFileName(out, part) : out);
    }
    return paths;
}

// The elapsed time of each step of the command, for --timings.
class RenderClock {
public:
    void Lap(RenderStep step)
    {
        const auto now = std::chrono::steady_clock::now();
        m_seconds[size_t(step)] = std::chrono::duration<double>(now - m_last).count();
        m_last = now;
    }
    const std::array<double, kRenderStepCount>& Seconds() const { return m_seconds; }

private:
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
    std::array<double, kRenderStepCount> m_seconds{};
};

// Switches the phase times on for one command and off again, whichever way it returns.
class TimingsSwitch {
public:
    explicit TimingsSwitch(bool on) : m_on(on)
    {
        if (m_on) {
            PhaseTimes::Reset();
            PhaseTimes::SetEnabled(true);
        }
    }
    ~TimingsSwitch()
    {
        if (m_on)
            PhaseTimes::SetEnabled(false);
    }

private:
    bool m_on;
};

// What became of one column's picture.
struct PictureOutcome {
    bool finished = false;    // its map was ready in time
    bool hasPicture = false;  // the map had a picture to write
    bool written = false;     // its file was written
};

// Waits for the maps of `columns` and hands each picture, through `decorate`, to writer threads as
// soon as its map is ready, so the pictures are encoded side by side and while later maps are
// still being computed; returns when all are written or the time is up. By position in `columns`.
std::vector<PictureOutcome> WriteMapsAsTheyFinish(const CMapComputationSet& maps, const CMapReadyWaiter& waiter,
                                                  const std::vector<int>& columns,
                                                  const std::vector<QString>& paths,
                                                  const std::function<QImage(int, const QImage&)>& decorate,
                                                  RenderClock& clock)
{
    constexpr int kMapTimeoutMs = 300000;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMapTimeoutMs);
    CPictureWriteQueue writer(std::min(int(columns.size()), std::max(1, int(std::thread::hardware_concurrency()))));
    std::vector<PictureOutcome> outcome(columns.size());
    std::vector<int> jobOf(columns.size(), -1);
    std::vector<int> pending = columns;
    while (!pending.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const std::vector<int> ready = waiter.TakeReady(pending, 1, int(std::max<int64_t>(0, left.count())));
        if (ready.empty())
            break;  // the rest did not finish in time
        for (int c : ready) {
            const size_t k = size_t(std::find(columns.begin(), columns.end(), c) - columns.begin());
            outcome[k].finished = true;
            QImage picture;
            if (!maps.CopyPicture(c, &picture) || picture.isNull())
                continue;
            outcome[k].hasPicture = true;
            jobOf[k] = writer.Add(decorate(c, picture), paths[k]);
        }
    }
    clock.Lap(RenderStep::Maps);
    const std::vector<bool> written = writer.Finish();
    clock.Lap(RenderStep::Writing);
    for (size_t k = 0; k < columns.size(); ++k)
        outcome[k].written = jobOf[k] >= 0 && written[size_t(jobOf[k])];
    return outcome;
}

int Render(CliContext& ctx)
{
    RenderClock clock;
    CliArgs args(ctx.args);
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const QString columnText = args.TakeOption(QStringLiteral("--column"));
    const QString sizeText = args.TakeOption(QStringLiteral("--size"), QStringLiteral("1000x800"));
    const QString dpiText = args.TakeOption(QStringLiteral("--dpi"), QStringLiteral("96"));
    const QString modeText = args.TakeOption(QStringLiteral("--mode"));
    const bool all = args.TakeFlag(QStringLiteral("--all"));
    const bool names = args.TakeFlag(QStringLiteral("--names"));
    const bool title = args.TakeFlag(QStringLiteral("--title"));
    const bool timings = args.TakeFlag(QStringLiteral("--timings"));
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

    const TimingsSwitch timed(timings);
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
    const std::vector<QString> paths = ColumnFilePaths(doc, columns, out, all, names);

    // The waiter stands in for the main window; it counts the MapReady of the requests below.
    CMapReadyWaiter waiter(columns.front());
    doc.SetNotify(&waiter);
    clock.Lap(RenderStep::Open);
    const TxRect client{0, 0, size.width(), size.height() - band};
    if (doc.ClientRect() == client)
        doc.RequestMaps(RECALC_BITMAP);
    else
        doc.OnViewSizeChanged(client);  // lays the maps out for this size and requests them

    const std::vector<PictureOutcome> outcome = WriteMapsAsTheyFinish(
        maps, waiter, columns, paths,
        [&](int c, const QImage& map) { return title ? WithTitleBand(map, doc.Column(c).name, band, dpi) : map; },
        clock);

    int status = CliOk;
    if (std::any_of(outcome.begin(), outcome.end(), [](const PictureOutcome& o) { return !o.finished; })) {
        ctx.err << files[0] << ": the map computation did not finish\n";
        status = CliRefused;
    }
    for (size_t k = 0; k < columns.size(); ++k) {
        const int c = columns[k];
        if (!outcome[k].finished)
            continue;
        if (!outcome[k].hasPicture) {
            ctx.err << files[0] << ": no map picture for column " << c << "\n";
            status = CliRefused;
            continue;
        }
        if (!outcome[k].written) {
            ctx.err << paths[k] << ": the picture could not be written\n";
            status = CliRefused;
            continue;
        }
        ctx.out << paths[k] << "\n";
        // The picture carries its warning; it is said here as well, for scripts.
        const QString warning = maps.Thread(c).WarningText();
        if (!warning.isEmpty())
            ctx.err << paths[k] << ": " << warning << "\n";
    }
    // Stop the workers before the waiter they report to goes away.
    doc.DeleteContents();
    doc.SetNotify(nullptr);
    if (timings)
        ctx.err << RenderTimingsTable(clock.Seconds());
    return status;
}

const CliRegistration reg("render",
                          "render FILE [--column N | --all [--names]] [--title] [--size WxH] [--dpi D] [--mode M] "
                          "[--timings] --out F.png",
                          "Draw the map of a column (or of every enabled column, the column index "
                          "added to the file name, or with --names the column name made safe for "
                          "file names) into a PNG picture; --title draws the column name above the "
                          "map; --mode draws it in another map mode (0 Normal, 1 Color Map, 2 Image, "
                          "3 Image + Color Map); --timings prints where the time went to the error output.",
                          Render);

}  // namespace
