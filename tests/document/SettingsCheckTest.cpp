// The range check of the settings on reading: every value that reached int arithmetic, a loop
// or an allocation unchecked is refused with the field named, or brought into range with a note.
#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <functional>
#include <limits>

#include "../support/Recorders.h"
#include "document/DocStrings.h"
#include "document/SettingsCheck.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

namespace {

std::unique_ptr<CTessarixDoc> NewDoc()
{
    auto doc = std::make_unique<CTessarixDoc>(std::make_unique<RequestRecorder>());
    doc->OnNewDocument();
    return doc;
}

// The bytes of a new document with one settings change.
QByteArray DocumentWith(const std::function<void(CTessarixSettings&)>& change)
{
    auto doc = NewDoc();
    change(doc->Settings());
    return doc->WriteFileBytes();
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct RefusedRow {
    const char* name;
    std::function<void(CTessarixSettings&)> change;
    int field;  // the field the reason names
};

class RefusedSettingsTest : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(RefusedSettingsTest, IsRefusedNamingTheField)
{
    const RefusedRow& r = GetParam();
    auto reader = NewDoc();
    EXPECT_EQ(reader->ReadFileBytes(DocumentWith(r.change)), DocFileStatus::UnexpectedFormat);
    const QString reason = TxFormat(IDS_BAD_SETTING, TxString(r.field));
    EXPECT_EQ(reader->LoadFailureReason(), reason);
    EXPECT_EQ(DocFileMessage(DocFileStatus::UnexpectedFormat, QStringLiteral("a.Tsrix"), reader->LoadFailureReason()),
              TxString(IDS_UNEXPECTED_FILE_FORMAT) + QLatin1Char('\n') + reason);
    // The refused read leaves a new document behind.
    EXPECT_EQ(reader->Settings().xAxis.step, 0.1f);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedSettingsTest,
    ::testing::Values(
        RefusedRow{"XStartNaN", [](CTessarixSettings& s) { s.xAxis.start = kNaN; }, IDS_FIELD_X_START},
        RefusedRow{"XStartFloatMax", [](CTessarixSettings& s) { s.xAxis.start = 3.4e38f; }, IDS_FIELD_X_START},
        RefusedRow{"XStepZero", [](CTessarixSettings& s) { s.xAxis.step = 0.0f; }, IDS_FIELD_X_STEP},
        RefusedRow{"XStepNegative", [](CTessarixSettings& s) { s.xAxis.step = -0.1f; }, IDS_FIELD_X_STEP},
        RefusedRow{"YStopNaN", [](CTessarixSettings& s) { s.yAxis.stop = kNaN; }, IDS_FIELD_Y_STOP},
        RefusedRow{"YStepNaN", [](CTessarixSettings& s) { s.yAxis.step = kNaN; }, IDS_FIELD_Y_STEP},
        RefusedRow{"ZStopFloatMax", [](CTessarixSettings& s) { s.zAxis.stop = 3.4e38f; }, IDS_FIELD_Z_STOP},
        RefusedRow{"ZStepInfinite", [](CTessarixSettings& s) { s.zAxis.step = kInf; }, IDS_FIELD_Z_STEP},
        RefusedRow{"FixedAmplitudeInfinite", [](CTessarixSettings& s) { s.fixedAmplitude = kInf; }, IDS_FIELD_FIXED_AMPLITUDE},
        RefusedRow{"ImageRectNaN", [](CTessarixSettings& s) { s.imageRect.x1 = kNaN; }, IDS_FIELD_IMAGE_RECT},
        RefusedRow{"ExtentBeyondBound", [](CTessarixSettings& s) { s.extent.y1 = 2e15f; }, IDS_FIELD_EXTENT},
        RefusedRow{"InterpParameterNaN", [](CTessarixSettings& s) { s.interpParameter = kNaN; }, IDS_FIELD_INTERP_PARAMETER},
        RefusedRow{"BoundaryDistanceInfinite", [](CTessarixSettings& s) { s.boundaryDistance = -kInf; }, IDS_FIELD_BOUNDARY},
        RefusedRow{"ClipVertexNaN",
                   [](CTessarixSettings& s) {
                       s.clipPoints = {{0.1f, 0.1f}, {kNaN, 0.5f}};
                       s.clipPolylines = {2};
                       s.conditioningFlags = {0};
                       s.conditioningLevels = {50.0f};
                       s.conditioningSteps = {1};
                   },
                   IDS_FIELD_CLIP_POINTS},
        RefusedRow{"ConditioningStepZero",
                   [](CTessarixSettings& s) {
                       s.clipPoints = {{0.1f, 0.1f}, {0.5f, 0.5f}};
                       s.clipPolylines = {2};
                       s.conditioningFlags = {1};
                       s.conditioningLevels = {50.0f};
                       s.conditioningSteps = {0};
                   },
                   IDS_FIELD_CONDITIONING},
        RefusedRow{"BorderPenIntMax", [](CTessarixSettings& s) { s.borderPen.width = 2147483646; }, IDS_FIELD_PEN_WIDTH},
        RefusedRow{"GridPenNegative", [](CTessarixSettings& s) { s.yAxis.gridPen.width = -2147483647; }, IDS_FIELD_PEN_WIDTH},
        RefusedRow{"PenJustAboveBound", [](CTessarixSettings& s) { s.contourPen.width = kMaxPenWidth + 1; }, IDS_FIELD_PEN_WIDTH},
        RefusedRow{"FontHeightIntMin", [](CTessarixSettings& s) { s.xAxis.font.height = INT32_MIN; }, IDS_FIELD_FONT},
        RefusedRow{"FontHeightHuge", [](CTessarixSettings& s) { s.valueFont.height = 55642; }, IDS_FIELD_FONT},
        RefusedRow{"FontWeightNegative", [](CTessarixSettings& s) { s.labelFont.weight = -1; }, IDS_FIELD_FONT},
        RefusedRow{"SymbolIntMax", [](CTessarixSettings& s) { s.symbol = 2147483647; }, IDS_FIELD_SYMBOL},
        RefusedRow{"SymbolNegative", [](CTessarixSettings& s) { s.symbol = -1; }, IDS_FIELD_SYMBOL},
        RefusedRow{"SymbolSizeHuge", [](CTessarixSettings& s) { s.symbolSize = kMaxSymbolSize + 1; }, IDS_FIELD_SYMBOL_SIZE},
        RefusedRow{"LabelDistanceNegative", [](CTessarixSettings& s) { s.labelDistance = -5; }, IDS_FIELD_LABEL_DISTANCE},
        RefusedRow{"EdgeDistanceIntMax", [](CTessarixSettings& s) { s.edgeDistance = 2147483647; }, IDS_FIELD_LABEL_DISTANCE},
        RefusedRow{"GridCountX65535", [](CTessarixSettings& s) { s.gridCountX = 65535; }, IDS_FIELD_GRID_COUNT}),
    [](const auto& info) { return std::string(info.param.name); });

// Values at the bounds, and an axis a survey in projected coordinates writes (16000006 with step
// 0.1: more ticks than an axis draws), are read as they are.
struct AcceptedRow {
    const char* name;
    std::function<void(CTessarixSettings&)> change;
};

class AcceptedSettingsTest : public ::testing::TestWithParam<AcceptedRow> {};

TEST_P(AcceptedSettingsTest, IsReadUnchanged)
{
    const QByteArray bytes = DocumentWith(GetParam().change);
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(bytes), DocFileStatus::Ok) << reader->LoadFailureReason().toStdString();
    EXPECT_EQ(reader->WriteFileBytes(), bytes);
    EXPECT_TRUE(reader->LoadNotes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, AcceptedSettingsTest,
    ::testing::Values(
        AcceptedRow{"Defaults", [](CTessarixSettings&) {}},
        AcceptedRow{"ProjectedSurveyAxis",
                    [](CTessarixSettings& s) {
                        s.xAxis.start = 16000006.0f;
                        s.xAxis.stop = 16000106.0f;
                        s.xAxis.step = 0.1f;
                    }},
        AcceptedRow{"TinyPositiveStep", [](CTessarixSettings& s) { s.xAxis.step = 1e-30f; }},
        AcceptedRow{"BoundsInclusive",
                    [](CTessarixSettings& s) {
                        s.borderPen.width = kMaxPenWidth;
                        s.cursorPen.width = 0;
                        s.labelFont.height = kMaxFontHeight;
                        s.valueFont.height = -kMaxFontHeight;
                        s.symbol = kMaxSymbol;
                        s.symbolSize = kMaxSymbolSize;
                        s.edgeDistance = kMaxLabelDistance;
                        s.extent.x0 = -kMaxSettingMagnitude;
                        s.valueDecimals = kMaxValueDecimals;
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// No editor bounds the value decimals; a count an older program kept is brought into range.
TEST(SettingsCheck, ManyValueDecimalsAreClampedWithANote)
{
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(DocumentWith([](CTessarixSettings& s) { s.valueDecimals = 300; })),
              DocFileStatus::Ok);
    EXPECT_EQ(reader->Settings().valueDecimals, kMaxValueDecimals);
    ASSERT_EQ(reader->LoadNotes().size(), 1);
    EXPECT_EQ(reader->LoadNotes().first(), TxString(IDS_SETTING_CLAMPED).arg(TxString(IDS_FIELD_VALUE_DECIMALS),
                                                                              QStringLiteral("300"),
                                                                              QString::number(kMaxValueDecimals)));
    // The next read starts without notes.
    ASSERT_EQ(reader->ReadFileBytes(DocumentWith([](CTessarixSettings&) {})), DocFileStatus::Ok);
    EXPECT_TRUE(reader->LoadNotes().isEmpty());
}

// The shipped samples pass the check.
TEST(SettingsCheck, ShippedSamplesOpen)
{
    const QDir dir(QStringLiteral(TESSARIX_SAMPLES_DIR));
    const QStringList samples = dir.entryList({QStringLiteral("*.Tsrix")});
    ASSERT_FALSE(samples.isEmpty());
    for (const QString& name : samples) {
        auto doc = NewDoc();
        EXPECT_EQ(doc->OnOpenDocument(dir.filePath(name)), DocFileStatus::Ok) << name.toStdString();
        EXPECT_TRUE(doc->LoadNotes().isEmpty()) << name.toStdString();
    }
}

}  // namespace
