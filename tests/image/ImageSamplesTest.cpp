// Every picture of the shared sample set imports with the facts its manifest gives: the sides,
// the depth the decoder must produce, pixels per metre, the colour table, probe colours; the
// metafiles with their frame. The few samples that ship with the program are checked the same
// way without the manifest, so the decoders are covered where the shared set is absent.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "image/TXImage.h"

namespace {

QString SharedDir()
{
    const QByteArray env = qgetenv("TESSARIX_SHARED_SAMPLES_DIR");
    return env.isEmpty() ? QStringLiteral(TESSARIX_SHARED_SAMPLES_DIR) : QString::fromLocal8Bit(env);
}

int32_t KindOf(const QString& name)
{
    if (name.endsWith(QLatin1String(".bmp")))
        return CTXImage::Bitmap;
    if (name.endsWith(QLatin1String(".tif")))
        return CTXImage::Tiff;
    if (name.endsWith(QLatin1String(".jpg")))
        return CTXImage::Jpeg;
    if (name.endsWith(QLatin1String(".wmf")) || name.endsWith(QLatin1String(".emf")))
        return CTXImage::Metafile;
    return CTXImage::None;
}

struct SampleRow {
    std::string id;
    QString name;
    QJsonObject expected;
    QJsonObject facts;
};

void PrintTo(const SampleRow& row, std::ostream* os)
{
    *os << row.id;
}

std::vector<SampleRow> ManifestRows()
{
    std::vector<SampleRow> rows;
    QFile f(QDir(SharedDir()).filePath(QStringLiteral("manifest.json")));
    if (f.open(QIODevice::ReadOnly)) {
        const QJsonArray files = QJsonDocument::fromJson(f.readAll()).object().value(QLatin1String("files")).toArray();
        for (const QJsonValue& v : files) {
            const QJsonObject o = v.toObject();
            const QString name = o.value(QLatin1String("name")).toString();
            if (KindOf(name) == CTXImage::None)
                continue;
            std::string id = name.toStdString();
            for (char& c : id)
                if (!std::isalnum(static_cast<unsigned char>(c)))
                    c = '_';
            rows.push_back({id, name, o.value(QLatin1String("expected")).toObject(),
                            o.value(QLatin1String("facts")).toObject()});
        }
    }
    if (rows.empty())
        rows.push_back({"manifest_not_found", {}, {}, {}});
    return rows;
}

// The depth a TIFF becomes: 24 bits, except grey at depths other than 4 and 8, which is bilevel.
int TiffDepth(const QJsonObject& expected)
{
    const int photometric = expected.value(QLatin1String("photometric")).toInt();
    const int bits = expected.value(QLatin1String("bits_per_sample")).toArray().first().toInt();
    if ((photometric == 0 || photometric == 1) && bits != 4 && bits != 8)
        return 1;
    return 24;
}

class SharedSample : public ::testing::TestWithParam<SampleRow> {};

TEST_P(SharedSample, ImportsWithTheManifestFacts)
{
    const SampleRow& row = GetParam();
    if (row.name.isEmpty())
        GTEST_SKIP() << "no manifest.json in " << SharedDir().toStdString();
    const QString path = QDir(SharedDir()).filePath(row.name);
    const int32_t kind = KindOf(row.name);
    CTXImage image;
    const bool imported = image.Import(path, kind);
    const QJsonObject& e = row.expected;

    if (kind == CTXImage::Tiff && e.value(QLatin1String("photometric")).toInt() == 4) {
        EXPECT_FALSE(imported) << "a transparency mask is not a picture";
        EXPECT_FALSE(image.HasPicture());
        return;
    }
    ASSERT_TRUE(imported);
    EXPECT_EQ(image.kind(), kind);
    EXPECT_EQ(image.sourcePath(), path);
    const CTXPictureInfo info = image.DecodedInfo();
    ASSERT_TRUE(info.decoded);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(image.data(), kind == CTXImage::Bitmap ? bytes.mid(14) : bytes);

    if (kind == CTXImage::Metafile) {
        if (row.name.endsWith(QLatin1String(".emf"))) {
            const QJsonArray frame = e.value(QLatin1String("frame_0.01mm")).toArray();
            EXPECT_TRUE(info.enhanced);
            EXPECT_EQ(info.frame, QRectF(QPointF(frame[0].toDouble(), frame[1].toDouble()),
                                         QPointF(frame[2].toDouble(), frame[3].toDouble())));
            const QJsonArray bounds = e.value(QLatin1String("bounds_device_units")).toArray();
            EXPECT_EQ(info.bounds.right(), bounds[2].toDouble());
        } else if (e.value(QLatin1String("placeable")).toBool()) {
            const QJsonArray box = e.value(QLatin1String("bbox")).toArray();
            EXPECT_EQ(info.bounds, QRectF(QPointF(box[0].toDouble(), box[1].toDouble()),
                                          QPointF(box[2].toDouble(), box[3].toDouble())));
            EXPECT_EQ(info.unitsPerInch, e.value(QLatin1String("units_per_inch")).toInt());
        }
        EXPECT_FALSE(image.DecodedSvg().isEmpty());
        EXPECT_GT(info.drawingSize.width(), 0.0);
        return;
    }

    EXPECT_EQ(info.width, e.value(QLatin1String("width")).toInt());
    EXPECT_EQ(info.height, e.value(QLatin1String("height")).toInt());
    // A field the format does not have (the core header's resolution) reads as 0.
    EXPECT_EQ(info.ppmX, e.value(QLatin1String("pixels_per_metre_x")).toInt(0));
    EXPECT_EQ(info.ppmY, e.value(QLatin1String("pixels_per_metre_y")).toInt(0));
    int depth = e.value(QLatin1String("bits_per_pixel")).toInt();
    int palette = e.value(QLatin1String("palette_size")).toInt();
    if (kind == CTXImage::Tiff) {
        depth = TiffDepth(e);
        palette = depth == 1 ? 2 : 0;
    } else if (kind == CTXImage::Jpeg) {
        palette = depth == 8 ? 256 : 0;
    }
    EXPECT_EQ(info.bitsPerPixel, depth);
    EXPECT_EQ(info.paletteSize, palette);
    EXPECT_EQ(image.Palette().size(), palette);

    const QImage bitmap = image.DecodedBitmap();
    ASSERT_EQ(bitmap.size(), QSize(info.width, info.height));
    const bool lossy = kind == CTXImage::Jpeg ||
                       row.facts.value(QLatin1String("compression")).toString().contains(QLatin1String("JPEG")) ||
                       row.name.contains(QLatin1String("jpeg"));
    const int tolerance = lossy ? 12 : 1;
    const QJsonObject probes = e.value(QLatin1String("probe_pixels")).toObject();
    for (auto it = probes.begin(); it != probes.end(); ++it) {
        const QJsonObject probe = it.value().toObject();
        const QJsonArray rgb = probe.value(QLatin1String("rgb")).toArray();
        const QRgb got = bitmap.pixel(probe.value(QLatin1String("x")).toInt(), probe.value(QLatin1String("y")).toInt());
        const int want[3] = {rgb[0].toInt(), rgb[1].toInt(), rgb[2].toInt()};
        if (depth == 1 && kind == CTXImage::Tiff) {
            // Bilevel output of a grey picture: compare with the mid-grey threshold.
            const int luma = (want[0] * 299 + want[1] * 587 + want[2] * 114) / 1000;
            EXPECT_EQ(qRed(got), luma >= 128 ? 255 : 0) << it.key().toStdString();
            continue;
        }
        EXPECT_NEAR(qRed(got), want[0], tolerance) << it.key().toStdString();
        EXPECT_NEAR(qGreen(got), want[1], tolerance) << it.key().toStdString();
        EXPECT_NEAR(qBlue(got), want[2], tolerance) << it.key().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Image, SharedSample, ::testing::ValuesIn(ManifestRows()),
                         [](const auto& info) { return info.param.id; });

// The pictures shipped in samples/pictures, with their facts written out.
struct ShippedRow {
    const char* name;
    int32_t kind;
    int width, height, bits, palette, ppmX;
};

void PrintTo(const ShippedRow& row, std::ostream* os)
{
    *os << row.name;
}


class ShippedSample : public ::testing::TestWithParam<ShippedRow> {};

TEST_P(ShippedSample, ImportsWithItsKnownFacts)
{
    const ShippedRow& row = GetParam();
    CTXImage image;
    ASSERT_TRUE(image.Import(QStringLiteral(TESSARIX_SAMPLES_DIR "/pictures/") + QLatin1String(row.name), row.kind));
    const CTXPictureInfo info = image.DecodedInfo();
    ASSERT_TRUE(info.decoded);
    if (row.kind == CTXImage::Metafile) {
        EXPECT_GT(info.frame.width(), 0.0);
        return;
    }
    EXPECT_EQ(info.width, row.width);
    EXPECT_EQ(info.height, row.height);
    EXPECT_EQ(info.bitsPerPixel, row.bits);
    EXPECT_EQ(info.paletteSize, row.palette);
    EXPECT_EQ(info.ppmX, row.ppmX);
    EXPECT_EQ(info.ppmY, row.ppmX);
}

INSTANTIATE_TEST_SUITE_P(
    Image, ShippedSample,
    ::testing::Values(ShippedRow{"bmp_1bit_640x400.bmp", CTXImage::Bitmap, 640, 400, 1, 2, 11811},
                      ShippedRow{"jpeg_gray_150dpi_640x400.jpg", CTXImage::Jpeg, 640, 400, 8, 256, 5905},
                      ShippedRow{"tiff_minblack_1bit_640x400.tif", CTXImage::Tiff, 640, 400, 1, 2, 7874},
                      ShippedRow{"emf_floorplan_400x250mm.emf", CTXImage::Metafile, 0, 0, 0, 0, 0},
                      ShippedRow{"wmf_floorplan_placeable.wmf", CTXImage::Metafile, 0, 0, 0, 0, 0}),
    [](const auto& info) {
        std::string id = info.param.name;
        for (char& c : id)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return id;
    });

}  // namespace
