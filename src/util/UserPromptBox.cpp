#include "util/UserPromptBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton ButtonOf(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The prompt a test installed, else the message boxes.
IUserPrompt& ActivePrompt(CMessageBoxPrompt& boxes)
{
    IUserPrompt* test = UserPromptOverride();
    return test ? *test : boxes;
}

}  // namespace

PromptAnswer CMessageBoxPrompt::Ask(const PromptMessage& message)
{
    QMessageBox box(message.icon == PromptIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    QApplication::applicationDisplayName(), message.text, ButtonsOf(message.buttons), m_parent);
    if (message.defaultButton)
        box.setDefaultButton(ButtonOf(*message.defaultButton));
    // Escape and the close button press the box's escape button: Cancel where there is one, else OK.
    switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: return message.buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
}

void CMessageBoxPrompt::Beep()
{
    QApplication::beep();
}

PromptAnswer AskUser(QWidget* parent, const PromptMessage& message)
{
    CMessageBoxPrompt boxes(parent);
    return ActivePrompt(boxes).Ask(message);
}

void TellUser(QWidget* parent, const QString& text, PromptIcon icon)
{
    AskUser(parent, {text, icon});
}

bool ConfirmOkCancel(QWidget* parent, const QString& text, std::optional<PromptAnswer> defaultButton)
{
    return AskUser(parent, {text, PromptIcon::Warning, PromptButtons::OkCancel, defaultButton}) == PromptAnswer::Ok;
}

void BeepAtUser()
{
    CMessageBoxPrompt boxes(nullptr);
    ActivePrompt(boxes).Beep();
}
