#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

#include "../support/CommaLocale.h"
#include "../support/PromptRecorder.h"
#include "dataentry/DataEntryStrings.h"
#include "dataentry/KeyPadModel.h"
#include "dataentry/SetupFields.h"
#include "dataentry/TXKeyPadDlg.h"
#include "util/StringTable.h"

namespace {

struct NegateCase {
    const char* name;
    KeyPadMode mode;
    const char* text;
    bool ok;
    const char* result;
};

class KeyPadNegate : public ::testing::TestWithParam<NegateCase> {};

TEST_P(KeyPadNegate, GivesNegatedTextOrRefuses)
{
    const NegateCase& c = GetParam();
    QString out = QStringLiteral("unchanged");
    EXPECT_EQ(CKeyPadModel::Negate(QString::fromLatin1(c.text), c.mode, &out), c.ok);
    EXPECT_EQ(out, QString::fromLatin1(c.ok ? c.result : "unchanged"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPadNegate,
    ::testing::Values(NegateCase{"RealFraction", KeyPadMode::Real, "12.5", true, "-12.5"},
                      NegateCase{"RealNegative", KeyPadMode::Real, " -3 ", true, "3"},
                      NegateCase{"RealEmpty", KeyPadMode::Real, "", false, ""},
                      NegateCase{"RealWord", KeyPadMode::Real, "abc", false, ""},
                      NegateCase{"RealTrailingLetter", KeyPadMode::Real, "1.5x", false, ""},
                      NegateCase{"IntegerPlain", KeyPadMode::Integer, "42", true, "-42"},
                      NegateCase{"IntegerFraction", KeyPadMode::Integer, "4.2", false, ""},
                      NegateCase{"IntegerSmallest", KeyPadMode::Integer, "-2147483648", false, ""},
                      NegateCase{"IntegerOverflow", KeyPadMode::Integer, "99999999999", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValidateCase {
    const char* name;
    KeyPadMode mode;
    const char* text;
    bool acceptEmpty;
    int prompt;
};

class KeyPadValidate : public ::testing::TestWithParam<ValidateCase> {};

TEST_P(KeyPadValidate, ReturnsPromptOfMode)
{
    const ValidateCase& c = GetParam();
    EXPECT_EQ(CKeyPadModel::Validate(QString::fromLatin1(c.text), c.mode, c.acceptEmpty), c.prompt);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPadValidate,
    ::testing::Values(ValidateCase{"EmptyAccepted", KeyPadMode::Real, "", true, 0},
                      ValidateCase{"EmptyRefusedReal", KeyPadMode::Real, "", false, IDS_PARSE_REAL},
                      ValidateCase{"EmptyRefusedInteger", KeyPadMode::Integer, "", false, IDS_PARSE_INT},
                      ValidateCase{"BlanksNotEmpty", KeyPadMode::Integer, "  ", true, IDS_PARSE_INT},
                      ValidateCase{"Exponent", KeyPadMode::Real, "1e3", false, 0},
                      ValidateCase{"Infinite", KeyPadMode::Real, "1e999", false, IDS_PARSE_REAL},
                      ValidateCase{"NotANumber", KeyPadMode::Real, "nan", false, IDS_PARSE_REAL},
                      ValidateCase{"IntegerDot", KeyPadMode::Integer, "3.", false, IDS_PARSE_INT}),
    [](const auto& info) { return std::string(info.param.name); });

// The keypad read every text with "." only, so a field showing the locale's "0,333" could not
// be confirmed ("Enter a number."). The field's separator is accepted, "." as well, never both.
struct SeparatorCase {
    const char* name;
    const char* decimal;  // the field's separator
    const char* text;
    bool ok;
    const char* negated;
};

void PrintTo(const SeparatorCase& row, std::ostream* os)
{
    *os << row.name;
}

class KeyPadAcceptsTheFieldsDecimalSeparator : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(KeyPadAcceptsTheFieldsDecimalSeparator, ValidatesAndNegatesInThatSeparator)
{
    const SeparatorCase& c = GetParam();
    const QString decimal = QString::fromLatin1(c.decimal);
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(CKeyPadModel::Validate(text, KeyPadMode::Real, false, decimal), c.ok ? 0 : IDS_PARSE_REAL);
    QString out;
    EXPECT_EQ(CKeyPadModel::Negate(text, KeyPadMode::Real, &out, decimal), c.ok);
    if (c.ok) {
        EXPECT_EQ(out, QString::fromLatin1(c.negated));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPadAcceptsTheFieldsDecimalSeparator,
    ::testing::Values(SeparatorCase{"CommaField", ",", "0,333", true, "-0,333"},
                      SeparatorCase{"CommaFieldTypedPoint", ",", "0.5", true, "-0.5"},
                      SeparatorCase{"CommaFieldWhole", ",", "-12", true, "12"},
                      SeparatorCase{"CommaFieldBothSeparators", ",", "1,2.5", false, ""},
                      SeparatorCase{"CommaFieldTwoCommas", ",", "1,2,5", false, ""},
                      SeparatorCase{"PointFieldRefusesComma", ".", "0,333", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyPadPrompts, AreTheStandardTexts)
{
    EXPECT_EQ(TxString(CKeyPadModel::PromptId(KeyPadMode::Integer)), QStringLiteral("Enter an integer."));
    EXPECT_EQ(TxString(CKeyPadModel::PromptId(KeyPadMode::Real)), QStringLiteral("Enter a number."));
}

struct PlacementCase {
    const char* name;
    QRect field;
    QPoint expected;
};

class KeyPadPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(KeyPadPlacement, StaysOnScreen)
{
    const QRect screen(0, 0, 1280, 900);
    const QSize pad(130, 204);
    const QPoint at = CKeyPadModel::Placement(GetParam().field, pad, screen);
    EXPECT_EQ(at, GetParam().expected);
    EXPECT_TRUE(screen.contains(QRect(at, pad)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPadPlacement,
    ::testing::Values(PlacementCase{"CentredBelow", QRect(500, 300, 100, 20), QPoint(485, 320)},
                      PlacementCase{"BottomRightCorner", QRect(1200, 870, 80, 20), QPoint(1150, 666)},
                      PlacementCase{"LeftEdge", QRect(0, 100, 40, 20), QPoint(0, 120)},
                      PlacementCase{"ExactlyFitsBelow", QRect(500, 676, 100, 20), QPoint(485, 696)}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs `steps` on the keypad once it is the active modal window.
void OnKeyPad(std::function<void(CTXKeyPad*)> steps)
{
    QTimer::singleShot(0, [steps] {
        auto* pad = qobject_cast<CTXKeyPad*>(QApplication::activeModalWidget());
        ASSERT_NE(pad, nullptr);
        steps(pad);
    });
}

class KeyPadWidget : public ::testing::Test {
protected:
    CPromptRecorder prompt;
};

TEST_F(KeyPadWidget, DigitsAndOkWriteBackAndNotify)
{
    CEditKeyPadInteger field;
    field.SetControlId(1017);
    field.setText(QStringLiteral("12"));
    field.show();
    QSignalSpy spy(&field, &CEditKeyPad::changedByKeyPad);
    bool dotEnabled = true;
    OnKeyPad([&](CTXKeyPad* pad) {
        dotEnabled = pad->Button(QStringLiteral("."))->isEnabled();
        pad->Line()->selectAll();
        pad->Button(QStringLiteral("7"))->click();
        pad->Button(QStringLiteral("0"))->click();
        pad->Button(QStringLiteral("+/-"))->click();
        pad->Button(QStringLiteral("OK"))->click();
    });
    QTest::mouseDClick(&field, Qt::LeftButton);
    EXPECT_FALSE(dotEnabled);
    EXPECT_EQ(field.text(), QStringLiteral("-70"));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1017);
    EXPECT_TRUE(prompt.Texts().isEmpty());
}

TEST_F(KeyPadWidget, CancelLeavesFieldAndSendsNothing)
{
    CEditKeyPadReal field;
    field.setText(QStringLiteral("3.5"));
    field.show();
    QSignalSpy spy(&field, &CEditKeyPad::changedByKeyPad);
    OnKeyPad([](CTXKeyPad* pad) {
        pad->Button(QStringLiteral("9"))->click();
        pad->Button(QStringLiteral("Cancel"))->click();
    });
    QTest::mouseDClick(&field, Qt::LeftButton);
    EXPECT_EQ(field.text(), QStringLiteral("3.5"));
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(KeyPadWidget, InvalidTextKeepsKeyPadOpenWithPrompt)
{
    CEditKeyPadReal field;
    field.show();
    QSignalSpy spy(&field, &CEditKeyPad::changedByKeyPad);
    bool stillOpen = false;
    OnKeyPad([&](CTXKeyPad* pad) {
        pad->Button(QStringLiteral("+/-"))->click();  // empty text: prompt, no change
        pad->Button(QStringLiteral("OK"))->click();    // empty not accepted: prompt, stays open
        stillOpen = pad->isVisible();
        pad->Button(QStringLiteral("5"))->click();
        pad->Button(QStringLiteral("."))->click();
        pad->Button(QStringLiteral("2"))->click();
        pad->Button(QStringLiteral("OK"))->click();
    });
    QTest::mouseDClick(&field, Qt::LeftButton);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompt.Texts(), QStringList({QStringLiteral("Enter a number."), QStringLiteral("Enter a number.")}));
    EXPECT_EQ(field.text(), QStringLiteral("5.2"));
    EXPECT_EQ(spy.count(), 1);
}

// Under a decimal-comma locale the real fields show "0,333"; OK on the keypad refused it.
TEST_F(KeyPadWidget, KeyPadAcceptsTheLocalesDecimalComma)
{
    CommaLocale comma;
    CEditKeyPadReal field;
    field.setText(RealText(0.333f));
    ASSERT_EQ(field.text(), QStringLiteral("0,333"));
    field.show();
    QSignalSpy spy(&field, &CEditKeyPad::changedByKeyPad);
    QString negated, typed;
    OnKeyPad([&](CTXKeyPad* pad) {
        pad->Button(QStringLiteral("+/-"))->click();
        negated = pad->Text();
        pad->Button(QStringLiteral("+/-"))->click();
        pad->Line()->end(false);
        pad->Button(QStringLiteral("."))->click();  // types the field's separator
        typed = pad->Text();
        pad->Line()->backspace();
        pad->Button(QStringLiteral("OK"))->click();
        if (pad->isVisible())
            pad->reject();  // refused: close it so the test fails instead of waiting
    });
    QTest::mouseDClick(&field, Qt::LeftButton);
    EXPECT_TRUE(prompt.Texts().isEmpty()) << prompt.Texts().join(u'|').toStdString();
    EXPECT_EQ(negated, QStringLiteral("-0,333"));
    EXPECT_EQ(typed, QStringLiteral("0,333,"));
    EXPECT_EQ(field.text(), QStringLiteral("0,333"));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(ReadRealText(field.text()), 0.333f);
}

}  // namespace
