// The message boxes behind IUserPrompt: what each message shows, what each key or button returns,
// and that a test's prompt takes the place of the boxes only while it lives.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <variant>

#include "../support/PromptRecorder.h"
#include "util/UserPromptBox.h"

namespace {

// What the box showed, read while it was open.
struct ShownBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Runs `act` on the message box once it is the active modal window (tried for about a second).
void WhenBoxOpens(std::function<void(QMessageBox*)> act, int triesLeft = 100)
{
    QTimer::singleShot(10, [act, triesLeft] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            act(box);
        else if (triesLeft > 0)
            WhenBoxOpens(act, triesLeft - 1);
    });
}

// Shows `message` in a real box, records it once it is open, then presses `press` on it
// (Qt::Key_Escape closes it without a button).
PromptAnswer ShowAndPress(const PromptMessage& message, std::variant<QMessageBox::StandardButton, Qt::Key> press,
                          ShownBox* shown)
{
    WhenBoxOpens([press, shown](QMessageBox* box) {
        shown->found = true;
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = box->icon();
        shown->buttons = box->standardButtons();
        if (QPushButton* d = box->defaultButton())
            shown->defaultButton = box->standardButton(d);
        if (const auto* button = std::get_if<QMessageBox::StandardButton>(&press))
            box->button(*button)->click();
        else
            QTest::keyClick(box, std::get<Qt::Key>(press));
    });
    CMessageBoxPrompt boxes(nullptr);
    return boxes.Ask(message);
}

struct BoxCase {
    const char* name;
    PromptMessage message;
    std::variant<QMessageBox::StandardButton, Qt::Key> press;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;  // NoButton: the box chose none of its own
    PromptAnswer answer;
};

class MessageBoxPrompt : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxPrompt, ShowsTheMessageAndReturnsThePressedButton)
{
    const BoxCase& c = GetParam();
    ShownBox shown;
    const PromptAnswer answer = ShowAndPress(c.message, c.press, &shown);
    ASSERT_TRUE(shown.found);
    EXPECT_EQ(shown.title, QApplication::applicationDisplayName());
    EXPECT_EQ(shown.text, c.message.text);
    EXPECT_EQ(shown.icon, c.icon);
    EXPECT_EQ(shown.buttons, c.buttons);
    if (c.defaultButton != QMessageBox::NoButton) {
        EXPECT_EQ(shown.defaultButton, c.defaultButton);
    }
    EXPECT_EQ(answer, c.answer);
}

const QMessageBox::StandardButtons kOkCancel = QMessageBox::Ok | QMessageBox::Cancel;
const QMessageBox::StandardButtons kYesNoCancel = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;

INSTANTIATE_TEST_SUITE_P(
    Boxes, MessageBoxPrompt,
    ::testing::Values(
        BoxCase{"WarningOk", {u"WARNING! Invalid number."_qs}, QMessageBox::Ok, QMessageBox::Warning, QMessageBox::Ok,
                QMessageBox::NoButton, PromptAnswer::Ok},
        BoxCase{"InformationOk", {u"Restart to apply."_qs, PromptIcon::Information}, QMessageBox::Ok,
                QMessageBox::Information, QMessageBox::Ok, QMessageBox::NoButton, PromptAnswer::Ok},
        BoxCase{"EscapeOnOkOnlyIsOk", {u"Enter a number."_qs}, Qt::Key_Escape, QMessageBox::Warning, QMessageBox::Ok,
                QMessageBox::NoButton, PromptAnswer::Ok},
        BoxCase{"OkCancelCancel", {u"Remove?"_qs, PromptIcon::Warning, PromptButtons::OkCancel}, QMessageBox::Cancel,
                QMessageBox::Warning, kOkCancel, QMessageBox::NoButton, PromptAnswer::Cancel},
        BoxCase{"EscapeOnOkCancelIsCancel", {u"Remove?"_qs, PromptIcon::Warning, PromptButtons::OkCancel},
                Qt::Key_Escape, QMessageBox::Warning, kOkCancel, QMessageBox::NoButton, PromptAnswer::Cancel},
        BoxCase{"EnterPressesTheDefaultOk",
                {u"Too few points."_qs, PromptIcon::Warning, PromptButtons::OkCancel, PromptAnswer::Ok}, Qt::Key_Return,
                QMessageBox::Warning, kOkCancel, QMessageBox::Ok, PromptAnswer::Ok},
        BoxCase{"YesNoCancelNo", {u"Save changes?"_qs, PromptIcon::Warning, PromptButtons::YesNoCancel},
                QMessageBox::No, QMessageBox::Warning, kYesNoCancel, QMessageBox::NoButton, PromptAnswer::No},
        BoxCase{"YesNoCancelYes", {u"Save changes?"_qs, PromptIcon::Warning, PromptButtons::YesNoCancel},
                QMessageBox::Yes, QMessageBox::Warning, kYesNoCancel, QMessageBox::NoButton, PromptAnswer::Yes},
        BoxCase{"EscapeOnYesNoCancelIsCancel", {u"Save changes?"_qs, PromptIcon::Warning, PromptButtons::YesNoCancel},
                Qt::Key_Escape, QMessageBox::Warning, kYesNoCancel, QMessageBox::NoButton, PromptAnswer::Cancel}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST(UserPromptOverride, NestedPromptsAnswerInTurnAndLeaveNoneBehind)
{
    ASSERT_EQ(UserPromptOverride(), nullptr);
    {
        CPromptRecorder outer;
        outer.answer = PromptAnswer::Cancel;
        {
            CPromptRecorder inner;
            EXPECT_TRUE(ConfirmOkCancel(nullptr, u"inner"_qs));
            BeepAtUser();
            EXPECT_EQ(inner.Texts(), QStringList{u"inner"_qs});
            EXPECT_EQ(inner.beeps, 1);
        }
        EXPECT_FALSE(ConfirmOkCancel(nullptr, u"outer"_qs));
        TellUser(nullptr, u"told"_qs, PromptIcon::Information);
        EXPECT_EQ(outer.Texts(), (QStringList{u"outer"_qs, u"told"_qs}));
        EXPECT_EQ(outer.shown[1], (PromptMessage{u"told"_qs, PromptIcon::Information, PromptButtons::Ok, {}}));
        EXPECT_EQ(outer.beeps, 0);
    }
    EXPECT_EQ(UserPromptOverride(), nullptr);
}

}  // namespace
