// The text blocks: placeholder, footer lines, measuring and drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPainter>

#include "print/TextBlock.h"
#include "util/TXCDC.h"

namespace {

CTXPrintSettings Block(int kind)
{
    CTXPrintSettings b;
    ResetPrintSettings(b, kind);
    return b;
}

TEST(BlockText, EveryPlaceholderOfTheTitleBecomesTheColumnName)
{
    CTXPrintSettings title = Block(PrintTitle);
    title.text = QStringLiteral("Map $ - $");
    EXPECT_EQ(BlockText(title, PrintTitle, QStringLiteral("Leq")), QStringLiteral("Map Leq - Leq"));
    EXPECT_EQ(BlockText(Block(PrintTitle), PrintTitle, QStringLiteral("SLM")), QStringLiteral("SLM"));
    // Only the title knows the placeholder.
    CTXPrintSettings above = Block(PrintTextAbove);
    above.text = QStringLiteral("Cost: 5 $");
    EXPECT_EQ(BlockText(above, PrintTextAbove, QStringLiteral("Leq")), QStringLiteral("Cost: 5 $"));
}

struct TitleLineRow {
    const char* name;
    uint32_t mode;
    const char* path;
    const char* expected;
};
class FooterTitleLineTest : public ::testing::TestWithParam<TitleLineRow> {};

TEST_P(FooterTitleLineTest, ShowsTitleOrPath)
{
    CTXPrintSettings footer = Block(PrintFooter);
    footer.flags = CTXPrintSettings::MakeFlags(true, AlignCenter, AlignLeft, AlignRight, 2, GetParam().mode);
    const FooterSource source{QStringLiteral("Untitled"), QString::fromLatin1(GetParam().path), {}};
    EXPECT_EQ(FooterTitleLine(footer, source), QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FooterTitleLineTest,
    ::testing::Values(TitleLineRow{"No", 0, "/data/hall.Tsrix", ""},
                      TitleLineRow{"Title", 1, "/data/hall.Tsrix", "Untitled"},
                      TitleLineRow{"CompletePath", 2, "/data/hall.Tsrix", "/data/hall.Tsrix"},
                      TitleLineRow{"CompletePathOfUnsavedDocumentShowsTitle", 2, "", "Untitled"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FooterDateLine, DateAndTimeInTheUsersFormats)
{
    CTXPrintSettings footer = Block(PrintFooter);
    const QDateTime now(QDate(2026, 3, 14), QTime(15, 9, 26));
    const QLocale locale = QLocale::system();
    EXPECT_EQ(FooterDateLine(footer, now), locale.toString(now.date(), QLocale::ShortFormat));
    footer.flags = CTXPrintSettings::MakeFlags(true, AlignCenter, AlignLeft, AlignRight, 2, 1);
    EXPECT_EQ(FooterDateLine(footer, now), locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                                               locale.toString(now.time(), QLocale::ShortFormat));
    footer.flags = CTXPrintSettings::MakeFlags(true, AlignCenter, AlignLeft, AlignRight, 0, 1);
    EXPECT_TRUE(FooterDateLine(footer, now).isEmpty());
}

class TextBlockDrawTest : public ::testing::Test {
protected:
    TextBlockDrawTest() { image.fill(Qt::white); }
    // Dark pixels in the part of the image between the given fractions of its width.
    int InkBetween(double from, double to, int top, int bottom) const
    {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = int(from * image.width()); x < int(to * image.width()); ++x)
                ink += qGray(image.pixel(x, y)) < 128;
        return ink;
    }
    QImage image{1200, 300, QImage::Format_RGB32};
    QPainter painter{&image};
    CTXCDC dc{&painter, 96, 96};
    const TxRect page{0, 0, 1200, 300};
};

TEST_F(TextBlockDrawTest, DisabledBlockMeasuresEmptyAndDrawsNothing)
{
    CTXPrintSettings below = Block(PrintTextBelow);
    below.text = QStringLiteral("Not shown");
    EXPECT_EQ(MeasureTextBlock(below, dc, page, PrintTextBelow, {}, {}), TxRect{});
    DrawTextBlock(below, dc, page, PrintTextBelow, {}, {});
    painter.end();
    EXPECT_EQ(InkBetween(0, 1, 0, 300), 0);
}

TEST_F(TextBlockDrawTest, EmptyFooterStillKeepsOneLine)
{
    const TxRect r = MeasureTextBlock(Block(PrintFooter), dc, page, PrintFooter, {}, {});
    EXPECT_GT(r.Height(), 10);
    EXPECT_EQ(r.bottom, 300 - MillimetresToDevice(5.0f, 96));
}

TEST_F(TextBlockDrawTest, LongTextWrapsToTheBlockWidth)
{
    CTXPrintSettings above = Block(PrintTextAbove);
    above.flags |= CTXPrintSettings::Enabled;
    above.text = QStringLiteral("word");
    const int oneLine = MeasureTextBlock(above, dc, page, PrintTextAbove, {}, {}).Height();
    above.text = QString(QStringLiteral("word ")).repeated(120);
    const int wrapped = MeasureTextBlock(above, dc, page, PrintTextAbove, {}, {}).Height();
    EXPECT_GE(wrapped, 3 * oneLine);
}

TEST_F(TextBlockDrawTest, FooterOnUnsavedDocumentShowsTitleLeftAndDateRight)
{
    CTXPrintSettings footer = Block(PrintFooter);
    footer.flags = CTXPrintSettings::MakeFlags(true, AlignCenter, AlignLeft, AlignRight, 2, 2);
    const FooterSource source{QStringLiteral("Untitled"), QString(), QDateTime(QDate(2026, 3, 14), QTime(15, 9))};
    const TxRect r = MeasureTextBlock(footer, dc, page, PrintFooter, {}, source.title);
    DrawTextBlock(footer, dc, r, PrintFooter, {}, source);
    painter.end();
    EXPECT_GT(InkBetween(0.0, 0.2, r.top, r.bottom), 0);   // "Untitled" on the left
    EXPECT_GT(InkBetween(0.8, 1.0, r.top, r.bottom), 0);   // the date and time on the right
    EXPECT_EQ(InkBetween(0.35, 0.65, r.top, r.bottom), 0); // no footer text in the middle
}

}  // namespace
