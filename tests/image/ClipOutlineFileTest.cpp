// Clipping outlines read from text and GeoJSON files for the command line, and their conversion
// to picture-relative vertices.

#include <gtest/gtest.h>

#include "image/ClipOutlineFile.h"

namespace {

struct OutlineRow {
    const char* name;
    const char* text;
    std::vector<size_t> sizes;  // points per outline; empty: refused
    int errorLine = 0;
};

class ReadClipOutlinesTest : public ::testing::TestWithParam<OutlineRow> {};

TEST_P(ReadClipOutlinesTest, ReadsOrRefuses)
{
    const OutlineRow& row = GetParam();
    const ClipOutlineReadResult r = ReadClipOutlines(QByteArray(row.text));
    if (row.sizes.empty()) {
        EXPECT_FALSE(r.error.isEmpty());
        EXPECT_EQ(r.line, row.errorLine);
        return;
    }
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    ASSERT_EQ(r.outlines.size(), row.sizes.size());
    for (size_t i = 0; i < row.sizes.size(); ++i)
        EXPECT_EQ(r.outlines[i].size(), row.sizes[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadClipOutlinesTest,
    ::testing::Values(
        OutlineRow{"TwoTextOutlines", "0 0\n40 0\n40 25\n\n\n5 5\n10,5\n10;10\n# a comment\n5 10 # corner\n", {3, 4}},
        OutlineRow{"WindowsLineEnds", "0 0\r\n1 0\r\n1 1\r\n", {3}},
        OutlineRow{"ClosedTextRingLosesItsRepeat", "0 0\n4 0\n4 4\n0 0\n", {3}},
        OutlineRow{"TextOutlineOfTwoPoints", "0 0\n1 1\n\n0 0\n1 0\n1 1\n", {}, 1},
        OutlineRow{"TextNotANumber", "0 0\n1 x\n1 1\n", {}, 2},
        OutlineRow{"TextThreeNumbers", "0 0 0\n", {}, 1},
        OutlineRow{"EmptyFile", "\n\n", {}, 0},
        OutlineRow{"GeoJsonPolygonWithHole",
                   R"({"type":"Polygon","coordinates":[[[0,0],[40,0],[40,25],[0,25],[0,0]],[[5,5],[6,5],[6,6],[5,5]]]})",
                   {4, 3}},
        OutlineRow{"GeoJsonMultiPolygonInAFeatureCollection",
                   R"({"type":"FeatureCollection","features":[{"type":"Feature","geometry":
                      {"type":"MultiPolygon","coordinates":[[[[0,0],[1,0],[1,1],[0,0]]],[[[2,2],[3,2],[3,3],[2,3]]]]}}]})",
                   {3, 4}},
        OutlineRow{"GeoJsonLineStringRefused", R"({"type":"LineString","coordinates":[[0,0],[1,1],[2,0]]})", {}, 0},
        OutlineRow{"GeoJsonRingTooShort", R"({"type":"Polygon","coordinates":[[[0,0],[1,1],[0,0]]]})", {}, 0},
        OutlineRow{"GeoJsonBroken", R"({"type":"Polygon","coordinates":[[[0,0],)", {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClipOutlineFile, MapCoordinatesBecomeFractionsOfThePictureRectangle)
{
    // A picture over 10..50 across and 0..20 up.
    const ImageRect rect{10.0f, 0.0f, 50.0f, 20.0f};
    int clamped = -1;
    const auto v = ToPictureRelative({{10, 0}, {30, 5}, {50, 20}}, rect, &clamped);
    const std::vector<KW_FPOINT> expected{{0.0f, 0.0f}, {0.5f, 0.25f}, {1.0f, 1.0f}};
    EXPECT_EQ(v, expected);
    EXPECT_EQ(clamped, 0);
}

TEST(ClipOutlineFile, FlippedRectangleAndPointsBeyondThePicture)
{
    // X1 < X0 mirrors the picture: x = 0 still lies at X0.
    const ImageRect rect{50.0f, 0.0f, 10.0f, 20.0f};
    int clamped = 0;
    const auto v = ToPictureRelative({{40, 10}, {60, -5}}, rect, &clamped);
    EXPECT_EQ(v[0], (KW_FPOINT{0.25f, 0.5f}));
    EXPECT_EQ(v[1], (KW_FPOINT{0.0f, 0.0f}));
    EXPECT_EQ(clamped, 2);
}

}  // namespace
