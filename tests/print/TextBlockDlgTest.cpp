// The text-block dialogs: the model's rules and the dialogs driven offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include "../support/PromptRecorder.h"
#include "document/TessarixDoc.h"
#include "print/TextBlockDlg.h"

namespace {

struct MarginRow {
    const char* name;
    const char* text;
    bool accepted;
    float value;
};
class MarginParseTest : public ::testing::TestWithParam<MarginRow> {};

TEST_P(MarginParseTest, OnlyNumbersFromZeroToTheLimit)
{
    float mm = -1.0f;
    const bool ok = CTextBlockModel::ParseMargin(QString::fromLatin1(GetParam().text), QLocale::c(), &mm);
    EXPECT_EQ(ok, GetParam().accepted);
    if (ok)
        EXPECT_FLOAT_EQ(mm, GetParam().value);
    else
        EXPECT_EQ(mm, -1.0f);  // a refusal stores nothing
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MarginParseTest,
    ::testing::Values(MarginRow{"Plain", "5", true, 5.0f}, MarginRow{"Fraction", " 12.5 ", true, 12.5f},
                      MarginRow{"Zero", "0", true, 0.0f}, MarginRow{"AtLimit", "500", true, 500.0f},
                      MarginRow{"Negative", "-1", false, 0.0f}, MarginRow{"AboveLimit", "500.5", false, 0.0f},
                      MarginRow{"Empty", "", false, 0.0f}, MarginRow{"Word", "five", false, 0.0f},
                      MarginRow{"Infinite", "inf", false, 0.0f}, MarginRow{"NotANumber", "nan", false, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextBlockModel, FontSizeKeptBetweenFourAndSeventyTwoPoints)
{
    CTXPrintSettings block;
    ResetPrintSettings(block, PrintTitle);
    CTextBlockModel model(block, PrintTitle);
    FontRecord chosen;
    chosen.SetFace("DejaVu Sans");
    model.SetFont(chosen, 2.0, 0x0000FF);
    EXPECT_EQ(model.font.height, 40);
    model.SetFont(chosen, 96.0, 0x0000FF);
    EXPECT_EQ(model.font.height, 720);
    model.SetFont(chosen, 10.5, 0x0000FF);
    EXPECT_EQ(model.font.height, 105);
    EXPECT_STREQ(model.Result().font.Face(), "DejaVu Sans");
    EXPECT_EQ(model.Result().textColor, 0x0000FFu);
}

TEST(TextBlockModel, ResultKeepsTheFlagBitsTheDialogDoesNotShow)
{
    CTXPrintSettings block;
    ResetPrintSettings(block, PrintTextAbove);
    block.flags |= 0x0F000000u | (2u << 16);  // unknown high bits, and a date mode a text block never uses
    CTextBlockModel model(block, PrintTextAbove);
    model.enabled = true;
    model.align = AlignRight;
    const CTXPrintSettings r = model.Result();
    EXPECT_EQ(r.flags & 0x0F000000u, 0x0F000000u);
    EXPECT_EQ(CTXPrintSettings::DateMode(r.flags), 2u);
    EXPECT_TRUE(r.IsEnabled());
    EXPECT_EQ(CTXPrintSettings::TextAlign(r.flags), uint32_t(AlignRight));
}

struct CaptionRow {
    const char* name;
    int kind;
    const char* caption;
    bool multiLine;
};
class CaptionTest : public ::testing::TestWithParam<CaptionRow> {};

TEST_P(CaptionTest, CaptionAndTextField)
{
    CTessarixDoc doc;
    CTextBlockDlg dlg(doc, GetParam().kind);
    EXPECT_EQ(dlg.windowTitle(), QString::fromLatin1(GetParam().caption));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dlg.TextField()) != nullptr, GetParam().multiLine);
    EXPECT_EQ(dlg.DateModeList() != nullptr, GetParam().kind == PrintFooter);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CaptionTest,
                         ::testing::Values(CaptionRow{"Title", PrintTitle, "Title", false},
                                           CaptionRow{"Above", PrintTextAbove, "Text above the map", true},
                                           CaptionRow{"Below", PrintTextBelow, "Text below the map", true},
                                           CaptionRow{"Footer", PrintFooter, "Footer", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextBlockDlg, EveryControlFollowsEnable)
{
    CTessarixDoc doc;
    CTextBlockDlg dlg(doc, PrintFooter);
    ASSERT_TRUE(dlg.EnableBox()->isChecked());  // the footer is enabled by default
    dlg.EnableBox()->setChecked(false);
    for (QWidget* w : {dlg.TextField(), static_cast<QWidget*>(dlg.AlignmentList()), static_cast<QWidget*>(dlg.FontButton()),
                       static_cast<QWidget*>(dlg.VerticalField()), static_cast<QWidget*>(dlg.DateModeList()),
                       static_cast<QWidget*>(dlg.DateAlignList()), static_cast<QWidget*>(dlg.TitleAlignList())})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    dlg.EnableBox()->setChecked(true);
    EXPECT_TRUE(dlg.TextField()->isEnabled());
    EXPECT_TRUE(dlg.DateAlignList()->isEnabled());
}

TEST(TextBlockDlg, FooterLineAlignmentOnlyWhileItsModeIsNotNo)
{
    CTessarixDoc doc;
    CTextBlockDlg dlg(doc, PrintFooter);
    dlg.DateModeList()->setCurrentIndex(0);
    EXPECT_FALSE(dlg.DateAlignList()->isEnabled());
    EXPECT_TRUE(dlg.TitleAlignList()->isEnabled());
    dlg.TitleModeList()->setCurrentIndex(0);
    EXPECT_FALSE(dlg.TitleAlignList()->isEnabled());
    dlg.DateModeList()->setCurrentIndex(2);
    EXPECT_TRUE(dlg.DateAlignList()->isEnabled());
}

TEST(TextBlockDlg, OkStoresTheBlockAndMarksTheDocumentModified)
{
    CTessarixDoc doc;
    CTextBlockDlg dlg(doc, PrintTextBelow);
    dlg.EnableBox()->setChecked(true);
    qobject_cast<QPlainTextEdit*>(dlg.TextField())->setPlainText(QStringLiteral("Line one\nLine two"));
    dlg.AlignmentList()->setCurrentIndex(AlignCenter);
    dlg.VerticalField()->setText(QLocale().toString(7.5));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const CTXPrintSettings& b = doc.PrintBlock(PrintTextBelow);
    EXPECT_TRUE(b.IsEnabled());
    EXPECT_EQ(b.text, QStringLiteral("Line one\nLine two"));
    EXPECT_EQ(CTXPrintSettings::TextAlign(b.flags), uint32_t(AlignCenter));
    EXPECT_FLOAT_EQ(b.verticalMargin, 7.5f);
    EXPECT_TRUE(doc.IsModified());
}

TEST(TextBlockDlg, CancelChangesNothing)
{
    CTessarixDoc doc;
    const CTXPrintSettings before = doc.PrintBlock(PrintTitle);
    CTextBlockDlg dlg(doc, PrintTitle);
    qobject_cast<QLineEdit*>(dlg.TextField())->setText(QStringLiteral("Changed"));
    dlg.reject();
    EXPECT_EQ(doc.PrintBlock(PrintTitle), before);
    EXPECT_FALSE(doc.IsModified());
}

TEST(TextBlockDlg, InvalidMarginIsRefusedAndTheDialogStaysOpen)
{
    CPromptRecorder prompts;
    CTessarixDoc doc;
    const CTXPrintSettings before = doc.PrintBlock(PrintTitle);
    CTextBlockDlg dlg(doc, PrintTitle);
    dlg.HorizontalField()->setText(QStringLiteral("-3"));
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.Messages(), QStringList{QStringLiteral("WARNING! Invalid number.")});
    EXPECT_EQ(doc.PrintBlock(PrintTitle), before);
}

TEST(TextBlockDlg, DialogFontRoundTripsTheBlockFont)
{
    FontRecord r;
    r.SetFace("DejaVu Serif");
    r.height = 145;
    r.weight = 700;
    r.italic = 1;
    const FontRecord back = FontRecordFromDialog(BlockFontForDialog(r));
    EXPECT_STREQ(back.Face(), "DejaVu Serif");
    EXPECT_EQ(back.height, 145);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
}

}  // namespace
