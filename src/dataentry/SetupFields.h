#pragma once
// What the setup dialogs share outside of any widget: the prompts and the reading and writing of
// number fields.

#include <QString>

#include <optional>

#include "dataentry/DataEntryStrings.h"

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
