#pragma once
// IUserPrompt: how the program tells the user something or asks a question, without knowing how
// the question is shown. Windows show it as a message box (util/UserPromptBox.h); a test installs
// its own prompt with CUserPromptOverride and answers instead of a person:
//
//     CPromptRecorder prompt;                     // tests/support: records and answers
//     dialog.accept();                            // asks "WARNING! ..." with OK and Cancel
//     EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::OkCancel);

#include <QString>

#include <optional>
#include <utility>

enum class PromptIcon {
    Information,  // the "i" of a notice
    Warning,      // the exclamation mark of a refused input or a risky step
};

enum class PromptButtons { Ok, OkCancel, YesNoCancel };

// The button the user pressed. Closing a box without pressing one counts as Cancel where the box
// has a Cancel button, and as Ok where OK is its only button.
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct PromptMessage {
    PromptMessage(QString text, PromptIcon icon = PromptIcon::Warning, PromptButtons buttons = PromptButtons::Ok,
                  std::optional<PromptAnswer> defaultButton = {})
        : text(std::move(text)), icon(icon), buttons(buttons), defaultButton(defaultButton)
    {
    }

    QString text;
    PromptIcon icon;
    PromptButtons buttons;
    // The button Enter presses; none leaves the choice to the box.
    std::optional<PromptAnswer> defaultButton;

    bool operator==(const PromptMessage&) const = default;
};

class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    // Shows `message` and returns the button pressed, one of `message.buttons`.
    virtual PromptAnswer Ask(const PromptMessage& message) = 0;
    // The short sound that says "not accepted" without a message.
    virtual void Beep() = 0;
};

// While alive, `prompt` shows every message and question of the program in place of the message
// boxes. Overrides nest: the newest one answers, and its end brings back the one before.
class CUserPromptOverride {
public:
    explicit CUserPromptOverride(IUserPrompt& prompt);
    ~CUserPromptOverride();
    CUserPromptOverride(const CUserPromptOverride&) = delete;
    CUserPromptOverride& operator=(const CUserPromptOverride&) = delete;

private:
    IUserPrompt* m_previous;
};

// The prompt of the newest live override, or null when messages go to message boxes.
IUserPrompt* UserPromptOverride();
