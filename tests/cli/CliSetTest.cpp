// tessarix-cli set: the properties pane's names and apply rules from the command line. A refused
// pair (unknown key, bad value, unreadable colour scale) writes no output file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "cli/CliCommand.h"
#include "colors/KWColorScale.h"
#include "document/TessarixDoc.h"

namespace {

class CliSetTest : public ::testing::Test {
protected:
    CliSetTest() { EXPECT_EQ(RunTool({QStringLiteral("new"), In()}).status, CliOk); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString In() const { return Path("in.Tsrix"); }
    QString Out() const { return Path("out.Tsrix"); }
    CliRun Set(const QStringList& pairs) const
    {
        return RunTool(QStringList{QStringLiteral("set"), In()} + pairs + QStringList{QStringLiteral("--out"), Out()});
    }
    CTessarixSettings Result() const
    {
        CTessarixDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(Out()), DocFileStatus::Ok);
        return doc.Settings();
    }
    QTemporaryDir dir;
};

TEST_F(CliSetTest, AxisRangesLabelsScaleModeAndValueOptionsBySpacedOrCompactNames)
{
    const CliRun run = Set({QStringLiteral("XAxis.Start=0.6"), QStringLiteral("X Axis.Stop=4.6"),
                            QStringLiteral("xaxis.step=0.5"), QStringLiteral("Y Axis.Label=North (m)"),
                            QStringLiteral("ZAxis.ScaleMode=Fixed Amplitude from Max Level"),
                            QStringLiteral("ZAxis.FixedAmplitude=30"), QStringLiteral("ContourLabels.Label distance=80"),
                            QStringLiteral("MeasurementPositions.ShowValueAtPositions=True"),
                            QStringLiteral("MeasurementPositions.RelativePosition=Down - Right"),
                            QStringLiteral("MeasurementPositions.Font=DejaVu Sans,11,bold,#FF0000"),
                            QStringLiteral("General.BorderPen=Dash,1,#0000FF"), QStringLiteral("General.GraphColor=Default")});
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    const CTessarixSettings s = Result();
    EXPECT_EQ(s.xAxis.start, 0.6f);
    EXPECT_EQ(s.xAxis.stop, 4.6f);
    EXPECT_EQ(s.xAxis.step, 0.5f);
    EXPECT_EQ(s.yAxis.label, QStringLiteral("North (m)"));
    EXPECT_EQ(s.scaleMode, ScaleFixedAmplitude);
    EXPECT_EQ(s.fixedAmplitude, 30.0f);
    EXPECT_EQ(s.labelDistance, 80);
    EXPECT_EQ(s.showValues, 1);
    EXPECT_EQ(s.relativePosition, 5);
    EXPECT_STREQ(s.valueFont.Face(), "DejaVu Sans");
    EXPECT_EQ(s.valueFont.height, 110);
    EXPECT_EQ(s.valueFont.weight, 700);
    EXPECT_EQ(s.valueFontColor, 0x0000FFu) << "#FF0000 is red, stored 0x00BBGGRR";
    EXPECT_EQ(s.borderPen, (PenRecord{PenDash, 1, 0, 0xFF0000}));
    EXPECT_EQ(s.graphColor, 0xF0F0F0u);
}

TEST_F(CliSetTest, ColourScaleComesFromACscFileWithItsStopsAndTheColourAxisRange)
{
    CKWColorScale hot;
    hot.SetItems({{0.0f, 0x000000}, {0.5f, 0x0000FF}, {1.0f, 0x00FFFF}});
    hot.SetRange(-5.0f, 5.0f);
    ASSERT_EQ(hot.SaveFile(Path("hot.csc")), FileWriteStatus::Ok);
    const CliRun run = Set({QStringLiteral("ColorScale.Scale=") + Path("hot.csc")});
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    const CTessarixSettings s = Result();
    EXPECT_EQ(s.colorScale.Items(), hot.Items());
    EXPECT_EQ(s.colorScale.Low(), s.zAxis.start) << "the scale spans the colour axis, not the file's range";
}

struct RefusalCase {
    const char* name;
    const char* pair;
    int status;
    const char* message;  // part of the error text
};

class CliSetRefusal : public CliSetTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CliSetRefusal, RefusesWithAClearMessageAndWritesNothing)
{
    // A good pair first: nothing at all may be written when a later one is refused.
    const CliRun run = Set({QStringLiteral("XAxis.Start=2"), QString::fromUtf8(GetParam().pair)});
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(GetParam().message))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Out()));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CliSetRefusal,
    ::testing::Values(
        RefusalCase{"UnknownKey", "XAxis.Colour=#000000", CliUsage, "Unknown property \"XAxis.Colour\""},
        RefusalCase{"UnknownKeyListsTheKeys", "Start=1", CliUsage, "ZAxis.FixedAmplitude"},
        RefusalCase{"NoEquals", "XAxis.Start", CliUsage, "is not KEY=VALUE"},
        RefusalCase{"BadReal", "XAxis.Stop=four", CliRefused, "Invalid value \"four\" for XAxis.Stop"},
        RefusalCase{"BadChoiceListsTheChoices", "ZAxis.ScaleMode=Log", CliRefused,
                    "Normal | Fixed Amplitude from Max Level"},
        RefusalCase{"BadBoolean", "XAxis.Hidden=sometimes", CliRefused, "True | False"},
        RefusalCase{"BadPenShowsTheForm", "General.DefaultPen=thick", CliRefused, "\"Solid,1,#000000\""},
        RefusalCase{"MissingScaleFile", "ColorScale.Scale=/nonexistent/none.csc", CliRefused, "not a color scale file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliSetTest, MissingOutIsWrongUsage)
{
    const CliRun run = RunTool({QStringLiteral("set"), In(), QStringLiteral("XAxis.Start=1")});
    EXPECT_EQ(run.status, CliUsage);
    EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tessarix-cli set")));
}

}  // namespace
