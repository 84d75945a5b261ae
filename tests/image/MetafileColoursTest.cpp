// The Windows and the enhanced metafile of the same site plan draw the same picture: the colours
// of their renderings agree region by region, so filled shapes keep their brush colours.

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "image/TXImage.h"
#include "image/TXImageDecoders.h"

namespace {

QString SharedDir()
{
    const QByteArray env = qgetenv("TESSARIX_SHARED_SAMPLES_DIR");
    return env.isEmpty() ? QStringLiteral(TESSARIX_SHARED_SAMPLES_DIR) : QString::fromLocal8Bit(env);
}

// The plan is 400 x 250 mm; one pixel per half millimetre.
constexpr int kWidth = 800;
constexpr int kHeight = 500;

QImage Render(const QString& name)
{
    CTXImage image;
    if (!image.Import(QDir(SharedDir()).filePath(name), CTXImage::Metafile))
        return {};
    QImage out(kWidth, kHeight, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    image.DrawInto(p, QRectF(0, 0, kWidth, kHeight));
    p.end();
    const QByteArray dump = qgetenv("TESSARIX_DUMP_METAFILE_RENDERINGS");
    if (!dump.isEmpty())
        out.save(QDir(QString::fromLocal8Bit(dump)).filePath(name + QStringLiteral(".png")));
    return out;
}

QColor MeanColour(const QImage& image, const QRect& region)
{
    long long r = 0, g = 0, b = 0, n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
            ++n;
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

int Distance(const QColor& a, const QColor& b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

}  // namespace

TEST(MetafileColours, WindowsMetafileFillsMatchEnhancedRegionByRegion)
{
    if (!QDir(SharedDir()).exists(QStringLiteral("wmf_floorplan_placeable.wmf")))
        GTEST_SKIP() << "no shared samples in " << SharedDir().toStdString();
    const QImage wmf = Render(QStringLiteral("wmf_floorplan_placeable.wmf"));
    const QImage emf = Render(QStringLiteral("emf_floorplan_400x250mm.emf"));
    ASSERT_FALSE(wmf.isNull());
    ASSERT_FALSE(emf.isNull());
    // 1 m x 1 m regions of the 40 m x 25 m hall drawn at 10 mm per metre.
    constexpr int kRegion = 20;
    // Text and hairlines are drawn by different converters and fonts; fills must agree closely.
    constexpr int kTolerance = 24;
    int compared = 0, differing = 0, colouredInEmf = 0, blackInWmf = 0;
    for (int y = 0; y + kRegion <= kHeight; y += kRegion)
        for (int x = 0; x + kRegion <= kWidth; x += kRegion) {
            const QRect region(x, y, kRegion, kRegion);
            const QColor a = MeanColour(wmf, region);
            const QColor b = MeanColour(emf, region);
            ++compared;
            if (Distance(a, b) > kTolerance)
                ++differing;
            // A region that the enhanced metafile shows in a clear colour must not be dark.
            if (b.hsvSaturation() > 60 && b.value() > 120) {
                ++colouredInEmf;
                if (a.value() < 60)
                    ++blackInWmf;
            }
        }
    EXPECT_GT(colouredInEmf, 20);
    EXPECT_EQ(blackInWmf, 0);
    EXPECT_LE(differing * 20, compared) << differing << " of " << compared << " regions differ";
}

namespace {

struct OutlineRow {
    const char* name;
    const char* in;
    const char* out;
};

class UnfilledOutlines : public ::testing::TestWithParam<OutlineRow> {};

}  // namespace

TEST_P(UnfilledOutlines, OnlyElementsWithoutAFillGetNone)
{
    EXPECT_EQ(WithUnfilledOutlines(GetParam().in), QByteArray(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Svg, UnfilledOutlines,
    ::testing::Values(
        OutlineRow{"PolylineStrokeOnly", "<polyline points=\"1,2 3,4\"\n\tstyle=\"stroke:black\" />",
                   "<polyline points=\"1,2 3,4\"\n\tstyle=\"fill:none; stroke:black\" />"},
        OutlineRow{"FillOpacityIsNoFill", "<path d=\"M0,0\" style=\"fill-opacity:1.0; fill-rule:evenodd\"/>",
                   "<path d=\"M0,0\" style=\"fill:none; fill-opacity:1.0; fill-rule:evenodd\"/>"},
        OutlineRow{"StatedFillKept", "<path d=\"M0,0\" style=\"fill-rule:evenodd; fill:tan; stroke:none\"/>",
                   "<path d=\"M0,0\" style=\"fill-rule:evenodd; fill:tan; stroke:none\"/>"},
        OutlineRow{"NoStyleGetsOne", "<polyline points=\"1,2\"/>", "<polyline style=\"fill:none\" points=\"1,2\"/>"},
        OutlineRow{"PolygonUntouched", "<polygon points=\"1,2\" style=\"stroke:red\"/>",
                   "<polygon points=\"1,2\" style=\"stroke:red\"/>"},
        OutlineRow{"TextUntouched", "<text style=\"font-size:3\">polyline</text>",
                   "<text style=\"font-size:3\">polyline</text>"}),
    [](const ::testing::TestParamInfo<OutlineRow>& info) { return std::string(info.param.name); });

namespace {

struct ColourRow {
    const char* name;
    const char* in;
    const char* out;
};

class ExactColours : public ::testing::TestWithParam<ColourRow> {};

// Brushes: a pale blue (named "lightsteelblue") and two greys that both come to "black";
// one pen colour; one text colour.
WmfColours SampleColours()
{
    WmfColours c;
    c.fills = {qRgb(158, 197, 232), qRgb(32, 32, 32), qRgb(0, 0, 0)};
    c.strokes = {qRgb(32, 48, 64)};
    c.texts = {qRgb(16, 32, 64)};
    return c;
}

}  // namespace

TEST_P(ExactColours, NamedColoursBecomeTheMetafilesOwn)
{
    EXPECT_EQ(WithExactColours(GetParam().in, SampleColours()), QByteArray(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Svg, ExactColours,
    ::testing::Values(
        ColourRow{"UniqueFill", "<path style=\"fill-rule:evenodd; fill:lightsteelblue; stroke:none\"/>",
                  "<path style=\"fill-rule:evenodd; fill:#9ec5e8; stroke:none\"/>"},
        ColourRow{"SharedNameKept", "<path style=\"fill:black\"/>", "<path style=\"fill:black\"/>"},
        ColourRow{"StrokeFromPens", "<polyline style=\"fill:none; stroke:darkslategray\"/>",
                  "<polyline style=\"fill:none; stroke:#203040\"/>"},
        ColourRow{"TextFromTextColours", "<text x=\"0\" style=\"font-size:3; fill:darkslategray\">Press</text>",
                  "<text x=\"0\" style=\"font-size:3; fill:#102040\">Press</text>"},
        ColourRow{"NameOfNoColourKept", "<path style=\"fill:orchid\"/>", "<path style=\"fill:orchid\"/>"},
        ColourRow{"TextContentUntouched", "<text style=\"fill:white\">fill:lightsteelblue</text>",
                  "<text style=\"fill:white\">fill:lightsteelblue</text>"}),
    [](const ::testing::TestParamInfo<ColourRow>& info) { return std::string(info.param.name); });

TEST(MetafileColours, RecordsGiveBrushPenAndTextColours)
{
    QByteArray wmf;
    auto put16 = [&wmf](uint16_t v) { wmf.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(uint16_t(v & 0xffff)); put16(uint16_t(v >> 16)); };
    // Header: memory metafile, 9 header words, version 0x300, size, objects, largest record.
    put16(1), put16(9), put16(0x300), put32(0), put16(2), put32(8), put16(0);
    put32(7), put16(0x02FC), put16(0), put32(0x00E8C59E), put16(0);            // brush, BGR in a COLORREF
    put32(8), put16(0x02FA), put16(0), put32(1), put32(0x00403020);             // pen
    put32(5), put16(0x0209), put32(0x00402010);                                  // text colour
    put32(7), put16(0x02FC), put16(0), put32(0x00E8C59E), put16(0);            // the same brush again
    put32(3), put16(0);                                                          // end
    const WmfColours c = WindowsMetafileColours(wmf);
    EXPECT_EQ(c.fills, QList<QRgb>{qRgb(158, 197, 232)});
    EXPECT_EQ(c.strokes, QList<QRgb>{qRgb(32, 48, 64)});
    EXPECT_EQ(c.texts, QList<QRgb>{qRgb(16, 32, 64)});
}
