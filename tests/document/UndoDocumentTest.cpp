// Every kind of document change through the one change path, and undo and redo of it: each
// records one step of its kind with the flags it requests, marks the document modified, sends
// one DocumentChanged with its level and one round of map requests; undo and redo restore
// exactly what was recorded (the document file bytes are compared, so no field can slip). Also
// the order of the two histories and what a damaged or missing history does.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "../support/Recorders.h"
#include "document/MapComputations.h"
#include "document/MapNotify.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"
#include "document/UndoStackSnapshot.h"
#include "util/Archive.h"

namespace {

class UndoDocument : public ::testing::Test {
protected:
    UndoDocument() : doc(Recorder())
    {
        doc.OnNewDocument();
        doc.SetNotify(&notify);
        doc.SetUndoErrorHandler([this](const QString& m) { errors << m; });
    }
    std::unique_ptr<IMapComputations> Recorder()
    {
        auto r = std::make_unique<RequestRecorder>();
        requests = r.get();
        return r;
    }
    void ClearRecords()
    {
        notify.calls.clear();
        requests->requests.clear();
    }
    // Flags of the last map request (of any column), or -1 when there was none.
    int LastRequestFlags() const { return requests->requests.empty() ? -1 : requests->requests.back().flags; }
    // A document with three points in columns 0 and 3.
    void AddPoints()
    {
        std::array<bool, kColumnCount> on{};
        std::array<QString, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c)
            names[size_t(c)] = doc.Column(c).name;
        on[0] = on[3] = true;
        doc.SetColumnDefinitions(on, names);
        doc.InsertPoint(0.25f, 0.5f, {61.5f, 40.25f});
        doc.InsertPoint(0.75f, 0.125f, {70.0f});
        doc.InsertPoint(-1.0f, 2.0f, {55.5f, 33.0f, 99.0f});
    }
    // The colour scale's range is derived from the colour axis whenever settings are copied;
    // bring it in line first so that only stored choices are compared.
    QByteArray Bytes()
    {
        CTessarixSettings& s = doc.Settings();
        s.colorScale.SetRange(s.zAxis.start, s.zAxis.stop);
        return doc.WriteFileBytes();
    }

    RequestRecorder* requests = nullptr;  // owned by doc
    NotifyRecorder notify;
    CTessarixDoc doc;
    QStringList errors;
};

TEST_F(UndoDocument, InsertPointUndoRedoRestoresEveryArrayExactly)
{
    AddPoints();
    const QByteArray before = Bytes();
    doc.InsertPoint(0.5f, 0.5f, {1.0f, 2.0f});
    const QByteArray after = Bytes();
    ASSERT_NE(before, after);

    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(doc.PointCount(), 3);
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_EQ(doc.Column(c).values.size(), 3u) << "column " << c;
    EXPECT_TRUE(doc.CanRedo());
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("&Redo Insert Point\t(Ctrl+Y)"));
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Insert Point\t(Ctrl+Z)"));
    EXPECT_EQ(LastRequestFlags(), RECALC_ALL);

    doc.Redo();
    EXPECT_EQ(Bytes(), after);
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("Can't Redo"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(UndoDocument, TwoPropertyChangesComeBackInReverseOrderAndANewChangeEmptiesRedo)
{
    CTessarixSettings& s = doc.Settings();
    doc.ApplyChange({StepProperty, RECALC_BITMAP, PropXLabel}, [&] { s.xAxis.label = QStringLiteral("Metres"); });
    doc.ApplyChange({StepProperty, RECALC_BITMAP, PropGeneral}, [&] { s.contourPen = PenRecord{PenDash, 3, 0, 0x0000FF}; });

    doc.Undo();
    EXPECT_EQ(s.contourPen, PenRecord{});
    EXPECT_EQ(s.xAxis.label, QStringLiteral("Metres"));
    doc.Undo();
    EXPECT_EQ(s.xAxis.label, QStringLiteral("X"));
    EXPECT_EQ(doc.Axis(CTessarixDoc::AxisX).title, QStringLiteral("X"));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.RedoHistory().Depth(), 2);

    doc.SetMapMode(MapModeColorMap);
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.RedoHistory().Size(), 0);
}

TEST_F(UndoDocument, MapSetupUndoRestoresNamesAndFlagsAndRefreshesThePane)
{
    const QByteArray before = Bytes();
    std::array<bool, kColumnCount> on{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = QStringLiteral("C%1").arg(c);
    on[0] = on[5] = on[11] = true;
    ASSERT_EQ(doc.SetColumnDefinitions(on, names), ChangeColumns);

    ClearRecords();
    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(doc.Column(0).name, QStringLiteral("SLM"));
    EXPECT_EQ(doc.Column(5).enabled, 0);
    // The set of enabled columns changed back, so the tabs are rebuilt (a level that includes
    // the refresh of level 0).
    EXPECT_EQ(notify.Arguments(MapNotifyDocumentChanged), std::vector<intptr_t>{ChangeColumns});
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("&Redo Map Setup\t(Ctrl+Y)"));
}

// Edit Data cuts a disabled column to the new point count; its undo step recorded only the enabled
// columns, so undoing a removal brought the disabled column's values back as zeros.
TEST_F(UndoDocument, UndoOfEditDataKeepsDisabledColumns)
{
    std::array<bool, kColumnCount> on{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = doc.Column(c).name;
    on[0] = on[3] = on[7] = true;
    doc.SetColumnDefinitions(on, names);
    doc.InsertPoint(0.1f, 0.2f, {60.5f, 41.0f, 33.25f});
    doc.InsertPoint(0.3f, 0.4f, {61.5f, 42.0f, 34.25f});
    doc.InsertPoint(0.5f, 0.6f, {62.5f, 43.0f, 35.25f});
    on[7] = false;  // column 7 keeps its values while switched off
    doc.SetColumnDefinitions(on, names);
    const QByteArray before = Bytes();

    doc.ApplyEditData(1, {0.1f}, {0.2f}, {{60.5f}, {41.0f}}, 1, 0, 50.0f, 0.1f);
    ASSERT_EQ(doc.Column(7).values, CTXFloatArray{33.25f});
    const QByteArray after = Bytes();

    doc.Undo();
    EXPECT_EQ(doc.Column(7).values, (CTXFloatArray{33.25f, 34.25f, 35.25f}));
    EXPECT_EQ(Bytes(), before);
    doc.Redo();
    EXPECT_EQ(Bytes(), after);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(UndoDocument, NewAndOpenLeaveBothCommandsDisabled)
{
    AddPoints();
    doc.Undo();
    ASSERT_TRUE(doc.CanUndo());
    ASSERT_TRUE(doc.CanRedo());
    doc.OnNewDocument();
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("Can't Undo"));
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("Can't Redo"));
    EXPECT_EQ(doc.UndoHistory().Size(), 0);

    AddPoints();
    const QByteArray file = Bytes();
    ASSERT_EQ(doc.ReadFileBytes(file), DocFileStatus::Ok);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("Can't Undo"));
}

TEST_F(UndoDocument, StackFileHoldsTheMapModeStepByteForByte)
{
    doc.SetMapMode(MapModeImage);
    QFile f(doc.UndoHistory().Path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray expected("\x07\0\0\0" "\x04\0\0\0" "\0\0\0\0" "\0\0\0\0" "\x10\0\0\0", 20);
    EXPECT_EQ(f.readAll(), expected);
}

// One row per kind of document change (and per property group, per flag choice of a command):
// the command, or for kinds whose dialogs are not built yet the change through ApplyChange, and
// what the one path must record, send and request for it. `prepare` runs before the "before"
// bytes are taken.
struct ChangeRow {
    const char* name;
    UndoStepKind kind;
    int recalcFlags;  // recorded with the step and requested after the change, undo and redo
    int level;        // the DocumentChanged level
    std::function<void(CTessarixDoc&)> change;
    std::function<void(CTessarixDoc&)> prepare = [](CTessarixDoc&) {};
};

void PrintTo(const ChangeRow& row, std::ostream* os)
{
    *os << row.name;
}

class EveryChange : public UndoDocument, public ::testing::WithParamInterface<ChangeRow> {
protected:
    // What one finished change, undo or redo must have done since ClearRecords.
    void ExpectFinished(const char* when)
    {
        const ChangeRow& row = GetParam();
        SCOPED_TRACE(when);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(notify.Arguments(MapNotifyDocumentChanged), std::vector<intptr_t>{row.level});
        if (row.recalcFlags == 0) {
            EXPECT_TRUE(requests->requests.empty());
            EXPECT_TRUE(notify.Arguments(MapNotifyMapsRequested).empty());
            return;
        }
        // One round: one request per enabled column, all with the recorded flags.
        const std::vector<int32_t> columns = doc.EnabledColumnIndices();
        EXPECT_EQ(notify.Arguments(MapNotifyMapsRequested), std::vector<intptr_t>{intptr_t(columns.size())});
        ASSERT_EQ(requests->requests.size(), columns.size());
        for (size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(requests->requests[i].column, columns[i]);
            EXPECT_EQ(requests->requests[i].flags, row.recalcFlags) << "column " << columns[i];
        }
    }
    void Restart()
    {
        ClearRecords();
        doc.SetModifiedFlag(false);  // as after a save
    }
};

CTXImage PictureRecord(int32_t kind, const QByteArray& bytes, const QString& path)
{
    QByteArray record;
    CTXArchive out(&record);
    out.PutInt32(0);
    out.PutInt32(kind);
    out.PutInt32(int32_t(bytes.size()));
    out.Bytes(const_cast<char*>(bytes.constData()), bytes.size());
    QString p = path;
    out.String(p);
    CTXImage image;
    CTXArchive in(record);
    image.Serialize(in, true);
    return image;
}

TEST_P(EveryChange, RecordsOneStepNotifiesOnceRequestsItsFlagsAndUndoRedoRestoreTheBytes)
{
    AddPoints();
    const ChangeRow& row = GetParam();
    row.prepare(doc);
    const QByteArray before = Bytes();
    const int depth = doc.UndoHistory().Depth();
    Restart();
    row.change(doc);
    const QByteArray after = Bytes();
    ASSERT_NE(before, after) << "the row changes nothing the file holds";

    ASSERT_EQ(doc.UndoHistory().Depth(), depth + 1);
    CTXUndoStack::Step step;
    ASSERT_TRUE(doc.UndoHistory().ReadTop(&step));
    EXPECT_EQ(step.kind, row.kind);
    EXPECT_EQ(step.recalcFlags, row.recalcFlags);
    EXPECT_FALSE(doc.CanRedo());
    ExpectFinished("change");

    Restart();
    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_EQ(doc.Column(c).values.size(), size_t(doc.PointCount()));
    EXPECT_EQ(doc.UndoHistory().Depth(), depth);
    ExpectFinished("undo");

    Restart();
    doc.Redo();
    EXPECT_EQ(Bytes(), after);
    EXPECT_EQ(doc.UndoHistory().Depth(), depth + 1);
    ExpectFinished("redo");

    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(errors.isEmpty());
}

std::array<QString, kColumnCount> NamesOf(const CTessarixDoc& d)
{
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = d.Column(c).name;
    return names;
}

std::array<bool, kColumnCount> EnabledOf(const CTessarixDoc& d)
{
    std::array<bool, kColumnCount> on{};
    for (int c = 0; c < kColumnCount; ++c)
        on[size_t(c)] = d.Column(c).enabled != 0;
    return on;
}

GridDefinition GridOf(const CTessarixDoc& d)
{
    const CTessarixSettings& s = d.Settings();
    return {s.extent, s.gridCountX, s.gridCountY, s.interpFunction, s.interpParameter, d.InputGrid()};
}

void ShowPicture(CTessarixDoc& d)
{
    d.Settings().mapMode = MapModeImage;
}

const ChangeRow kChangeRows[] = {
    {"InsertPointWithDisabledColumns", StepInsertPoint, RECALC_ALL, ChangeData,
     [](CTessarixDoc& d) { d.InsertPoint(9.0f, 8.0f, {7.0f, 6.0f}); }},
    {"EditDataTableAndBoundary", StepEditData, RECALC_ALL, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyEditData(2, {0.1f, 0.2f}, {0.3f, 0.4f}, {{1, 2}, {3, 4}}, 0, BoundaryCornersAndSides, 42.5f, 0.25f);
     }},
    {"MapSetupNamesOnlyRequestsNoMap", StepMapSetup, 0, ChangeNames,
     [](CTessarixDoc& d) {
         auto names = NamesOf(d);
         names[3] = QStringLiteral("Lärm");
         d.SetColumnDefinitions(EnabledOf(d), names);
     }},
    {"MapSetupEnabledColumnGetsItsMap", StepMapSetup, RECALC_ALL, ChangeColumns,
     [](CTessarixDoc& d) {
         auto on = EnabledOf(d);
         on[7] = true;
         d.SetColumnDefinitions(on, NamesOf(d));
     }},
    {"MapSetupDisabledColumn", StepMapSetup, RECALC_ALL, ChangeColumns,
     [](CTessarixDoc& d) {
         auto on = EnabledOf(d);
         on[3] = false;
         d.SetColumnDefinitions(on, NamesOf(d));
     }},
    {"GridSettingNotifiesAndRecomputes", StepGrid, RECALC_ALL, ChangeData,
     [](CTessarixDoc& d) {
         GridDefinition g = GridOf(d);
         g.countX = 150;
         g.countY = 12;
         g.extent = {-1.0f, 2.0f, -3.0f, 4.0f};
         g.function = RbfThinPlateSpline;
         g.parameter = 0.7f;
         g.input = {1, 0.5f, 0.25f, 1, 0.125f, 2.0f};
         d.SetGridDefinition(g);
     }},
    {"GridInputGridOnlyRequestsNoMap", StepGrid, 0, ChangeData,
     [](CTessarixDoc& d) {
         GridDefinition g = GridOf(d);
         g.input = {1, 0.5f, 0.25f, 0, 0.125f, 2.0f};
         d.SetGridDefinition(g);
     }},
    {"ImageScale", StepImageScale, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepImageScale, RECALC_BITMAP}, [&] { d.Settings().imageRect = {-5.0f, -6.0f, 7.0f, 8.0f}; });
     }},
    {"ImageClip", StepImageClip, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepImageClip, RECALC_BITMAP}, [&] {
             CTessarixSettings& s = d.Settings();
             s.clipTarget = ClipMapAndImage;
             s.clipFillMode = 1;
             s.clipPolylines = {3, 2};
             s.conditioningFlags = {1, 0};
             s.conditioningLevels = {45.0f, 50.0f};
             s.conditioningSteps = {2, 1};
             s.clipPoints = {{0, 0}, {1, 0}, {1, 1}, {0.5f, 0.5f}, {0.25f, 0.75f}};
             s.autoBoundaryPolyline = 1;
         });
     }},
    {"PropertyXAxisFontRangeLabel", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropXRange}, [&] {
             AxisSettings& a = d.Settings().xAxis;
             a.start = -10.0f;
             a.step = 2.5f;
             a.gridPen = {PenDot, 2, 0, 0x123456};
             a.label = QStringLiteral("East");
             a.hidden = 1;
             a.font.height = 120;
         });
     }},
    {"PropertyYAxisLabel", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropYLabel}, [&] { d.Settings().yAxis.label = QStringLiteral("North"); });
     }},
    // The new colour range moves the contour levels: the axis refresh's work is recorded too.
    {"PropertyColourAxisAndScaleModeRecordsTheContours", StepProperty, RECALC_CONTOURS | RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropZScaleMode}, [&] {
             CTessarixSettings& s = d.Settings();
             s.zAxis.stop = 95.0f;
             s.zAxis.fontColor = 0xFF;
             s.zAxis.label = QStringLiteral("dB(A)");
             s.scaleMode = ScaleFixedAmplitude;
             s.fixedAmplitude = 35.0f;
         });
     }},
    {"PropertyGeneralWithContourPen", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropGeneral}, [&] {
             CTessarixSettings& s = d.Settings();
             s.contourPen = {PenDashDot, 2, 0, 0x00FF00};
             s.borderPen.width = 3;
             s.windowColor = 0x101010;
             s.generalValue = 5;
         });
     }},
    {"PropertyColourScale", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropColorScale}, [&] {
             CTessarixSettings& s = d.Settings();
             s.useColorScaleOnMap = 0;
             s.colorScale.SetItems({{0.0f, 0x000000}, {1.0f, 0xFFFFFF}});
         });
     }},
    {"PropertyContourLabels", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropContourLabels}, [&] {
             CTessarixSettings& s = d.Settings();
             s.showLabels = 0;
             s.labelDistance = 80;
             s.labelBkMode = 1;
             s.curveTolerance = 1.5f;
         });
     }},
    {"PropertyPositions", StepProperty, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, PropPositions}, [&] {
             CTessarixSettings& s = d.Settings();
             s.symbolSet = QStringLiteral("Symbols");
             s.symbol = 3;
             s.showValues = 1;
             s.relativePosition = 4;
         });
     }},
    {"ApplyChangesCarriesEverySetting", StepProperty, RECALC_CONTOURS | RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) {
         d.ApplyChange({StepProperty, RECALC_BITMAP, 0}, [&] {
             CTessarixSettings& s = d.Settings();
             s.xAxis.label = QStringLiteral("a");
             s.zAxis.start = 10.0f;
             s.contourPen.width = 4;
             s.symbolSize = 20;
             s.valueDecimals = 3;
         });
     }},
    {"MapModeMarksModifiedAndNotifies", StepMapMode, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) { d.SetMapMode(MapModeImageColorMap); }},
    {"ImageShownNotifiesAndRedraws", StepImage, RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) { d.ReplaceImage(PictureRecord(2, QByteArray(64, '\x11'), QStringLiteral("/plans/a.bmp"))); },
     ShowPicture},
    {"ImageHiddenNotifiesAndRequestsNoMap", StepImage, 0, ChangeData,
     [](CTessarixDoc& d) { d.ReplaceImage(PictureRecord(2, QByteArray(64, '\x22'), QStringLiteral("/plans/b.bmp"))); }},
    {"AutoScaleColor", StepAutoScaleColor, RECALC_CONTOURS, ChangeData,
     [](CTessarixDoc& d) {
         // The range of the column's last map request, as its worker reports it.
         dynamic_cast<RequestRecorder&>(d.Maps()).inputRanges[0] = {42.5f, 96.0f};
         ASSERT_TRUE(d.AutoScaleColor(0));
     }},
    {"MoveColorScaleUpRecordsWhatItRequests", StepMoveColorScale, RECALC_CONTOURS | RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) { d.MoveColorScale(true); }},
    {"MoveColorScaleDownRecordsWhatItRequests", StepMoveColorScale, RECALC_CONTOURS | RECALC_BITMAP, ChangeData,
     [](CTessarixDoc& d) { d.MoveColorScale(false); }},
};

INSTANTIATE_TEST_SUITE_P(Undo, EveryChange, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Every step kind has a row above.
TEST(EveryChangeTable, CoversEveryStepKind)
{
    std::set<int> kinds;
    for (const ChangeRow& row : kChangeRows)
        kinds.insert(row.kind);
    for (int kind = StepInsertPoint; kind <= StepMoveColorScale; ++kind)
        EXPECT_TRUE(kinds.count(kind)) << "kind " << kind;
}

TEST_F(UndoDocument, SelectingTheMapModeInForceRecordsNothing)
{
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.SetMapMode(MapModeNormal));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(notify.calls.empty());
}

TEST_F(UndoDocument, PropertyStepOfAnUnknownGroupRestoresNothingButStillRequestsMaps)
{
    constexpr int32_t kUnknownGroup = 9000;
    doc.ApplyChange({StepProperty, RECALC_BITMAP, kUnknownGroup},
                    [&] { doc.Settings().xAxis.label = QStringLiteral("kept"); });
    ClearRecords();
    doc.Undo();
    EXPECT_EQ(doc.Settings().xAxis.label, QStringLiteral("kept"));
    ASSERT_EQ(requests->requests.size(), 1u);
    EXPECT_EQ(requests->requests[0].flags, RECALC_BITMAP);
}

TEST_F(UndoDocument, MoveColorScaleUndoAlsoMovesTheDrawnColourAxisBack)
{
    doc.MoveColorScale(true);
    ASSERT_FLOAT_EQ(doc.Axis(CTessarixDoc::AxisZ).start, 22.0f);
    ClearRecords();
    doc.Undo();
    EXPECT_FLOAT_EQ(doc.Settings().zAxis.start, 20.0f);
    EXPECT_FLOAT_EQ(doc.Axis(CTessarixDoc::AxisZ).start, 20.0f);
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("&Redo Move Color Scale\t(Ctrl+Y)"));
    ASSERT_EQ(requests->requests.size(), 1u);
    EXPECT_EQ(requests->requests[0].flags, RECALC_CONTOURS | RECALC_BITMAP);
}

TEST_F(UndoDocument, HistoryFilesLiveInTheTemporaryFolder)
{
    EXPECT_EQ(QFileInfo(doc.UndoHistory().Path()).absolutePath(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_NE(doc.UndoHistory().Path(), doc.RedoHistory().Path());
}

TEST_F(UndoDocument, UndoAndRedoMarkTheDocumentModified)
{
    doc.InsertPoint(1, 2, {3});
    doc.SetModifiedFlag(false);  // as after a save
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
}

// A record whose snapshot is shorter than its kind needs is refused as a whole: the document
// keeps every value, the damaged history is closed, and the other one is left alone.
TEST_F(UndoDocument, DamagedSnapshotLeavesTheDocumentUntouched)
{
    AddPoints();
    doc.InsertPoint(5, 5, {5});
    doc.Undo();  // something on the redo stack
    ASSERT_TRUE(doc.CanRedo());
    const QByteArray before = Bytes();
    QByteArray snapshot = UndoSnapshotBytes(doc, StepInsertPoint, 0);
    snapshot.chop(3);
    ASSERT_TRUE(doc.UndoHistory().Push({StepInsertPoint, 7, 0, snapshot}));

    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.CanRedo());
    EXPECT_EQ(doc.RedoHistory().Depth(), 1);
    doc.Undo();
    EXPECT_EQ(errors.size(), 1);
}

TEST(UndoWithoutTemporaryFolder, HistoriesStayClosedAndTheCommandsStillWork)
{
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/nonexistent/tessarix-undo");
    {
        CTessarixDoc doc(std::make_unique<RequestRecorder>());
        doc.OnNewDocument();
        doc.InsertPoint(1, 1, {50});
        EXPECT_EQ(doc.PointCount(), 1);
        EXPECT_FALSE(doc.UndoHistory().IsOpen());
        EXPECT_FALSE(doc.CanUndo());
        EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("Can't Undo"));
        doc.Undo();
        EXPECT_EQ(doc.PointCount(), 1);
    }
    if (saved.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved);
}

}  // namespace
