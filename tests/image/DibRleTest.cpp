// Run-length coded bitmaps are expanded by our own loop: runs, escapes (end of line, end of
// picture, move), absolute stretches with their padding, and every way a damaged stream can
// run past its bytes or its picture.

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/TXDib.h"

namespace {

constexpr int32_t kRle8 = 1;
constexpr int32_t kRle4 = 2;

// A 40-byte header, a 16-colour table and the stream.
QByteArray RleDib(int32_t width, int32_t height, int32_t compression, const std::vector<uchar>& stream)
{
    QByteArray dib(40, '\0');
    auto put32 = [&](int offset, int32_t v) {
        v = qToLittleEndian(v);
        std::memcpy(dib.data() + offset, &v, 4);
    };
    put32(0, 40);
    put32(4, width);
    put32(8, height);
    put32(12, 1 | ((compression == kRle8 ? 8 : 4) << 16));
    put32(16, compression);
    put32(32, 16);
    for (int i = 0; i < 16; ++i) {
        const char entry[4] = {char(i), char(i), char(i), 0};
        dib.append(entry, 4);
    }
    dib.append(reinterpret_cast<const char*>(stream.data()), qsizetype(stream.size()));
    return dib;
}

// The picture's indices, top row first, one hex digit per pixel, rows separated by "/".
std::string Indices(const QImage& image)
{
    std::string out;
    for (int y = 0; y < image.height(); ++y) {
        if (y)
            out += '/';
        for (int x = 0; x < image.width(); ++x)
            out += "0123456789abcdef"[image.pixelIndex(x, y) & 0x0F];
    }
    return out;
}

struct RleRow {
    const char* name;
    int32_t compression;
    int32_t width;
    int32_t height;
    std::vector<uchar> stream;
    const char* expected;  // top row first
};

void PrintTo(const RleRow& row, std::ostream* os)
{
    *os << row.name;
}

class RleDecode : public ::testing::TestWithParam<RleRow> {};

TEST_P(RleDecode, ExpandsToTheExpectedIndices)
{
    const RleRow& r = GetParam();
    const QByteArray dib = RleDib(r.width, r.height, r.compression, r.stream);
    CTXDibInfo info;
    ASSERT_TRUE(ParseDib(dib, &info));
    const QImage image = DibToImage(dib, info);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Indices(image), r.expected);
}

const RleRow kRleRows[] = {
    {"Rle8RunsFillRowsBottomUp", kRle8, 4, 2, {4, 1, 0, 0, 2, 2, 2, 3, 0, 1}, "2233/1111"},
    {"Rle8AbsoluteOddCountSkipsItsPadByte", kRle8, 4, 2, {0, 3, 5, 6, 7, 0, 1, 9, 0, 0, 4, 1, 0, 1}, "1111/5679"},
    {"Rle8MoveSkipsPixelsAndRows", kRle8, 4, 3, {0, 2, 2, 1, 1, 8, 0, 0, 1, 7, 0, 1}, "7000/0080/0000"},
    {"Rle8RunLongerThanTheRowIsCut", kRle8, 3, 1, {200, 4, 0, 1}, "444"},
    {"Rle8StreamEndingInsideAPairLeavesTheRest", kRle8, 3, 2, {2, 6, 9}, "000/660"},
    {"Rle8AbsoluteStretchPastTheBytesStops", kRle8, 3, 1, {1, 3, 0, 9, 1, 2}, "300"},
    {"Rle8MovePastTheTopStops", kRle8, 2, 2, {1, 5, 0, 2, 0, 250, 1, 6}, "00/50"},
    {"Rle8MoveFarRightWritesNothing", kRle8, 2, 1, {0, 2, 255, 0, 3, 7, 0, 1}, "00"},
    {"Rle8MissingEndStillDecodes", kRle8, 2, 1, {2, 3}, "33"},
    {"Rle4RunAlternatesTheNibbles", kRle4, 5, 1, {5, 0x12, 0, 1}, "12121"},
    {"Rle4AbsoluteThreePixelsSkipsPadding", kRle4, 4, 2, {0, 3, 0xab, 0xc0, 0, 0, 4, 0x55, 0, 1}, "5555/abc0"},
};

INSTANTIATE_TEST_SUITE_P(Streams, RleDecode, ::testing::ValuesIn(kRleRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
