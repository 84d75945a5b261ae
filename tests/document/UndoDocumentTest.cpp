// Undo and redo through the document: every step kind restores exactly what it recorded (the
// document file bytes are compared, so no field can slip), the order of the two histories,
// the notifications, and what a damaged or missing history does.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "document/MapComputations.h"
#include "document/MapNotify.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"
#include "document/UndoStackSnapshot.h"
#include "util/Archive.h"

namespace {

struct Requests {
    std::vector<int> flags;  // one entry per request round (column 0)
};

class RecordingMaps : public IMapComputations {
public:
    explicit RecordingMaps(std::shared_ptr<Requests> r) : m_requests(std::move(r)) {}
    void Request(const CTessarixDoc&, int column, bool, int flags) override
    {
        if (column == 0)
            m_requests->flags.push_back(flags);
    }
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }

private:
    std::shared_ptr<Requests> m_requests;
};

class RecordingNotify : public IMapNotify {
public:
    intptr_t SendMapNotify(int code, intptr_t argument) override
    {
        if (code == MapNotifyDocumentChanged)
            documentChanged.push_back(int(argument));
        return 0;
    }
    void PostMapNotify(int, intptr_t) override {}
    std::vector<int> documentChanged;
};

class UndoDocument : public ::testing::Test {
protected:
    UndoDocument() : requests(std::make_shared<Requests>()), doc(std::make_unique<RecordingMaps>(requests))
    {
        doc.OnNewDocument();
        doc.SetNotify(&notify);
        doc.SetUndoErrorHandler([this](const QString& m) { errors << m; });
    }
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

    std::shared_ptr<Requests> requests;
    RecordingNotify notify;
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
    EXPECT_EQ(requests->flags.back(), RECALC_ALL);

    doc.Redo();
    EXPECT_EQ(Bytes(), after);
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("Can't Redo"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(UndoDocument, TwoPropertyChangesComeBackInReverseOrderAndANewChangeEmptiesRedo)
{
    CTessarixSettings& s = doc.Settings();
    doc.BeginUndoableChange(StepProperty, RECALC_BITMAP, PropXLabel);
    s.xAxis.label = QStringLiteral("Metres");
    doc.BeginUndoableChange(StepProperty, RECALC_BITMAP, PropGeneral);
    s.contourPen = PenRecord{PenDash, 3, 0, 0x0000FF};

    doc.Undo();
    EXPECT_EQ(s.contourPen, PenRecord{});
    EXPECT_EQ(s.xAxis.label, QStringLiteral("Metres"));
    doc.Undo();
    EXPECT_EQ(s.xAxis.label, QStringLiteral("X"));
    EXPECT_EQ(doc.Axis(CTessarixDoc::AxisX).title, QStringLiteral("X"));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.RedoHistory().Depth(), 2);

    doc.BeginUndoableChange(StepMapMode, RECALC_BITMAP);
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

    notify.documentChanged.clear();
    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(doc.Column(0).name, QStringLiteral("SLM"));
    EXPECT_EQ(doc.Column(5).enabled, 0);
    ASSERT_FALSE(notify.documentChanged.empty());
    EXPECT_EQ(notify.documentChanged.front(), ChangeData);
    // The set of enabled columns changed back, so the tabs are rebuilt as well.
    EXPECT_EQ(notify.documentChanged.back(), ChangeColumns);
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

// One row per step kind (and per property group): the change a command makes after
// recording; undo must give back the file bytes from before, redo those from after.
struct StepRow {
    const char* name;
    UndoStepKind kind;
    int recalcFlags;
    int argument;
    std::function<void(CTessarixDoc&)> change;
};

void PrintTo(const StepRow& row, std::ostream* os)
{
    *os << row.name;
}

class UndoEveryKind : public UndoDocument, public ::testing::WithParamInterface<StepRow> {};

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

TEST_P(UndoEveryKind, UndoGivesBackTheBytesFromBeforeAndRedoThoseFromAfter)
{
    AddPoints();
    const StepRow& row = GetParam();
    const QByteArray before = Bytes();
    doc.BeginUndoableChange(row.kind, row.recalcFlags, row.argument);
    row.change(doc);
    const QByteArray after = Bytes();
    ASSERT_NE(before, after) << "the row changes nothing the file holds";

    requests->flags.clear();
    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    ASSERT_FALSE(requests->flags.empty());
    EXPECT_EQ(requests->flags.back() & row.recalcFlags, row.recalcFlags);
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_EQ(doc.Column(c).values.size(), size_t(doc.PointCount()));

    doc.Redo();
    EXPECT_EQ(Bytes(), after);
    doc.Undo();
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(errors.isEmpty());
}

const StepRow kStepRows[] = {
    {"InsertPointWithDisabledColumns", StepInsertPoint, 7, 0,
     [](CTessarixDoc& d) { d.InsertPoint(9.0f, 8.0f, {7.0f, 6.0f}); }},
    {"EditDataTableAndBoundary", StepEditData, 7, 0,
     [](CTessarixDoc& d) {
         std::array<CTXFloatArray, kColumnCount> v;
         v[0] = {1, 2};
         v[3] = {3, 4};
         d.SetPointTable(2, {0.1f, 0.2f}, {0.3f, 0.4f}, v);
         d.Settings().useBoundaryConditions = 0;
         d.Settings().boundaryLayout = 2;
         d.Settings().boundaryLevel = 42.5f;
         d.Settings().boundaryDistance = 0.25f;
     }},
    {"MapSetupNamesOnly", StepMapSetup, 4, 1,
     [](CTessarixDoc& d) { d.Column(3).name = QStringLiteral("Lärm"); }},
    {"GridAndInputGrid", StepGrid, 7, 0,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.gridCountX = 150;
         s.gridCountY = 12;
         s.extent = {-1.0f, 2.0f, -3.0f, 4.0f};
         s.interpFunction = ThinPlateSpline;
         s.interpParameter = 0.7f;
         d.InputGrid() = {1, 0.5f, 0.25f, 1, 0.125f, 2.0f};
     }},
    {"ImageScale", StepImageScale, 4, 0,
     [](CTessarixDoc& d) { d.Settings().imageRect = {-5.0f, -6.0f, 7.0f, 8.0f}; }},
    {"ImageClip", StepImageClip, 4, 0,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.clipTarget = ClipMapAndImage;
         s.clipFillMode = 1;
         s.clipPolylines = {3, 2};
         s.conditioningFlags = {1, 0};
         s.conditioningLevels = {45.0f, 50.0f};
         s.conditioningSteps = {2, 1};
         s.clipPoints = {{0, 0}, {1, 0}, {1, 1}, {0.5f, 0.5f}, {0.25f, 0.75f}};
         s.autoBoundaryPolyline = 1;
     }},
    {"PropertyXAxisFontRangeLabel", StepProperty, 4, PropXRange,
     [](CTessarixDoc& d) {
         AxisSettings& a = d.Settings().xAxis;
         a.start = -10.0f;
         a.step = 2.5f;
         a.gridPen = {PenDot, 2, 0, 0x123456};
         a.label = QStringLiteral("East");
         a.hidden = 1;
         a.font.height = 120;
     }},
    {"PropertyYAxisLabel", StepProperty, 4, PropYLabel,
     [](CTessarixDoc& d) { d.Settings().yAxis.label = QStringLiteral("North"); }},
    {"PropertyColourAxisAndScaleMode", StepProperty, 4, PropZScaleMode,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.zAxis.stop = 95.0f;
         s.zAxis.fontColor = 0xFF;
         s.zAxis.label = QStringLiteral("dB(A)");
         s.scaleMode = 1;
         s.fixedAmplitude = 35.0f;
     }},
    {"PropertyGeneralWithContourPen", StepProperty, 4, PropGeneral,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.contourPen = {PenDashDot, 2, 0, 0x00FF00};
         s.borderPen.width = 3;
         s.windowColor = 0x101010;
         s.generalValue = 5;
     }},
    {"PropertyColourScale", StepProperty, 4, PropColorScale,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.useColorScaleOnMap = 0;
         s.colorScale.SetItems({{0.0f, 0x000000}, {1.0f, 0xFFFFFF}});
     }},
    {"PropertyContourLabels", StepProperty, 4, PropContourLabels,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.showLabels = 0;
         s.labelDistance = 80;
         s.labelBkMode = 1;
         s.curveTolerance = 1.5f;
     }},
    {"PropertyPositions", StepProperty, 4, PropPositions,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.symbolSet = QStringLiteral("Symbols");
         s.symbol = 3;
         s.showValues = 1;
         s.relativePosition = 4;
     }},
    {"ApplyChangesCarriesEverySetting", StepProperty, 4, 0,
     [](CTessarixDoc& d) {
         CTessarixSettings& s = d.Settings();
         s.xAxis.label = QStringLiteral("a");
         s.zAxis.start = 10.0f;
         s.contourPen.width = 4;
         s.symbolSize = 20;
         s.valueDecimals = 3;
     }},
    {"MapMode", StepMapMode, 4, 0, [](CTessarixDoc& d) { d.Settings().mapMode = MapModeImageColorMap; }},
    {"Image", StepImage, 4, 0,
     [](CTessarixDoc& d) { d.Image() = PictureRecord(2, QByteArray(64, '\x11'), QStringLiteral("/plans/a.bmp")); }},
    {"AutoScaleColor", StepAutoScaleColor, 2, 0,
     [](CTessarixDoc& d) {
         d.Settings().zAxis.start = 42.0f;
         d.Settings().zAxis.stop = 70.0f;
     }},
    {"MoveColorScale", StepMoveColorScale, 2, 0,
     [](CTessarixDoc& d) {
         d.Settings().zAxis.start = 22.0f;
         d.Settings().zAxis.hidden = 1;
     }},
};

INSTANTIATE_TEST_SUITE_P(Undo, UndoEveryKind, ::testing::ValuesIn(kStepRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoDocument, PropertyStepOfAnUnknownGroupRestoresNothingButStillRequestsMaps)
{
    doc.BeginUndoableChange(StepProperty, RECALC_BITMAP, 9000);
    doc.Settings().xAxis.label = QStringLiteral("kept");
    requests->flags.clear();
    doc.Undo();
    EXPECT_EQ(doc.Settings().xAxis.label, QStringLiteral("kept"));
    ASSERT_EQ(requests->flags.size(), 1u);
    EXPECT_EQ(requests->flags[0] & RECALC_BITMAP, RECALC_BITMAP);
}

TEST_F(UndoDocument, MoveColorScaleUndoAlsoMovesTheDrawnColourAxisBack)
{
    doc.MoveColorScale(true);
    ASSERT_FLOAT_EQ(doc.Axis(CTessarixDoc::AxisZ).start, 22.0f);
    requests->flags.clear();
    doc.Undo();
    EXPECT_FLOAT_EQ(doc.Settings().zAxis.start, 20.0f);
    EXPECT_FLOAT_EQ(doc.Axis(CTessarixDoc::AxisZ).start, 20.0f);
    EXPECT_EQ(doc.RedoMenuText(), QStringLiteral("&Redo Move Color Scale\t(Ctrl+Y)"));
    ASSERT_EQ(requests->flags.size(), 1u);
    EXPECT_EQ(requests->flags[0] & RECALC_CONTOURS, RECALC_CONTOURS);
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
        auto requests = std::make_shared<Requests>();
        CTessarixDoc doc(std::make_unique<RecordingMaps>(requests));
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
