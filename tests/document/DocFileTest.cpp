#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <unistd.h>

#include "../support/Recorders.h"
#include "document/TessarixDoc.h"
#include "util/Archive.h"
#include "util/SafeFileWriter.h"

namespace {

std::unique_ptr<CTessarixDoc> NewDoc()
{
    auto doc = std::make_unique<CTessarixDoc>(std::make_unique<RequestRecorder>());
    doc->OnNewDocument();
    return doc;
}

// Gives every field of the settings a value other than its default.
void FillEverything(CTessarixSettings& s)
{
    int k = 1;
    auto pen = [&] { return PenRecord{uint32_t(k % 6), k + 1, 0, TxColor(0x010203 * ++k)}; };
    auto font = [&] {
        FontRecord f;
        f.height = 100 + ++k;
        f.weight = 700;
        f.italic = 1;
        f.charSet = 2;
        f.SetFace("DejaVu Sans");
        return f;
    };
    auto axis = [&](AxisSettings& a, float base) {
        a.font = font();
        a.fontColor = TxColor(0x0A0B0C + ++k);
        if (&a != &s.zAxis)  // the colour axis has no grid
            a.gridPen = pen();
        a.start = base + 0.1f;
        a.stop = base + 7.3f;
        a.step = 0.7f;
        a.hidden = 1;
    };
    s.borderPen = pen();
    s.cursorPen = pen();
    s.windowColor = 0x00112233;
    s.graphColor = 0x00445566;
    s.generalFont = font();
    s.generalFontColor = 0x778899;
    s.generalValue = 42;
    axis(s.xAxis, -3.0f);
    axis(s.yAxis, 11.0f);
    axis(s.zAxis, 40.0f);
    s.fixedAmplitude = 15.5f;
    s.scaleMode = 1;
    s.useBoundaryConditions = 0;
    s.valueBkMode = 1;
    s.valueExponentFormat = 1;
    s.valueDecimals = 3;
    s.contourPen = pen();
    s.mapMode = MapModeImageColorMap;
    s.text = QString::fromUtf8("Halle 3 \xE2\x80\x93 Nord");
    s.imageRect = {-1.5f, -2.5f, 41.0f, 26.0f};
    s.showLabels = 0;
    s.curveTolerance = 1.2f;
    s.labelDistance = 80;
    s.edgeDistance = 4;
    s.labelFont = font();
    s.labelFontColor = 0x00AA00;
    s.labelBkColor = 0x0000BB;
    s.labelBkMode = 1;
    s.showPositions = 0;
    s.showValues = 1;
    s.symbolSize = 14;
    s.symbol = 19;
    s.symbolSet = QStringLiteral("Symbols");
    s.valueFont = font();
    s.relativePosition = 5;
    s.valueFontColor = 0x123456;
    s.valueBkColor = 0x654321;
    s.useColorScaleOnMap = 0;
    s.colorScale.SetItems({{0.0f, 0x010101}, {0.3f, 0x00FF00}, {1.0f, 0xFF00FF}});
    s.gridCountX = 123;
    s.gridCountY = 456;
    s.extent = {-2.0f, 40.0f, -1.0f, 25.0f};
    s.interpFunction = RbfThinPlateSpline;
    s.interpParameter = 0.37f;
    s.boundaryLayout = 2;
    s.boundaryLevel = 61.5f;
    s.boundaryDistance = 0.8f;
    s.clipTarget = ClipMapAndImage;
    s.clipFillMode = 1;
    s.autoBoundaryPolyline = 1;
    s.clipPoints = {{0.1f, 0.1f}, {0.9f, 0.1f}, {0.9f, 0.9f}, {0.2f, 0.2f}, {0.3f, 0.2f}, {0.3f, 0.3f}, {0.2f, 0.35f}};
    s.clipPolylines = {3, 4};
    s.conditioningFlags = {1, 0};
    s.conditioningLevels = {70.5f, 55.0f};
    s.conditioningSteps = {2, 1};
    s.xAxis.label = QStringLiteral("x [m]");
    s.yAxis.label = QStringLiteral("y [m]");
    s.zAxis.label = QStringLiteral("dB(A)");
    // The colour scale spans the colour axis whenever settings are loaded or copied.
    s.colorScale.SetRange(s.zAxis.start, s.zAxis.stop);
}

void FillTable(CTessarixDoc& doc)
{
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount; ++c)
        values[size_t(c)] = {float(c) + 0.25f, -float(c), std::numeric_limits<float>::denorm_min()};
    doc.SetPointTable(3, {1.0f, 2.0f, -0.0f}, {3.0f, 1e-30f, 7.5f}, values);
    for (int c = 0; c < kColumnCount; ++c)
        doc.Column(c).enabled = c % 3 == 0 ? 1 : 0;
    doc.Column(5).name = QStringLiteral("Leq 5 min");
    doc.InputGrid() = {1, 0.5f, 0.25f, 1, 0.125f, 2.0f};
}

TEST(DocFile, NewDocumentHasItsKnownLayout)
{
    auto doc = NewDoc();
    const QByteArray bytes = doc->WriteFileBytes();
    ASSERT_EQ(bytes.size(), 1030);
    EXPECT_EQ(bytes.left(16), QByteArray("TSRT\0\0\0\0\0\0\0\0\x0C\0\0\0", 16));
    // First column record: schema 0, enabled 1, "SLM".
    EXPECT_EQ(bytes.mid(16, 12), QByteArray("\0\0\0\0\x01\0\0\0\x03SLM", 12));
    // The picture record of an empty picture, then ten reserved zero words.
    EXPECT_EQ(bytes.right(52), QByteArray(52, '\0'));
    // The settings record starts with version 2 right after the twelve columns (172 bytes).
    EXPECT_EQ(bytes.mid(16 + 172, 4), QByteArray("\x02\0\0\0", 4));
}

TEST(DocFile, EveryFieldRoundTripsBitForBit)
{
    auto doc = NewDoc();
    FillTable(*doc);
    FillEverything(doc->Settings());
    const QByteArray first = doc->WriteFileBytes();

    auto reread = NewDoc();
    ASSERT_EQ(reread->ReadFileBytes(first), DocFileStatus::Ok);
    const QByteArray second = reread->WriteFileBytes();
    ASSERT_EQ(second.size(), first.size());
    for (qsizetype i = 0; i < first.size(); ++i)
        ASSERT_EQ(second[i], first[i]) << "first difference at byte " << i;
    EXPECT_TRUE(static_cast<const TessarixSettingsFields&>(reread->Settings()) ==
                static_cast<const TessarixSettingsFields&>(doc->Settings()));
    EXPECT_EQ(reread->Settings().zAxis.label, QStringLiteral("dB(A)"));
    EXPECT_EQ(reread->Settings().text, doc->Settings().text);
    EXPECT_EQ(reread->InputGrid(), doc->InputGrid());
    EXPECT_EQ(reread->Column(5).name, QStringLiteral("Leq 5 min"));
    EXPECT_EQ(std::signbit(reread->X()[2]), true) << "-0 keeps its sign bit";
    EXPECT_EQ(reread->Column(11).values[2], std::numeric_limits<float>::denorm_min());
}

TEST(DocFile, EveryCutBeforeTheEndIsAnUnexpectedFormat)
{
    auto doc = NewDoc();
    FillTable(*doc);
    FillEverything(doc->Settings());
    doc->Settings().xAxis.label = QStringLiteral("X");  // default labels: no trailing label block
    doc->Settings().yAxis.label = QStringLiteral("Y");
    doc->Settings().zAxis.label = QStringLiteral("dB");
    const QByteArray full = doc->WriteFileBytes();
    auto reader = NewDoc();
    for (qsizetype cut = 0; cut < full.size(); ++cut)
        ASSERT_EQ(reader->ReadFileBytes(full.left(cut)), DocFileStatus::UnexpectedFormat) << "cut at " << cut;
    EXPECT_EQ(reader->ReadFileBytes(full), DocFileStatus::Ok);
}

QByteArray Patched(QByteArray bytes, qsizetype offset, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((uint32_t(value) >> (8 * i)) & 0xFF);
    return bytes;
}

struct BadFileCase {
    const char* name;
    qsizetype offset;  // where the int32 is patched
    int32_t value;
    DocFileStatus expected;
};

class BadFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFileTest, IsRefusedAndLeavesANewDocument)
{
    auto doc = NewDoc();
    const QByteArray bytes = Patched(doc->WriteFileBytes(), GetParam().offset, GetParam().value);
    auto reader = NewDoc();
    reader->InsertPoint(1, 1, {2});
    EXPECT_EQ(reader->ReadFileBytes(bytes), GetParam().expected);
    EXPECT_EQ(reader->PointCount(), 0);
    EXPECT_EQ(reader->ColumnCount(), kColumnCount);
    EXPECT_EQ(reader->Column(0).name, QStringLiteral("SLM"));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BadFileTest,
    ::testing::Values(BadFileCase{"magic_in_other_byte_order", 0, 0x54535254, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"file_version_1", 4, 1, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"huge_point_count", 8, 0x7FFFFFFF, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"negative_point_count", 8, -5, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"thirteen_columns", 12, 13, DocFileStatus::OpenFailed},
                      BadFileCase{"negative_columns", 12, -1, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"column_schema_1", 16, 1, DocFileStatus::UnexpectedFormat},
                      BadFileCase{"settings_version_3", 188, 3, DocFileStatus::UnexpectedFormat}),
    [](const auto& info) { return info.param.name; });

TEST(DocFile, ClippingCountsThatDoNotAddUpAreRefused)
{
    auto doc = NewDoc();
    CTessarixSettings& s = doc->Settings();
    s.clipPoints = {{0, 0}, {1, 0}, {1, 1}};
    s.clipPolylines = {3};
    s.conditioningFlags = {0};
    s.conditioningLevels = {50};
    s.conditioningSteps = {1};
    const QByteArray good = doc->WriteFileBytes();
    // The polyline count (1) is followed by its vertex count 3: make it 4.
    const QByteArray marker("\x01\0\0\0\x03\0\0\0\x03\0\0\0", 12);
    const qsizetype at = good.indexOf(marker);
    ASSERT_GT(at, 0);
    auto reader = NewDoc();
    EXPECT_EQ(reader->ReadFileBytes(Patched(good, at + 4, 4)), DocFileStatus::UnexpectedFormat);
    EXPECT_EQ(reader->ReadFileBytes(good), DocFileStatus::Ok);
    EXPECT_EQ(reader->Settings().clipPolylines, std::vector<int32_t>{3});
}

// Grid counts came from the file unchecked: INT32_MAX overflowed nx + 1 in the worker and
// 65535 x 65535 tried a grid of many gigabytes. A count outside what the Grid Setting dialog
// allows is refused on load, before anything is allocated for it.
struct GridCountCase {
    const char* name;
    int32_t countX, countY;
    DocFileStatus expected;
};

class GridCountOnLoadTest : public ::testing::TestWithParam<GridCountCase> {};

TEST_P(GridCountOnLoadTest, BeyondTheDialogIsAnUnexpectedFormat)
{
    const GridCountCase& c = GetParam();
    auto doc = NewDoc();
    doc->Settings().gridCountX = 777;  // a marker to find the two counts by
    doc->Settings().gridCountY = 778;
    const QByteArray good = doc->WriteFileBytes();
    const qsizetype at = good.indexOf(QByteArray("\x09\x03\0\0\x0a\x03\0\0", 8));
    ASSERT_GT(at, 0);
    const QByteArray bytes = Patched(Patched(good, at, c.countX), at + 4, c.countY);
    auto reader = NewDoc();
    EXPECT_EQ(reader->ReadFileBytes(bytes), c.expected);
    if (c.expected == DocFileStatus::Ok) {
        EXPECT_EQ(reader->Settings().gridCountX, c.countX);
        EXPECT_EQ(reader->Settings().gridCountY, c.countY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, GridCountOnLoadTest,
    ::testing::Values(GridCountCase{"largest_allowed", kMaxGridCount, kMaxGridCount, DocFileStatus::Ok},
                      GridCountCase{"one_by_one", 1, 1, DocFileStatus::Ok},
                      GridCountCase{"one_over_x", kMaxGridCount + 1, 20, DocFileStatus::UnexpectedFormat},
                      GridCountCase{"x_65535", 65535, 20, DocFileStatus::UnexpectedFormat},
                      GridCountCase{"y_int32_max", 20, INT32_MAX, DocFileStatus::UnexpectedFormat},
                      GridCountCase{"x_zero", 0, 20, DocFileStatus::UnexpectedFormat},
                      GridCountCase{"y_negative", 20, -3, DocFileStatus::UnexpectedFormat}),
    [](const auto& info) { return info.param.name; });

// Builds a file with an older settings record by hand, from the writer's own record.
QByteArray WithSettingsVersion(CTessarixDoc& doc, int version)
{
    QByteArray full = doc.WriteFileBytes();
    const qsizetype settingsAt = 16 + 172;
    QByteArray settings;
    CTXArchive ar(&settings);
    doc.Settings().Serialize(ar);
    QByteArray old = settings;
    old[0] = char(version);
    const int polylines = doc.Settings().PolylineCount();
    const int vertices = int(doc.Settings().clipPoints.size());
    // Tail of a version 2 record: auto flag + 3 × P per-polyline words, flag word, amplitude,
    // eight reserved.
    const qsizetype tail = 4 + 12 * polylines + 4 + 4 + 32;
    const qsizetype v2Only = 4 + 12 * polylines;
    old.remove(old.size() - tail, v2Only);
    if (version == 0) {
        // Version 0 has no extent: it sits after the grid counts, before the function.
        const qsizetype extentAt = old.size() - (4 + 4 + 32) - (8 * vertices + 4) - (4 * polylines + 4) - 28 - 16;
        old.remove(extentAt, 16);
    }
    full.replace(settingsAt, settings.size(), old);
    return full;
}

TEST(DocFile, VersionZeroTakesTheExtentFromTheAxes)
{
    auto doc = NewDoc();
    CTessarixSettings& s = doc->Settings();
    s.xAxis.start = 0;
    s.xAxis.stop = 40;
    s.yAxis.start = 0;
    s.yAxis.stop = 25;
    s.extent = {5, 6, 7, 8};
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(WithSettingsVersion(*doc, 0)), DocFileStatus::Ok);
    EXPECT_EQ(reader->Settings().extent, (MapExtent{0, 40, 0, 25}));
}

TEST(DocFile, VersionOneGivesPolylinesTheBoundaryLevel)
{
    auto doc = NewDoc();
    CTessarixSettings& s = doc->Settings();
    s.boundaryLevel = 63.0f;
    s.clipPoints = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    s.clipPolylines = {4};
    s.conditioningFlags = {1};
    s.conditioningLevels = {80};
    s.conditioningSteps = {5};
    s.autoBoundaryPolyline = 1;
    s.extent = {1, 2, 3, 4};
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(WithSettingsVersion(*doc, 1)), DocFileStatus::Ok);
    const CTessarixSettings& r = reader->Settings();
    EXPECT_EQ(r.extent, (MapExtent{1, 2, 3, 4}));
    EXPECT_EQ(r.conditioningFlags, std::vector<int32_t>{0});
    EXPECT_EQ(r.conditioningLevels, std::vector<float>{63.0f});
    EXPECT_EQ(r.conditioningSteps, std::vector<int32_t>{1});
    EXPECT_EQ(r.autoBoundaryPolyline, 0);
}

TEST(DocFile, FixedAmplitudeZeroReadsAsTwenty)
{
    auto doc = NewDoc();
    doc->Settings().fixedAmplitude = 0.0f;
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(doc->WriteFileBytes()), DocFileStatus::Ok);
    EXPECT_EQ(reader->Settings().fixedAmplitude, 20.0f);
}

TEST(DocFile, FewerColumnRecordsKeepTheDefaults)
{
    auto doc = NewDoc();
    doc->InsertPoint(1, 2, {3});
    QByteArray bytes = doc->WriteFileBytes();
    // Keep column 0 (schema, enabled, "SLM", one value) and drop the other eleven records.
    const qsizetype first = 16 + 4 + 4 + 4 + 4;
    qsizetype rest = 0;
    for (int c = 1; c < kColumnCount; ++c)
        rest += 4 + 4 + 1 + doc->Column(c).name.size() + 4;
    bytes.remove(first, rest);
    bytes = Patched(bytes, 12, 1);
    auto reader = NewDoc();
    ASSERT_EQ(reader->ReadFileBytes(bytes), DocFileStatus::Ok);
    EXPECT_EQ(reader->Column(0).values, CTXFloatArray{3});
    EXPECT_EQ(reader->Column(7).name, QStringLiteral("1 kHz"));
    EXPECT_EQ(reader->Column(7).enabled, 0);
    EXPECT_EQ(reader->Column(7).values.size(), 1u) << "padded to the point count";
}

TEST(DocFile, OpenAndSaveReportFileErrors)
{
    QTemporaryDir dir;
    auto doc = NewDoc();
    const QString missing = dir.filePath(QStringLiteral("nope.Tsrix"));
    EXPECT_EQ(doc->OnOpenDocument(missing), DocFileStatus::FileNotFound);
    EXPECT_TRUE(DocFileMessage(DocFileStatus::FileNotFound, missing).startsWith(missing + u'\n'));
    EXPECT_EQ(doc->OnSaveDocument(dir.filePath(QStringLiteral("no/such/folder/x.Tsrix"))),
              DocFileStatus::AccessDeniedWrite);
}

// Qt reports a file without read permission as OpenError, not PermissionsError, so the user
// read "Failed to open document." with no reason. The open's errno decides the message.
struct OpenErrorCase {
    const char* name;
    int systemError;
    DocFileStatus status;
    const char* message;  // %1 = the path
};

void PrintTo(const OpenErrorCase& row, std::ostream* os)
{
    *os << row.name;
}

class OpenWithoutReadPermissionSaysWhy : public ::testing::TestWithParam<OpenErrorCase> {};

TEST_P(OpenWithoutReadPermissionSaysWhy, MapsTheSystemErrorToItsMessage)
{
    const OpenErrorCase& c = GetParam();
    const QString path = QStringLiteral("/plans/hall.Tsrix");
    EXPECT_EQ(OpenErrorStatus(c.systemError), c.status);
    EXPECT_EQ(DocFileMessage(OpenErrorStatus(c.systemError), path), QString::fromUtf8(c.message).arg(path));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, OpenWithoutReadPermissionSaysWhy,
    ::testing::Values(
        OpenErrorCase{"no_read_permission", EACCES, DocFileStatus::ReadPermissionDenied,
                      "Unable to read from %1, you have no permission to read it."},
        OpenErrorCase{"not_permitted", EPERM, DocFileStatus::ReadPermissionDenied,
                      "Unable to read from %1, you have no permission to read it."},
        OpenErrorCase{"locked_by_another_program", EBUSY, DocFileStatus::AccessDeniedRead,
                      "Unable to read from %1, it is opened by someone else."},
        OpenErrorCase{"gone_after_the_check", ENOENT, DocFileStatus::FileNotFound,
                      "%1\nCannot find this file.\nVerify that the correct path and file name are given."},
        OpenErrorCase{"folder_in_the_path_is_a_file", ENOTDIR, DocFileStatus::FileNotFound,
                      "%1\nCannot find this file.\nVerify that the correct path and file name are given."},
        OpenErrorCase{"too_many_open_files", EMFILE, DocFileStatus::OpenFailed, "Failed to open document."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DocFile, UnreadableFileIsReportedAsNoPermission)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.Tsrix"));
    auto doc = NewDoc();
    ASSERT_EQ(doc->OnSaveDocument(path), DocFileStatus::Ok);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads the file whatever its permissions; the mapping test covers it";
    EXPECT_EQ(doc->OnOpenDocument(path), DocFileStatus::ReadPermissionDenied);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(DocFile, ADirectoryIsRefusedAsAFailedOpen)
{
    QTemporaryDir dir;
    auto doc = NewDoc();
    doc->InsertPoint(1, 1, {1});
    EXPECT_EQ(doc->OnOpenDocument(dir.path()), DocFileStatus::OpenFailed);
    EXPECT_EQ(doc->PointCount(), 0);
}

TEST(DocFile, SaveReplacesTheFileOnlyWhenComplete)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hall.Tsrix"));
    auto doc = NewDoc();
    doc->InsertPoint(1, 2, {88});
    ASSERT_EQ(doc->OnSaveDocument(path), DocFileStatus::Ok);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Title(), QStringLiteral("hall.Tsrix"));
    auto reader = NewDoc();
    ASSERT_EQ(reader->OnOpenDocument(path), DocFileStatus::Ok);
    EXPECT_EQ(reader->Column(0).values, CTXFloatArray{88});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("hall.Tsrix")})
        << "no temporary file is left behind";
}

TEST(DocFile, FailedOpenSetsUpANewDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.Tsrix"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("TSRT\0\0\0\0\x05\0\0\0", 12);
    f.close();
    auto doc = NewDoc();
    doc->InsertPoint(1, 1, {1});
    EXPECT_EQ(doc->OnOpenDocument(path), DocFileStatus::UnexpectedFormat);
    EXPECT_EQ(doc->PointCount(), 0);
    EXPECT_TRUE(doc->PathName().isEmpty());
    EXPECT_EQ(DocFileMessage(DocFileStatus::UnexpectedFormat, path), QStringLiteral("Unexpected file format."));
}

}  // namespace

namespace {
// Fails every write after the first with a full disk.
class DiskFillsUp : public IFileWriteFaults {
public:
    int Before(FileWriteStep step) override { return step == FileWriteStep::Write && m_writes++ > 0 ? ENOSPC : 0; }

private:
    int m_writes = 0;
};
}  // namespace

TEST(DocFile, FullDiskKeepsThePreviousFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hall.Tsrix"));
    auto doc = NewDoc();
    ASSERT_EQ(doc->OnSaveDocument(path), DocFileStatus::Ok);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    constexpr int kPoints = 20000;  // more than one write's worth
    CTXFloatArray xy(kPoints, 1.5f);
    std::array<CTXFloatArray, kColumnCount> values;
    values[0] = xy;
    doc->SetPointTable(kPoints, xy, xy, values);
    doc->SetModifiedFlag();
    DiskFillsUp full;
    const DocFileStatus status = doc->OnSaveDocument(path, &full);
    EXPECT_EQ(status, DocFileStatus::DiskFull);
    EXPECT_EQ(DocFileMessage(status, path), QStringLiteral("Destination disk drive is full."));
    EXPECT_TRUE(doc->IsModified()) << "nothing was saved";
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
}
