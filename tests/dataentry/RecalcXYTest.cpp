// Position layout: the order in which points are placed, the questions at OK, the remembered
// parameters, the preview geometry, and the dialog's spins and openings.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <vector>

#include "SetupTestDoubles.h"
#include "dataentry/RecalcXYCoordinateDlg.h"
#include "dataentry/RecalcXYModel.h"
#include "dataentry/RecalcXYStatic.h"
#include "dataentry/SetupFieldsDlg.h"
#include "util/KWProfileStore.h"

namespace {

using Points = std::vector<std::pair<float, float>>;

Points Pairs(const RecalcXYPlacement& p)
{
    Points out;
    for (size_t i = 0; i < p.x.size(); ++i)
        out.emplace_back(p.x[i], p.y[i]);
    return out;
}

RecalcXYLayout Raster3x2()
{
    RecalcXYLayout l;
    l.xCount = 3;
    l.yCount = 2;
    l.xStart = 0.0f;
    l.yStart = 0.0f;
    return l;
}

struct PlacementCase {
    const char* name;
    int fillOrder;
    int startFrom;
    bool serpentine;
    Points expected;
};
void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class RecalcXYPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(RecalcXYPlacementTest, PlacesSixPointsOnAThreeByTwoRaster)
{
    RecalcXYLayout l = Raster3x2();
    l.fillOrder = GetParam().fillOrder;
    l.startFrom = GetParam().startFrom;
    l.serpentine = GetParam().serpentine;
    const RecalcXYPlacement p = PlaceRecalcXYPoints(l, 6);
    EXPECT_EQ(p.placed, 6);
    EXPECT_EQ(Pairs(p), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecalcXYPlacementTest,
    ::testing::Values(
        PlacementCase{"TopLeftRows", FillRowMajor, StartTopLeft, false,
                      {{0.5f, 1.5f}, {1.5f, 1.5f}, {2.5f, 1.5f}, {0.5f, 0.5f}, {1.5f, 0.5f}, {2.5f, 0.5f}}},
        PlacementCase{"TopLeftRowsSerpentine", FillRowMajor, StartTopLeft, true,
                      {{0.5f, 1.5f}, {1.5f, 1.5f}, {2.5f, 1.5f}, {2.5f, 0.5f}, {1.5f, 0.5f}, {0.5f, 0.5f}}},
        PlacementCase{"BottomRightColumnsSerpentine", FillColumnMajor, StartBottomRight, true,
                      {{2.5f, 0.5f}, {2.5f, 1.5f}, {1.5f, 1.5f}, {1.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 1.5f}}},
        PlacementCase{"TopRightRows", FillRowMajor, StartTopRight, false,
                      {{2.5f, 1.5f}, {1.5f, 1.5f}, {0.5f, 1.5f}, {2.5f, 0.5f}, {1.5f, 0.5f}, {0.5f, 0.5f}}},
        PlacementCase{"BottomLeftColumns", FillColumnMajor, StartBottomLeft, false,
                      {{0.5f, 0.5f}, {0.5f, 1.5f}, {1.5f, 0.5f}, {1.5f, 1.5f}, {2.5f, 0.5f}, {2.5f, 1.5f}}},
        PlacementCase{"TopLeftColumnsSerpentine", FillColumnMajor, StartTopLeft, true,
                      {{0.5f, 1.5f}, {0.5f, 0.5f}, {1.5f, 0.5f}, {1.5f, 1.5f}, {2.5f, 1.5f}, {2.5f, 0.5f}}},
        PlacementCase{"BottomRightRowsSerpentine", FillRowMajor, StartBottomRight, true,
                      {{2.5f, 0.5f}, {1.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 1.5f}, {1.5f, 1.5f}, {2.5f, 1.5f}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecalcXYModel, OffsetsAndCellSizeRoundInSinglePrecision)
{
    RecalcXYLayout l;
    l.xCount = 2;
    l.yCount = 2;
    l.width = 0.1f;
    l.height = 3.0f;
    l.xStart = 0.1f;
    l.yStart = -1.0f;
    const RecalcXYPlacement p = PlaceRecalcXYPoints(l, 4);
    // 0.1 + 1.5 × 0.1, each step in float.
    EXPECT_EQ(p.x[1], 0.1f + float(1.5f * 0.1f));
    EXPECT_EQ(p.y[0], -1.0f + 4.5f);
    EXPECT_EQ(p.y[2], -1.0f + 1.5f);
}

struct CountCase {
    const char* name;
    int pointCount;
    int question;
    int placed;
};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class RecalcXYCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(RecalcXYCount, AsksWhenPointsAndCellsDiffer)
{
    const RecalcXYLayout l = Raster3x2();
    const RecalcXYPlacement p = PlaceRecalcXYPoints(l, GetParam().pointCount);
    EXPECT_EQ(RecalcXYOkQuestion(l, GetParam().pointCount), GetParam().question);
    EXPECT_EQ(p.placed, GetParam().placed);
    ASSERT_EQ(int(p.x.size()), GetParam().pointCount);
    for (int i = p.placed; i < GetParam().pointCount; ++i) {
        EXPECT_EQ(p.x[size_t(i)], 0.0f) << i;
        EXPECT_EQ(p.y[size_t(i)], 0.0f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RecalcXYCount,
                         ::testing::Values(CountCase{"NoPoints", 0, 415, 0}, CountCase{"Four", 4, 415, 4},
                                           CountCase{"Six", 6, 0, 6}, CountCase{"Eight", 8, 416, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecalcXYModel, CopyReplacesOnlyTheFirstEntries)
{
    const RecalcXYPlacement p = PlaceRecalcXYPoints(Raster3x2(), 2);
    CTXFloatArray longer{9, 9, 9, 9};
    CTXFloatArray shorter{9};
    CopyRecalcXYPlacement(p, &longer, &shorter);
    EXPECT_EQ(longer, (CTXFloatArray{0.5f, 1.5f, 9, 9}));
    EXPECT_EQ(shorter, (CTXFloatArray{1.5f, 1.5f}));
}

TEST(RecalcXYModel, SpinClampsToItsRange)
{
    const struct { int value, delta, low, high, expected; } rows[] = {
        {2, -1, 2, 1000, 2}, {3, -1, 2, 1000, 2}, {1000, +1, 2, 1000, 1000},
        {4, -1, 4, 20, 4}, {20, +1, 4, 20, 20}, {0, +1, 2, 1000, 2}, {INT_MAX, +1, 4, 20, 20},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RecalcXYSpin(r.value, r.delta, r.low, r.high), r.expected) << r.value;
}

// ---- remembered parameters ----------------------------------------------------------------

struct ProfileFixture : ::testing::Test {
    QTemporaryDir dir;
    QString Ini() const { return dir.filePath(QStringLiteral("profile.ini")); }
    std::unique_ptr<CKWProfileStore> NewStore() const
    {
        return std::make_unique<CKWProfileStore>(std::make_unique<QSettings>(Ini(), QSettings::IniFormat));
    }
};

using RecalcXYProfile = ProfileFixture;

TEST_F(RecalcXYProfile, EmptyProfileGivesTheDefaults)
{
    auto store = NewStore();
    const RecalcXYLayout l = LoadRecalcXYLayout(*store);
    EXPECT_EQ(l.xCount, 5);
    EXPECT_EQ(l.yCount, 5);
    EXPECT_FLOAT_EQ(l.width, 1.0f);
    EXPECT_FLOAT_EQ(l.xStart, 0.1f);
    EXPECT_FLOAT_EQ(l.yStart, 0.1f);
    EXPECT_EQ(l.fillOrder, FillRowMajor);
    EXPECT_EQ(l.startFrom, StartTopLeft);
    EXPECT_EQ(l.fontSize, 8);
}

TEST_F(RecalcXYProfile, StoredLayoutComesBackInTheNextRunWithoutSerpentine)
{
    {
        auto store = NewStore();
        RecalcXYLayout l;
        l.xCount = 7;
        l.yCount = 3;
        l.width = 2.5f;
        l.height = 0.75f;
        l.xStart = -1.0f;
        l.yStart = 4.0f;
        l.fillOrder = FillColumnMajor;
        l.serpentine = true;
        l.startFrom = StartBottomLeft;
        l.fontSize = 12;
        StoreRecalcXYLayout(*store, l);
        store->WriteBack();
    }
    QSettings raw(Ini(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("RecalcXYCoordinate/Width")).toString(), QStringLiteral("2.500000"));
    EXPECT_FALSE(raw.contains(QStringLiteral("RecalcXYCoordinate/Serpentine")));

    auto store = NewStore();
    const RecalcXYLayout l = LoadRecalcXYLayout(*store);
    EXPECT_EQ(l.xCount, 7);
    EXPECT_EQ(l.yCount, 3);
    EXPECT_FLOAT_EQ(l.width, 2.5f);
    EXPECT_FLOAT_EQ(l.height, 0.75f);
    EXPECT_FLOAT_EQ(l.xStart, -1.0f);
    EXPECT_FLOAT_EQ(l.yStart, 4.0f);
    EXPECT_EQ(l.fillOrder, FillColumnMajor);
    EXPECT_FALSE(l.serpentine);
    EXPECT_EQ(l.startFrom, StartBottomLeft);
    EXPECT_EQ(l.fontSize, 12);
}

TEST_F(RecalcXYProfile, HandEditedValuesAreBroughtIntoRange)
{
    {
        QSettings raw(Ini(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("RecalcXYCoordinate/XCount"), 0);
        raw.setValue(QStringLiteral("RecalcXYCoordinate/YCount"), 5000);
        raw.setValue(QStringLiteral("RecalcXYCoordinate/StartFrom"), 9);
        raw.setValue(QStringLiteral("RecalcXYCoordinate/FontSize"), 1);
        raw.setValue(QStringLiteral("RecalcXYCoordinate/WndWidth"), 10);
    }
    auto store = NewStore();
    const RecalcXYLayout l = LoadRecalcXYLayout(*store);
    EXPECT_EQ(l.xCount, 2);
    EXPECT_EQ(l.yCount, 1000);
    EXPECT_EQ(l.startFrom, StartBottomLeft);
    EXPECT_EQ(l.fontSize, 4);
    int w = 0, h = 0;
    LoadRecalcXYWindowSize(*store, 400, 300, &w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
}

// ---- preview ------------------------------------------------------------------------------

TEST(RecalcXYPreview, KeepsTheRasterAspectAndNumbersThePoints)
{
    const RecalcXYLayout l = Raster3x2();
    const RecalcXYPlacement p = PlaceRecalcXYPoints(l, 4);
    // A client wider than 3:2: the width shrinks to 300 (centred), then 3 pixels come off.
    const RecalcXYPreview v = ComputeRecalcXYPreview(l, p, QRectF(0, 0, 400, 200));
    ASSERT_FALSE(v.empty);
    EXPECT_EQ(v.outline, QRectF(53, 3, 294, 194));
    EXPECT_EQ(v.verticals, (std::vector<double>{151, 249}));
    EXPECT_EQ(v.horizontals, (std::vector<double>{100}));
    ASSERT_EQ(v.labels.size(), 4u);
    EXPECT_EQ(v.labels[0].text, QStringLiteral("1"));
    EXPECT_EQ(v.labels[3].text, QStringLiteral("4"));
    // Point 1 is the centre of the top-left cell, point 4 that of the bottom-left cell.
    EXPECT_DOUBLE_EQ(v.labels[0].at.x(), 53 + 49.0);
    EXPECT_DOUBLE_EQ(v.labels[0].at.y(), 3 + 48.5);
    EXPECT_DOUBLE_EQ(v.labels[3].at.y(), 3 + 145.5);
}

TEST(RecalcXYPreview, TallClientShrinksItsHeight)
{
    RecalcXYLayout l = Raster3x2();
    l.xStart = 10.0f;
    l.yStart = 20.0f;
    const RecalcXYPreview v = ComputeRecalcXYPreview(l, PlaceRecalcXYPoints(l, 6), QRectF(0, 0, 306, 400));
    EXPECT_EQ(v.outline, QRectF(3, 101, 300, 198));
    // The offsets move the points, not the picture.
    EXPECT_DOUBLE_EQ(v.labels[0].at.x(), 3 + 50.0);
    EXPECT_DOUBLE_EQ(v.labels[5].at.y(), 101 + 148.5);
}

TEST(RecalcXYPreview, RasterWithoutAreaDrawsNothing)
{
    RecalcXYLayout l = Raster3x2();
    l.width = 0.0f;
    EXPECT_TRUE(ComputeRecalcXYPreview(l, PlaceRecalcXYPoints(l, 6), QRectF(0, 0, 300, 200)).empty);
    l.width = -1.0f;
    EXPECT_TRUE(ComputeRecalcXYPreview(l, PlaceRecalcXYPoints(l, 6), QRectF(0, 0, 300, 200)).empty);
    EXPECT_TRUE(ComputeRecalcXYPreview(Raster3x2(), {}, QRectF(0, 0, 4, 4)).empty);
}

TEST(RecalcXYPreview, DrawsGreyRasterBlackOutlineAndNumbers)
{
    const RecalcXYLayout l = Raster3x2();
    const RecalcXYPreview v = ComputeRecalcXYPreview(l, PlaceRecalcXYPoints(l, 6), QRectF(0, 0, 400, 200));
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawRecalcXYPreview(painter, v, 20, 96);
    }
    EXPECT_EQ(image.pixelColor(151, 20), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(120, 100), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(53, 150), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(20, 100), QColor(Qt::white));
    // Some dark pixels of the number "1" around the centre of the first cell.
    int dark = 0;
    for (int y = 35; y < 68; ++y)
        for (int x = 85; x < 120; ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);
}

// ---- the dialog ---------------------------------------------------------------------------

struct RecalcXYDialogTest : ProfileFixture {
    std::unique_ptr<CKWProfileStore> store = NewStore();
    CPromptRecorder prompt;

    std::unique_ptr<CRecalcXYCoordinateDlg> Open(int pointCount)
    {
        auto dlg = std::make_unique<CRecalcXYCoordinateDlg>(pointCount, nullptr, store.get());
        dlg->show();
        return dlg;
    }
    static void Set(CRecalcXYCoordinateDlg& dlg, CRecalcXYCoordinateDlg::Field f, const QString& text)
    {
        dlg.FieldEdit(f)->setText(text);
    }
    static void Make3x2(CRecalcXYCoordinateDlg& dlg)
    {
        Set(dlg, CRecalcXYCoordinateDlg::XCount, QStringLiteral("3"));
        Set(dlg, CRecalcXYCoordinateDlg::YCount, QStringLiteral("2"));
        Set(dlg, CRecalcXYCoordinateDlg::XStart, QStringLiteral("0"));
        Set(dlg, CRecalcXYCoordinateDlg::YStart, QStringLiteral("0"));
    }
    static void ClickOk(CRecalcXYCoordinateDlg& dlg)
    {
        QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
};

TEST_F(RecalcXYDialogTest, PlacementFollowsEveryFieldChange)
{
    auto dlg = Open(6);
    Make3x2(*dlg);
    EXPECT_EQ(dlg->Placement().x[3], 0.5f);
    QTest::mouseClick(dlg->Serpentine(), Qt::LeftButton);
    EXPECT_EQ(dlg->Placement().x[3], 2.5f);
    QTest::mouseClick(dlg->ColumnMajor(), Qt::LeftButton);
    dlg->StartFrom()->setCurrentIndex(StartBottomRight);
    EXPECT_EQ(Pairs(dlg->Placement()),
              (Points{{2.5f, 0.5f}, {2.5f, 1.5f}, {1.5f, 1.5f}, {1.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 1.5f}}));
    EXPECT_EQ(dlg->PreviewWidget()->Preview().labels.size(), 6u);
}

TEST_F(RecalcXYDialogTest, TooFewPointsAskAndCancelKeepsTheDialogOpen)
{
    auto dlg = Open(4);
    Make3x2(*dlg);
    prompt.answer = PromptAnswer::Cancel;
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Questions().size(), 1);
    EXPECT_TRUE(prompt.Questions()[0].startsWith(QStringLiteral("WARNING! The number of measurements is not enough")));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Placement().placed, 4);
}

TEST_F(RecalcXYDialogTest, TooManyPointsAskAndOkLeavesTheRestAtZero)
{
    auto dlg = Open(8);
    Make3x2(*dlg);
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Questions().size(), 1);
    EXPECT_TRUE(prompt.Questions()[0].startsWith(QStringLiteral("WARNING! The number of measurements is greater")));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Placement().x[6], 0.0f);
    EXPECT_EQ(dlg->Placement().y[7], 0.0f);
    EXPECT_EQ(store->ReadInt(QStringLiteral("RecalcXYCoordinate"), QStringLiteral("XCount"), 0), 3);
}

TEST_F(RecalcXYDialogTest, MatchingCountAsksNothing)
{
    auto dlg = Open(6);
    Make3x2(*dlg);
    ClickOk(*dlg);
    EXPECT_TRUE(prompt.Questions().isEmpty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(RecalcXYDialogTest, SpinsStayWithinTheirRanges)
{
    auto dlg = Open(6);
    Set(*dlg, CRecalcXYCoordinateDlg::XCount, QStringLiteral("3"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dlg->Spin(CRecalcXYCoordinateDlg::XCount)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(dlg->FieldEdit(CRecalcXYCoordinateDlg::XCount)->text(), QStringLiteral("2"));
    EXPECT_EQ(dlg->Layout().xCount, 2);
    Set(*dlg, CRecalcXYCoordinateDlg::FontSize, QStringLiteral("19"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dlg->Spin(CRecalcXYCoordinateDlg::FontSize)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(dlg->Layout().fontSize, 20);
    Set(*dlg, CRecalcXYCoordinateDlg::FontSize, QStringLiteral("5"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dlg->Spin(CRecalcXYCoordinateDlg::FontSize)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(dlg->Layout().fontSize, 4);
}

TEST_F(RecalcXYDialogTest, TypedCountOutsideItsRangeIsRefusedAtOk)
{
    auto dlg = Open(6);
    Set(*dlg, CRecalcXYCoordinateDlg::YCount, QStringLiteral("1"));
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("Enter an integer between 2 and 1000."));
    EXPECT_EQ(dlg->focusWidget(), dlg->FieldEdit(CRecalcXYCoordinateDlg::YCount));
    EXPECT_NE(dlg->result(), QDialog::Accepted);
}

// The fields showed six significant digits and were read back: opening the dialog and pressing
// OK turned a remembered offset of 12345.55 into 12345.5.
TEST_F(RecalcXYDialogTest, ShownValuesReadBackWithEveryDigit)
{
    store->WriteFloat(QStringLiteral("RecalcXYCoordinate"), QStringLiteral("XStart"), 12345.55f);
    store->WriteFloat(QStringLiteral("RecalcXYCoordinate"), QStringLiteral("Width"), 0.123456789f);
    auto dlg = Open(25);
    ClickOk(*dlg);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Layout().xStart, 12345.55f);
    EXPECT_EQ(dlg->Layout().width, 0.123456789f);
    EXPECT_EQ(store->ReadFloat(QStringLiteral("RecalcXYCoordinate"), QStringLiteral("XStart"), 0.0f), 12345.55f);
}

TEST_F(RecalcXYDialogTest, SerpentineStartsOffAtEveryOpening)
{
    {
        auto dlg = Open(6);
        QTest::mouseClick(dlg->Serpentine(), Qt::LeftButton);
        QTest::mouseClick(dlg->ColumnMajor(), Qt::LeftButton);
        ASSERT_TRUE(dlg->Serpentine()->isChecked());
        Make3x2(*dlg);
        ClickOk(*dlg);
        ASSERT_EQ(dlg->result(), QDialog::Accepted);
    }
    auto again = Open(6);
    EXPECT_FALSE(again->Serpentine()->isChecked());
    EXPECT_FALSE(again->Layout().serpentine);
    EXPECT_TRUE(again->ColumnMajor()->isChecked());
}

TEST_F(RecalcXYDialogTest, RemembersItsWindowSize)
{
    {
        auto dlg = Open(6);
        dlg->resize(dlg->width() + 150, dlg->height() + 90);
        QTest::qWait(0);
    }
    const QSize designed = CRecalcXYCoordinateDlg::DesignedSize();
    auto again = Open(6);
    EXPECT_GE(again->width(), designed.width() + 150);
    EXPECT_GE(again->height(), designed.height() + 90);
}

// The entry point the Edit Data dialog calls: OK replaces the first N coordinates, Cancel none.
TEST_F(ProfileFixture, RunDialogReplacesTheFirstCoordinatesOnOk)
{
    CKWProfileStore::UseIniFile(Ini());
    for (const bool ok : {false, true}) {
        QTimer::singleShot(0, [ok] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            ok ? dlg->accept() : dlg->reject();
        });
        CTXFloatArray x(26, 7.0f);
        CTXFloatArray y(3, 7.0f);
        EXPECT_EQ(RunRecalcXYDialog(nullptr, 25, &x, &y), ok);
        if (ok) {
            // The default 5 × 5 raster of unit cells, offset by 0.1, starting at the top left.
            EXPECT_FLOAT_EQ(x[0], 0.6f);
            EXPECT_FLOAT_EQ(y[0], 4.6f);
            EXPECT_FLOAT_EQ(x[24], 4.6f);
            EXPECT_FLOAT_EQ(y[24], 0.6f);
            EXPECT_EQ(x[25], 7.0f);
            EXPECT_EQ(y.size(), 25u);
        } else {
            EXPECT_EQ(x, CTXFloatArray(26, 7.0f));
        }
    }
}

}  // namespace
