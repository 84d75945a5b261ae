// The properties pane's logic on a real document: every row's edit is one undo step that undo
// and redo reverse byte for byte, "Delay Update" holds edits back until "Apply Changes" applies
// them as one step, the Z axis rows follow the scale mode, and a new symbol set moves the symbol.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "../support/Recorders.h"
#include "../support/TemporaryProfile.h"
#include "document/DocStrings.h"
#include "document/PropertiesModel.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"
#include "util/StringTable.h"

namespace {

constexpr SymbolRange kGlyphFontRange{40, 200};

SymbolRange FakeInstalledSets(const QString& name)
{
    return name == QStringLiteral("Glyphs") ? kGlyphFontRange : kMissingSetRange;
}

class PropertiesModelTest : public ::testing::Test {
protected:
    PropertiesModelTest() : doc(Recorder())
    {
        doc.OnNewDocument();
        doc.SetNotify(&notify);
        store = TemporaryProfileStore(dir);
        model = std::make_unique<CPropertiesModel>(doc, store.get(), FakeInstalledSets);
        requests->requests.clear();
    }
    std::unique_ptr<IMapComputations> Recorder()
    {
        auto r = std::make_unique<RequestRecorder>();
        requests = r.get();
        return r;
    }
    QByteArray Bytes()
    {
        CTessarixSettings& s = doc.Settings();
        s.colorScale.SetRange(s.zAxis.start, s.zAxis.stop);
        return doc.WriteFileBytes();
    }
    int Row(int32_t group, int32_t name) const
    {
        const int row = FindProperty(group, name);
        EXPECT_GE(row, 0) << TxString(name).toStdString();
        return row;
    }
    PropertyValue WithReal(int row, float v) const
    {
        PropertyValue value = model->Value(row);
        value.real = v;
        return value;
    }

    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    RequestRecorder* requests = nullptr;  // owned by doc
    NotifyRecorder notify;
    CTessarixDoc doc;
    std::unique_ptr<CPropertiesModel> model;
};

// A value that differs from `v` in the row's own field.
PropertyValue ChangedValue(const PropertyDefinition& d, PropertyValue v)
{
    switch (d.type) {
    case PropertyEditor::Integer:
    case PropertyEditor::Symbol:
        v.number += 3;
        break;
    case PropertyEditor::Boolean:
        v.number = v.number ? 0 : 1;
        break;
    case PropertyEditor::List:
        v.number = (v.number + 1) % d.choiceCount;
        break;
    case PropertyEditor::Text:
        v.text += QStringLiteral(" [m]");
        break;
    case PropertyEditor::Real:
        v.real += 0.5f;
        break;
    case PropertyEditor::FontColor:
        v.font.SetFace("DejaVu Sans");
        v.font.height = 140;
        v.color = 0x0000C0;
        break;
    case PropertyEditor::Pen:
        v.pen = PenRecord{PenDash, 1, 0, 0x00FF00};
        break;
    case PropertyEditor::Color:
        v.color = 0x123456;
        break;
    case PropertyEditor::ColorScale:
        v.scale.InsertStop(0.6f);
        v.scale.Item(0).color = 0x404040;
        break;
    case PropertyEditor::SymbolSet:
        v.text = QStringLiteral("Glyphs");
        break;
    }
    return v;
}

class EveryRow : public PropertiesModelTest, public ::testing::WithParamInterface<int> {};

// Each row: the edit changes the setting, records exactly one step, and undo / redo give back
// the document file bytes before / after the edit.
TEST_P(EveryRow, EditUndoRedoRestoresTheDocumentByteForByte)
{
    const int row = GetParam();
    const PropertyDefinition& d = model->Definition(row);
    const QByteArray before = Bytes();
    const PropertyValue edited = ChangedValue(d, model->Value(row));

    ASSERT_TRUE(model->Edit(row, edited));
    EXPECT_EQ(doc.UndoHistory().Depth(), 1);
    EXPECT_FALSE(requests->requests.empty());
    EXPECT_TRUE(d.read(doc.Settings()) == model->Value(row));
    EXPECT_FALSE(model->IsPending(row));
    const QByteArray after = Bytes();
    EXPECT_NE(after, before);

    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    doc.Redo();
    EXPECT_EQ(Bytes(), after);
}

std::string RowName(const ::testing::TestParamInfo<int>& info)
{
    std::string key = PropertyKey(PropertyDefinitions()[size_t(info.param)]).toStdString();
    for (char& c : key)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return std::to_string(info.param) + "_" + key;
}

INSTANTIATE_TEST_SUITE_P(PropertyRows, EveryRow, ::testing::Range(0, int(PropertyDefinitions().size())), RowName);

TEST_F(PropertiesModelTest, TableHasItsGroupsInOrderWithTheirRowCounts)
{
    const std::vector<std::pair<int32_t, int>> expected{
        {IDS_PROP_GROUP_GENERAL, 5},     {IDS_PROP_GROUP_X_AXIS, 6},         {IDS_PROP_GROUP_Y_AXIS, 6},
        {IDS_PROP_GROUP_Z_AXIS, 8},      {IDS_PROP_GROUP_COLOR_SCALE, 2},    {IDS_PROP_GROUP_CONTOUR_LABELS, 6},
        {IDS_PROP_GROUP_POSITIONS, 9},   {IDS_PROP_GROUP_INTERPOLATION, 1}};
    std::vector<std::pair<int32_t, int>> seen;
    for (const PropertyDefinition& d : PropertyDefinitions()) {
        if (seen.empty() || seen.back().first != d.group)
            seen.push_back({d.group, 0});
        ++seen.back().second;
    }
    EXPECT_EQ(seen, expected);
    std::vector<int32_t> groups;
    for (const auto& [group, rows] : expected)
        groups.push_back(group);
    EXPECT_EQ(PropertyGroups(), groups);
    EXPECT_EQ(TxString(IDS_PROP_GROUP_POSITIONS), QStringLiteral("Measurement Positions"));
}

// The refresh identifier decides the undo group and the axis refresh: a wrong one would undo the
// wrong group or leave the drawing axis stale.
struct IdentifierCase {
    const char* key;
    PropertyEditor type;
    int32_t identifier;
};

class RowIdentifier : public ::testing::TestWithParam<IdentifierCase> {};

TEST_P(RowIdentifier, KeyFindsTheRowWithItsTypeAndIdentifier)
{
    const int row = FindPropertyByKey(QString::fromLatin1(GetParam().key));
    ASSERT_GE(row, 0);
    EXPECT_EQ(PropertyDefinitions()[size_t(row)].type, GetParam().type);
    EXPECT_EQ(PropertyDefinitions()[size_t(row)].identifier, GetParam().identifier);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RowIdentifier,
    ::testing::Values(IdentifierCase{"General.DefaultPen", PropertyEditor::Pen, 4000},
                      IdentifierCase{"general.window color", PropertyEditor::Color, 4000},
                      IdentifierCase{"X Axis.Start", PropertyEditor::Real, 1002},
                      IdentifierCase{"XAxis.Font", PropertyEditor::FontColor, 1001},
                      IdentifierCase{"YAxis.Label", PropertyEditor::Text, 2003},
                      IdentifierCase{"YAxis.Hidden", PropertyEditor::Boolean, 2004},
                      IdentifierCase{"ZAxis.ScaleMode", PropertyEditor::List, 3005},
                      IdentifierCase{"ZAxis.FixedAmplitude", PropertyEditor::Real, 3005},
                      IdentifierCase{"ZAxis.Step", PropertyEditor::Real, 3002},
                      IdentifierCase{"ColorScale.Scale", PropertyEditor::ColorScale, 5000},
                      IdentifierCase{"ContourLabels.Label distance", PropertyEditor::Integer, 6000},
                      IdentifierCase{"MeasurementPositions.SymbolSet", PropertyEditor::SymbolSet, 7000},
                      IdentifierCase{"MeasurementPositions.Symbol", PropertyEditor::Symbol, 7000},
                      IdentifierCase{"MeasurementPositions.RelativePosition", PropertyEditor::List, 7000},
                      IdentifierCase{"interpolation . energy", PropertyEditor::Boolean, 8000}));

TEST_F(PropertiesModelTest, DelayUpdateHoldsEditsUntilApplyChangesThenOneStepOneRender)
{
    model->SetDelayUpdate(true);
    const QByteArray before = Bytes();
    const int xStart = Row(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START);
    const int yLabel = Row(IDS_PROP_GROUP_Y_AXIS, IDS_PROP_LABEL);

    ASSERT_TRUE(model->Edit(xStart, WithReal(xStart, 0.6f)));
    PropertyValue label = model->Value(yLabel);
    label.text = QStringLiteral("North (m)");
    ASSERT_TRUE(model->Edit(yLabel, label));

    EXPECT_EQ(doc.Settings().xAxis.start, 0.0f);
    EXPECT_TRUE(requests->requests.empty());
    EXPECT_TRUE(doc.UndoHistory().IsEmpty());
    EXPECT_TRUE(model->IsPending(xStart));
    EXPECT_TRUE(model->CanApplyChanges());

    ASSERT_TRUE(model->ApplyChanges());
    EXPECT_EQ(doc.Settings().xAxis.start, 0.6f);
    EXPECT_EQ(doc.Settings().yAxis.label, QStringLiteral("North (m)"));
    EXPECT_EQ(doc.Axis(CTessarixDoc::AxisY).title, QStringLiteral("North (m)"));
    EXPECT_EQ(doc.UndoHistory().Depth(), 1);
    // One round: one request per enabled column (a new document has column 0 only).
    EXPECT_EQ(requests->requests.size(), doc.EnabledColumnIndices().size());
    EXPECT_FALSE(model->CanApplyChanges());
    EXPECT_TRUE(doc.IsModified());

    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(model->ApplyChanges()) << "nothing pending: no empty step";
}

TEST_F(PropertiesModelTest, SwitchingDelayUpdateOffAppliesPendingEditsAndIsRemembered)
{
    model->SetDelayUpdate(true);
    EXPECT_EQ(store->ReadInt(QStringLiteral("PropertiesWnd"), QStringLiteral("DelayUpdate"), 0), 1);
    const int zStep = Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_STEP);
    model->Edit(zStep, WithReal(zStep, 5.0f));
    model->SetDelayUpdate(false);
    EXPECT_EQ(doc.Settings().zAxis.step, 5.0f);
    EXPECT_EQ(doc.UndoHistory().Depth(), 1);
    // A new colour axis step moves the contour levels: the contours are traced again.
    ASSERT_FALSE(requests->requests.empty());
    EXPECT_EQ(requests->requests.back().flags, RECALC_CONTOURS | RECALC_BITMAP);
    EXPECT_EQ(store->ReadInt(QStringLiteral("PropertiesWnd"), QStringLiteral("DelayUpdate"), 1), 0);

    CPropertiesModel again(doc, store.get());
    EXPECT_FALSE(again.DelayUpdate());
}

struct RenderFlagsCase {
    const char* name;
    int32_t group;
    int32_t row;
    int flags;
};

class RenderFlags : public PropertiesModelTest, public ::testing::WithParamInterface<RenderFlagsCase> {};

TEST_P(RenderFlags, ImmediateEditRequestsTheWorkItsRowNeeds)
{
    const int row = Row(GetParam().group, GetParam().row);
    model->Edit(row, ChangedValue(model->Definition(row), model->Value(row)));
    ASSERT_FALSE(requests->requests.empty());
    EXPECT_EQ(requests->requests.back().flags, GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenderFlags,
    ::testing::Values(RenderFlagsCase{"XStartRendersOnly", IDS_PROP_GROUP_X_AXIS, IDS_PROP_START, RECALC_BITMAP},
                      RenderFlagsCase{"ZStartRetraces", IDS_PROP_GROUP_Z_AXIS, IDS_PROP_START, RECALC_CONTOURS | RECALC_BITMAP},
                      RenderFlagsCase{"ScaleModeRetraces", IDS_PROP_GROUP_Z_AXIS, IDS_PROP_SCALE_MODE,
                                      RECALC_CONTOURS | RECALC_BITMAP},
                      RenderFlagsCase{"LabelFontRendersOnly", IDS_PROP_GROUP_CONTOUR_LABELS, IDS_PROP_FONT, RECALC_BITMAP},
                      RenderFlagsCase{"EnergyOptionRecomputesTheSurface", IDS_PROP_GROUP_INTERPOLATION, IDS_PROP_ENERGY,
                                      RECALC_ALL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertiesModelTest, EditToTheShownValueRecordsNothing)
{
    const int row = Row(IDS_PROP_GROUP_GENERAL, IDS_PROP_GRAPH_COLOR);
    EXPECT_FALSE(model->Edit(row, model->Value(row)));
    EXPECT_TRUE(doc.UndoHistory().IsEmpty());
    EXPECT_TRUE(requests->requests.empty());
}

struct EnablingCase {
    const char* name;
    int scaleMode;
    bool startStop;
    bool amplitude;
};

class ScaleModeEnabling : public PropertiesModelTest, public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(ScaleModeEnabling, ZRangeAndFixedAmplitudeFollowTheShownScaleMode)
{
    // Delayed: the enabling follows the value shown, before it is applied.
    model->SetDelayUpdate(true);
    const int mode = Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_SCALE_MODE);
    PropertyValue v = model->Value(mode);
    v.number = GetParam().scaleMode;
    model->Edit(mode, v);
    EXPECT_EQ(model->IsEnabled(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_START)), GetParam().startStop);
    EXPECT_EQ(model->IsEnabled(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_STOP)), GetParam().startStop);
    EXPECT_EQ(model->IsEnabled(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_FIXED_AMPLITUDE)), GetParam().amplitude);
    EXPECT_TRUE(model->IsEnabled(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_STEP)));
    EXPECT_TRUE(model->IsEnabled(Row(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START)));
}

INSTANTIATE_TEST_SUITE_P(Modes, ScaleModeEnabling,
                         ::testing::Values(EnablingCase{"Normal", ScaleNormal, true, false},
                                           EnablingCase{"FixedAmplitudeFromMaxLevel", ScaleFixedAmplitude, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertiesModelTest, DefaultSetIsStoredEmptyAndShownAsDefaultSetAgain)
{
    const int set = Row(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET);
    PropertyValue v = model->Value(set);
    ASSERT_TRUE(ParsePropertyValue(model->Definition(set), QStringLiteral("Glyphs"), &v));
    model->Edit(set, v);
    EXPECT_EQ(doc.Settings().symbolSet, QStringLiteral("Glyphs"));
    ASSERT_TRUE(ParsePropertyValue(model->Definition(set), QStringLiteral("Default Set"), &v));
    model->Edit(set, v);
    EXPECT_TRUE(doc.Settings().symbolSet.isEmpty());

    CPropertiesModel rebuilt(doc, nullptr, FakeInstalledSets);
    EXPECT_EQ(PropertyValueText(rebuilt.Definition(set), rebuilt.Value(set)), QStringLiteral("Default Set"));
}

TEST_F(PropertiesModelTest, NewSymbolSetMovesTheSymbolByTheDifferenceOfFirstCodes)
{
    const int set = Row(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET);
    const int symbol = Row(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL);
    ASSERT_EQ(doc.Settings().symbol, 8);
    PropertyValue v = model->Value(set);
    v.text = QStringLiteral("Glyphs");
    model->Edit(set, v);
    EXPECT_EQ(doc.Settings().symbol, 8 + kGlyphFontRange.first);
    EXPECT_EQ(model->Value(symbol).number, 8 + kGlyphFontRange.first);
    EXPECT_EQ(model->SymbolRangeShown(), kGlyphFontRange);
    EXPECT_EQ(doc.UndoHistory().Depth(), 1) << "the symbol moves within the same step";

    // A set that is no longer installed keeps its name; its range falls back to 0..26.
    v.text = QStringLiteral("Uninstalled Dingbats");
    model->Edit(set, v);
    EXPECT_EQ(model->SymbolRangeShown(), kMissingSetRange);
    EXPECT_EQ(doc.Settings().symbol, 8);
    v.text.clear();
    model->Edit(set, v);
    EXPECT_EQ(model->SymbolRangeShown(), kDefaultSetRange);
}

TEST_F(PropertiesModelTest, ReloadDropsPendingEditsAndShowsTheSettings)
{
    model->SetDelayUpdate(true);
    const int row = Row(IDS_PROP_GROUP_CONTOUR_LABELS, IDS_PROP_EDGE_DISTANCE);
    PropertyValue v = model->Value(row);
    v.number = 77;
    model->Edit(row, v);
    doc.Settings().edgeDistance = 12;
    model->Reload();
    EXPECT_FALSE(model->HasPendingChanges());
    EXPECT_EQ(model->Value(row).number, 12);
}

// ---- value texts (the command line's values and the pane's cells) ----

TEST(PropertyValueTextTest, EveryRowWithATextFormReadsBackItsOwnText)
{
    CTessarixSettings s;
    for (const PropertyDefinition& d : PropertyDefinitions()) {
        if (d.type == PropertyEditor::ColorScale)
            continue;
        const PropertyValue v = ChangedValue(d, d.read(s));
        PropertyValue back = d.read(s);
        ASSERT_TRUE(ParsePropertyValue(d, PropertyValueText(d, v), &back)) << PropertyKey(d).toStdString();
        EXPECT_TRUE(back == v) << PropertyKey(d).toStdString() << " " << PropertyValueText(d, v).toStdString();
    }
}

struct TextCase {
    const char* name;
    const char* key;
    const char* text;
    bool accepted;
};

class ValueText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueText, IsAcceptedOrRefusedWithoutChangingTheValue)
{
    const PropertyDefinition& d = PropertyDefinitions()[size_t(FindPropertyByKey(QString::fromLatin1(GetParam().key)))];
    const CTessarixSettings s;
    const PropertyValue original = d.read(s);
    PropertyValue v = original;
    EXPECT_EQ(ParsePropertyValue(d, QString::fromUtf8(GetParam().text), &v), GetParam().accepted);
    if (!GetParam().accepted) {
        EXPECT_TRUE(v == original);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueText,
    ::testing::Values(TextCase{"RealWithExponent", "XAxis.Stop", "1.5e3", true},
                      TextCase{"RealWord", "XAxis.Stop", "ten", false},
                      TextCase{"RealInfinite", "XAxis.Stop", "inf", false},
                      TextCase{"RealLocaleComma", "XAxis.Stop", "1,5", false},
                      TextCase{"IntegerFraction", "ContourLabels.EdgeDistance", "2.5", false},
                      TextCase{"BooleanLowerCase", "XAxis.Hidden", "true", true},
                      TextCase{"BooleanMaybe", "XAxis.Hidden", "maybe", false},
                      TextCase{"BooleanOn", "Interpolation.Energy", "on", true},
                      TextCase{"BooleanOffAnyCase", "XAxis.Hidden", "OFF", true},
                      TextCase{"BooleanOnTypo", "Interpolation.Energy", "onn", false},
                      TextCase{"ChoiceAnyCase", "ZAxis.ScaleMode", "fixed amplitude from max level", true},
                      TextCase{"ChoiceNotOffered", "ZAxis.ScaleMode", "Logarithmic", false},
                      TextCase{"ChoiceIndexIsNotAChoice", "ContourLabels.BackgroundMode", "1", false},
                      TextCase{"ColorDefault", "General.GraphColor", "Default", true},
                      TextCase{"ColorShortHex", "General.GraphColor", "#FFF", false},
                      TextCase{"ColorNoHash", "General.GraphColor", "FFFFFF", false},
                      TextCase{"PenZeroWidth", "General.BorderPen", "Solid,0,#000000", false},
                      TextCase{"PenUnknownStyle", "General.BorderPen", "Wavy,1,#000000", false},
                      TextCase{"PenDashDot", "General.BorderPen", "Dash dot,2,#102030", true},
                      TextCase{"FontBoldItalic", "XAxis.Font", "Liberation Sans,10.5,bold,italic,#000000", true},
                      TextCase{"FontNegativeSize", "XAxis.Font", "Arial,-9,#000000", false},
                      TextCase{"FontUnknownFlag", "XAxis.Font", "Arial,9,shadow,#000000", false},
                      TextCase{"FontFaceTooLong", "XAxis.Font", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh,9,#000000", false},
                      TextCase{"ScaleHasNoText", "ColorScale.Scale", "rainbow", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PropertyValueTextTest, ColourTextIsRgbOrderOfTheStoredBgrValue)
{
    EXPECT_EQ(ColorText(0x00FF8000), QStringLiteral("#0080FF"));
    TxColor c = 0;
    ASSERT_TRUE(ParseColorText(QStringLiteral("#0080ff"), &c));
    EXPECT_EQ(c, 0x00FF8000u);
    EXPECT_EQ(ShortFloatText(0.1f), QStringLiteral("0.1"));
    EXPECT_EQ(ShortFloatText(20.0f), QStringLiteral("20"));
}

}  // namespace
