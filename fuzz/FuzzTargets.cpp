#include "FuzzTargets.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "colors/KWColorScale.h"
#include "dataentry/RecalcXYModel.h"
#include "dataentry/TableTextParser.h"
#include "dataentry/TableToDocument.h"
#include "dataentry/TextTableReader.h"
#include "document/TessarixDoc.h"
#include "image/TXImage.h"
#include "util/Archive.h"
#include "util/KWProfileStore.h"
#include "workers/BatchMapRun.h"

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
        std::abort();
    }
}

QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A document that reads is written and read again; the second writing must equal the first
// (values clamped on the first read are stable afterwards).
void FuzzDocument(const uint8_t* data, size_t size)
{
    CTessarixDoc doc;
    if (doc.ReadFileBytes(Bytes(data, size)) != DocFileStatus::Ok)
        return;
    const QByteArray first = doc.WriteFileBytes();
    CTessarixDoc again;
    Require(again.ReadFileBytes(first) == DocFileStatus::Ok, "a written document reads back");
    Require(again.WriteFileBytes() == first, "a read-back document writes the same bytes");
}

// Small documents go the whole way: every enabled column is interpolated, traced and drawn by
// the program's own workers. Large ones would only make the fuzzer slow, not find more.
void FuzzDocumentMaps(const uint8_t* data, size_t size)
{
    constexpr int kMaxPoints = 60;
    constexpr int kMaxGridNodes = 60 * 60;
    const QByteArray bytes = Bytes(data, size);
    {
        CTessarixDoc probe;
        if (probe.ReadFileBytes(bytes) != DocFileStatus::Ok)
            return;
        const CTessarixSettings& s = probe.Settings();
        if (probe.PointCount() > kMaxPoints || qint64(s.gridCountX) * s.gridCountY > kMaxGridNodes)
            return;
        if (probe.EnabledColumnIndices().empty())
            return;
    }
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.Tsrix"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return;
    f.close();
    CTessarixDoc probe;
    probe.ReadFileBytes(bytes);
    const int column = probe.EnabledColumnIndices().front();
    CBatchMapRun run(column);
    run.OpenAndCompute(path, column);
}

void FuzzColorScale(const uint8_t* data, size_t size)
{
    CKWColorScale scale;
    try {
        CTXArchive in(reinterpret_cast<const char*>(data), qsizetype(size));
        scale.Serialize(in);
    } catch (const CTXArchiveError&) {
        return;
    }
    QByteArray out;
    CTXArchive writer(&out);
    scale.Serialize(writer);
    CKWColorScale again;
    CTXArchive reader(out);
    again.Serialize(reader);
    Require(again == scale, "a colour scale reads back as written");
}

// The picture is imported as the chosen kind and, when accepted, drawn and described.
template <int32_t Kind>
void FuzzPicture(const uint8_t* data, size_t size)
{
    CTXImage picture;
    if (!picture.ImportFileBytes(Bytes(data, size), Kind, QStringLiteral("fuzz")))
        return;
    (void)picture.DecodedInfo();
    QImage target(64, 48, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    picture.DrawInto(painter, QRectF(2, 2, 60, 44));
}

// The clipboard text a grid paste reads: the first two bytes choose the block's shape.
void FuzzPasteText(const uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    const int rows = data[0] % 40 + 1;
    const int columns = data[1] % 14 + 1;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    for (const ExchangeLocale& locale : {ExchangeLocale{}, ExchangeLocale{QStringLiteral(","), QStringLiteral(";")}}) {
        const PasteBlock block = ParsePasteBlock(text, rows, columns, locale);
        if (block.status == PasteStatus::Ok)
            Require(block.values.size() == size_t(block.rows) * size_t(block.columns),
                    "a pasted block holds rows x columns values");
        (void)block.Message();
    }
}

// Text and DIF tables as the import and the clipboard read them, applied to a document.
void FuzzTable(const uint8_t* data, size_t size)
{
    TextTable table;
    TextTableError error;
    if (!ReadTextTableBytes(Bytes(data, size), 12, &table, &error))
        return;
    Require(table.x.size() == table.y.size(), "a table has as many x as y");
    CTessarixDoc doc;
    ApplyTextTable(doc, table);
    const QByteArray written = doc.WriteFileBytes();
    CTessarixDoc again;
    Require(again.ReadFileBytes(written) == DocFileStatus::Ok, "an imported table saves readably");
}

// The profile is an INI file the user (or another program) may have edited.
void FuzzProfile(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("profile.ini"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    f.close();
    CKWProfileStore store(std::make_unique<QSettings>(path, QSettings::IniFormat));
    const RecalcXYLayout layout = LoadRecalcXYLayout(store);
    int width = 0;
    int height = 0;
    LoadRecalcXYWindowSize(store, 400, 300, &width, &height);
    constexpr int kPoints = 30;
    const RecalcXYPlacement placement = PlaceRecalcXYPoints(layout, kPoints);
    (void)RecalcXYOkQuestion(layout, kPoints);
    const RecalcXYPreview preview = ComputeRecalcXYPreview(layout, placement, QRectF(0, 0, 200, 150));
    QImage target(200, 150, QImage::Format_RGB32);
    QPainter painter(&target);
    DrawRecalcXYPreview(painter, preview, 8, 96);
}

const std::vector<FuzzTarget> kTargets = {
    {"document", &FuzzDocument, "samples/*.Tsrix tests/data/*.Tsrix ../shared/findings/*.Tsrix"},
    {"document_maps", &FuzzDocumentMaps, "samples/*.Tsrix tests/data/*.Tsrix ../shared/findings/*.Tsrix"},
    {"colorscale", &FuzzColorScale, "tests/data/fuzz/colorscale/*"},
    {"bmp", &FuzzPicture<CTXImage::Bitmap>, "../shared/samples/*.bmp tests/data/*.bmp"},
    {"tiff", &FuzzPicture<CTXImage::Tiff>, "../shared/samples/*.tif tests/data/*.tif"},
    {"jpeg", &FuzzPicture<CTXImage::Jpeg>, "../shared/samples/*.jpg tests/data/*.jpg"},
    {"emf", &FuzzPicture<CTXImage::Metafile>, "../shared/samples/*.emf tests/data/*.emf"},
    {"wmf", &FuzzPicture<CTXImage::Metafile>, "../shared/samples/*.wmf tests/data/*.wmf"},
    {"paste", &FuzzPasteText, "tests/data/fuzz/paste/*"},
    {"table", &FuzzTable, "../shared/samples/*.tsv ../shared/samples/*.csv ../shared/samples/*.dif ../shared/findings/*.tsv ../shared/findings/*.csv tests/data/*.tsv tests/data/*.csv"},
    {"profile", &FuzzProfile, "tests/data/fuzz/profile/*"},
};

}  // namespace

const std::vector<FuzzTarget>& FuzzTargets()
{
    return kTargets;
}

const FuzzTarget* FindFuzzTarget(const char* name)
{
    for (const FuzzTarget& t : kTargets)
        if (name && std::strcmp(t.name, name) == 0)
            return &t;
    return nullptr;
}
