#pragma once
// What the setup dialogs share outside of any widget: the way they ask and inform the user, and
// the reading and writing of number fields.
//
// ISetupPrompt stands between a dialog's decisions and the message boxes that show them, so a
// test can answer the questions and record the messages without a modal box blocking it.

#include <QString>

#include <optional>

#include "dataentry/DataEntryStrings.h"

enum class PromptIcon { Information, Exclamation };

class ISetupPrompt {
public:
    virtual ~ISetupPrompt() = default;
    virtual void Inform(const QString& text, PromptIcon icon) = 0;
    // An OK/Cancel question; true for OK.
    virtual bool AskOkCancel(const QString& text) = 0;
    // The short sound that says "not accepted" without a message.
    virtual void Beep() = 0;
};

// Standard prompts of number fields.
enum SetupPromptId : int {
    IDP_PARSE_INT = IDS_PARSE_INT,              // "Enter an integer."
    IDP_PARSE_REAL = IDS_PARSE_REAL,            // "Enter a number."
    IDP_PARSE_INT_RANGE = IDS_PARSE_INT_RANGE,  // "Enter an integer between %1 and %2."
};

// A field's text as a number: the user's locale first, then the C locale, surrounding blanks
// ignored; nothing when the text is not a number.
std::optional<int> ReadIntegerText(const QString& text);
std::optional<float> ReadRealText(const QString& text);

// The text a field shows for a value: six significant digits, more only where six would not
// read back as the same value.
QString IntegerText(int value);
QString RealText(float value);

// Replaces the "%g" conversions of `format` in order by the values (six significant digits).
QString FormatPercentG(const QString& format, double first, double second);
