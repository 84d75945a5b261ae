#pragma once
// The calls every window makes to tell or ask the user something. Each shows a message box titled
// with the program's name over `parent` (the window the box belongs to; null before the main
// window exists), or goes to the prompt a test installed with CUserPromptOverride.

#include "util/UserPrompt.h"

class QWidget;

PromptAnswer AskUser(QWidget* parent, const PromptMessage& message);
// A message with OK as its only button.
void TellUser(QWidget* parent, const QString& text, PromptIcon icon = PromptIcon::Warning);
// A warning with OK and Cancel; true when the user chose OK.
bool ConfirmOkCancel(QWidget* parent, const QString& text, std::optional<PromptAnswer> defaultButton = {});
// The warning beep of a refused input.
void BeepAtUser();

// IUserPrompt through modal message boxes over `parent`.
class CMessageBoxPrompt final : public IUserPrompt {
public:
    explicit CMessageBoxPrompt(QWidget* parent) : m_parent(parent) {}
    PromptAnswer Ask(const PromptMessage& message) override;
    void Beep() override;

private:
    QWidget* m_parent;
};
