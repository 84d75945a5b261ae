// Malformed and extreme documents that once hung or crashed the tool: each must be refused with a
// message or answered, promptly.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cctype>
#include <cmath>
#include <functional>

#include "CliRunner.h"
#include "cli/CliCommand.h"
#include "document/DocStrings.h"
#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "workers/ContourMapThread.h"
#include "workers/WorkerStrings.h"
#include "util/StringTable.h"

namespace {

struct FindingCase {
    const char* name;     // file under tests/data/findings, without ".Tsrix"
    const char* command;
    int status;
    const char* message;  // the start of standard error; empty: nothing is said
};

class FindingsTest : public ::testing::TestWithParam<FindingCase> {};

TEST_P(FindingsTest, RefusedOrAnsweredPromptly)
{
    const FindingCase& c = GetParam();
    const QString path = QStringLiteral(TESSARIX_TEST_DATA_DIR "/findings/%1.Tsrix").arg(QString::fromLatin1(c.name));
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    const auto start = std::chrono::steady_clock::now();
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("map.png"));
    QStringList args{QString::fromLatin1(c.command), path};
    if (QLatin1String(c.command) == QLatin1String("render"))
        args << QStringLiteral("--out") << png;
    const CliRun r = RunTool(args);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    // The drawing's warnings come after the picture's name.
    const QString err = r.err.startsWith(png + QStringLiteral(": ")) ? r.err.mid(png.size() + 2) : r.err;
    if (*c.message)
        EXPECT_TRUE(err.startsWith(QString::fromLatin1(c.message))) << r.err.toStdString();
    else
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

// Every document of the findings, through the reader (`info`, `contours`) and the drawing
// (`render`): values no program writes are refused naming the field; grid counts far beyond the
// Grid Setting dialog's 1000 likewise; axes a survey may hold with more ticks than an axis draws
// are answered with a warning; a position far outside the axes is drawn as nothing.
INSTANTIATE_TEST_SUITE_P(
    Documents, FindingsTest,
    ::testing::Values(
        FindingCase{"doc01-crash-render", "render", CliRefused, "Unexpected file format.\nThe settings' Y axis stop is out of range."},
        FindingCase{"doc02-crash-render", "render", CliOk, "WARNING! The position or value of point 76 is not a number"},
        FindingCase{"doc02-crash-render", "info", CliOk, ""},
        FindingCase{"doc03-hang-contours", "contours", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"doc04-crash-info", "info", CliRefused, "Unexpected file format.\nThe settings' pen width is out of range."},
        FindingCase{"doc05-crash-render", "render", CliOk, "WARNING! The surface misses point 12 by"},
        FindingCase{"doc05-crash-render", "info", CliOk, ""},
        FindingCase{"doc06-crash-info", "info", CliRefused, "Unexpected file format.\nThe settings' font height, weight or angle is out of range."},
        FindingCase{"doc07-crash-info", "info", CliRefused, "Unexpected file format.\nThe settings' pen width is out of range."},
        FindingCase{"doc08-crash-render", "render", CliRefused, "Unexpected file format.\nThe settings' Y axis step is out of range."},
        FindingCase{"doc09-crash-info", "info", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"hang_gridcountx_65535", "info", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"hang_gridcountx_65535", "contours", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"ub_gridcounty_intmax", "info", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"ub_gridcounty_intmax", "contours", CliRefused, "Unexpected file format.\nThe settings' interpolation grid count is out of range."},
        FindingCase{"hang_zaxis_stop_3.4e38", "info", CliRefused, "Unexpected file format.\nThe settings' color axis stop is out of range."},
        FindingCase{"hang_zaxis_stop_3.4e38", "contours", CliRefused, "Unexpected file format.\nThe settings' color axis stop is out of range."},
        FindingCase{"hang_xaxis_start_3.4e38", "info", CliRefused, "Unexpected file format.\nThe settings' X axis start is out of range."},
        FindingCase{"hang_xaxis_step_1e-30", "info", CliOk, "WARNING! The X axis step 1e-30 "},
        FindingCase{"hang_xaxis_step_1e-30", "contours", CliOk, ""},
        FindingCase{"hang_xaxis_step_1e-30", "render", CliOk, "WARNING! The X axis step 1e-30 "},
        FindingCase{"hang_xaxis_start_16000006_step_0.1", "info", CliOk, "WARNING! The X axis step 0.1 "},
        FindingCase{"hang_xaxis_start_16000006_step_0.1", "render", CliOk, "WARNING! The X axis step 0.1 "},
        FindingCase{"hang_yaxis_stop_1e10", "info", CliOk, "WARNING! The Y axis step 0.1 "},
        FindingCase{"hang_yaxis_stop_1e10", "render", CliOk, "WARNING! The Y axis step 0.1 "},
        FindingCase{"ub_borderpen_width", "render", CliRefused, "Unexpected file format.\nThe settings' pen width is out of range."},
        FindingCase{"ub_borderpen_width_negative", "render", CliRefused, "Unexpected file format.\nThe settings' pen width is out of range."},
        FindingCase{"ub_kwfont_abs_intmin", "info", CliRefused, "Unexpected file format.\nThe settings' font height, weight or angle is out of range."},
        FindingCase{"ub_maplayout_nan_axis", "render", CliRefused, "Unexpected file format.\nThe settings' Y axis stop is out of range."},
        FindingCase{"ub_point_far_outside_axis", "render", CliOk, ""},
        FindingCase{"ub_point_far_outside_axis", "info", CliOk, ""},
        FindingCase{"ub_symbol_intmax", "render", CliRefused, "Unexpected file format.\nThe settings' position symbol is out of range."}),
    [](const auto& info) {
        std::string name = std::string(info.param.name) + "_" + info.param.command;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// A document of a few measurements, saved for the tool to open.
QString SaveDocument(const QTemporaryDir& dir, const char* name, const std::function<void(CTessarixDoc&)>& change)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    CTessarixDoc doc;
    doc.OnNewDocument();
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < 8; ++k) {
        x.push_back(0.5f + 0.3f * std::cos(0.8f * float(k)));
        y.push_back(0.5f + 0.3f * std::sin(0.8f * float(k)));
        values[0].push_back(3.05e7f + 1000.0f * float(k));
    }
    doc.SetPointTable(8, x, y, values);
    change(doc);
    EXPECT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
    return path;
}

// Z axis 3e7..3.1e7 with step 0.3 made `info` and `contours` run forever.
TEST(CliTinyStep, TinyStepIsRefusedNotLooped)
{
    QTemporaryDir dir;
    const QString path = SaveDocument(dir, "tiny.Tsrix", [](CTessarixDoc& doc) {
        doc.Settings().zAxis.start = 3e7f;
        doc.Settings().zAxis.stop = 3.1e7f;
        doc.Settings().zAxis.step = 0.3f;
    });
    const QString warning = LevelRefusalText(0.3f, 3e7f, 3.1e7f);
    const CliRun info = RunTool({QStringLiteral("info"), path});
    EXPECT_EQ(info.status, CliOk);
    EXPECT_EQ(info.err.trimmed(), warning);
    const CliRun contours = RunTool({QStringLiteral("contours"), path});
    EXPECT_EQ(contours.status, CliRefused);
    EXPECT_EQ(contours.err.trimmed(), warning);
}

// Two measurements at one position: `contours` said nothing useful; it now names the points.
TEST(CliCoincidingPoints, ContoursAndRenderNameTheTwoPoints)
{
    QTemporaryDir dir;
    const QString path = SaveDocument(dir, "twins.Tsrix", [](CTessarixDoc& doc) {
        CTXFloatArray x = doc.X(), y = doc.Y();
        std::array<CTXFloatArray, kColumnCount> values;
        values[0] = doc.Column(0).values;
        x[6] = x[1];
        y[6] = y[1];
        doc.SetPointTable(8, x, y, values);
    });
    const QString warning = TxFormat(IDS_WARN_POINTS_COINCIDE, QStringLiteral("2"), QStringLiteral("7"));
    const CliRun r = RunTool({QStringLiteral("contours"), path});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_EQ(r.err.trimmed(), warning);
    // The picture is drawn with the warning in place of the map, and the warning is said too.
    const QString png = dir.filePath(QStringLiteral("twins.png"));
    const CliRun render = RunTool({QStringLiteral("render"), path, QStringLiteral("--out"), png});
    EXPECT_EQ(render.status, CliOk);
    EXPECT_EQ(render.err.trimmed(), png + QStringLiteral(": ") + warning);
    EXPECT_TRUE(QFileInfo::exists(png));
}

// 12,000 points: `info` and `table` need no map and answer at once; a map of them is refused
// before its 1 GB system is allocated, and the refusal says why.
TEST(CliManyPoints, InfoAndTableAnswerAtOnceAndTheMapIsRefused)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("grid12000.Tsrix"));
    const CliRun import = RunTool({QStringLiteral("import"), QStringLiteral(TESSARIX_TEST_DATA_DIR "/findings/grid12000.tsv"), doc});
    ASSERT_EQ(import.status, CliOk) << import.err.toStdString();
    for (const char* command : {"info", "table"}) {
        const auto start = std::chrono::steady_clock::now();
        const CliRun r = RunTool({QString::fromLatin1(command), doc});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << command;
        EXPECT_EQ(r.status, CliOk) << command << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << command << r.err.toStdString();
    }
    const auto start = std::chrono::steady_clock::now();
    const CliRun grid = RunTool({QStringLiteral("grid"), doc, QStringLiteral("--out"), dir.filePath(QStringLiteral("g.csv"))});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(grid.status, CliRefused);
    // 12,000 measurements and the four boundary corners.
    EXPECT_EQ(grid.err.trimmed(), TxString(IDS_WARN_TOO_MANY_POINTS).arg(QStringLiteral("12004"),
                                                                          QString::number(kMaxInterpolationPoints)));
}

}  // namespace
