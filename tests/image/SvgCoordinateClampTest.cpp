// Far-away geometry of a converted metafile is pulled in to the drawing's reach; everything else,
// and every drawing without such geometry, stays byte for byte.

#include <gtest/gtest.h>

#include <string>

#include "image/SvgCoordinateClamp.h"

namespace {

struct ClampRow {
    const char* name;
    const char* svg;
    const char* expected;  // null: unchanged
};

void PrintTo(const ClampRow& row, std::ostream* os)
{
    *os << row.name;
}

class SvgClamp : public ::testing::TestWithParam<ClampRow> {};

TEST_P(SvgClamp, ClampsOnlyFarGeometry)
{
    const ClampRow& r = GetParam();
    const QByteArray out = ClampSvgCoordinates(QByteArray(r.svg));
    EXPECT_EQ(out.toStdString(), std::string(r.expected ? r.expected : r.svg));
}

// The root is 100 x 50, so the reach is 1600.
#define ROOT "<svg width=\"100.0000\" height=\"50\">"
const ClampRow kClampRows[] = {
    {"DrawingWithinReachIsUnchanged",
     ROOT "<path d=\"M 0,0 L 1600,-1600 Z\" stroke=\"#FFFFFF\" stroke-width=\"1px\"/></svg>", nullptr},
    {"FarPathPointsArePulledIn", ROOT "<path d=\"M 1.5,2 L -81164736.2646,3 L 4,9e9 Z\"/></svg>",
     ROOT "<path d=\"M 1.5,2 L -1600.0000,3 L 4,1600.0000 Z\"/></svg>"},
    {"PolygonPointsAndPositions", ROOT "<polygon points=\"0,0 20000,5\"/><text x=\"-1e12\" y=\"4\">1e12</text></svg>",
     ROOT "<polygon points=\"0,0 1600.0000,5\"/><text x=\"-1600.0000\" y=\"4\">1e12</text></svg>"},
    {"HugeFontAndStrokeAreBounded", ROOT "<text font-size=\"99999\"/><path d=\"M0,0\" stroke-width=\"5e6\"/></svg>",
     ROOT "<text font-size=\"1600.0000\"/><path d=\"M0,0\" stroke-width=\"1600.0000\"/></svg>"},
    {"ColoursIdsAndTransformsAreNotNumbers",
     ROOT "<g transform=\"translate(-99999, 0)\"><clipPath id=\"clip-1804289383\"/><path fill=\"#123456\" d=\"M 1,1\"/></g></svg>",
     nullptr},
    {"RootWithoutSizeReachesSixteenThousand", "<svg><path d=\"M 15999,-16001\"/></svg>",
     "<svg><path d=\"M 15999,-16000.0000\"/></svg>"},
};
#undef ROOT

INSTANTIATE_TEST_SUITE_P(Drawings, SvgClamp, ::testing::ValuesIn(kClampRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
