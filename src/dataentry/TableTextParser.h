#pragma once
// Reading numbers pasted from other programs: number tokens, the splitting of a line into tokens
// and of a text into lines, and the block of numbers a grid paste needs.
//
// A token is a number in the user's locale (its first decimal separator is read as "."), after
// leading blanks and tabs; characters after the number are ignored. A zero counts only when it is
// written with a leading "0" (or "+0", "-0"), so an empty token, a word or ".0" are errors.
// Tokens are separated by TAB when the line has one, else by the locale's list separator.
// Lines end with CR LF or LF; a last line without a line end counts as a line when it is not
// empty.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

#include "dataentry/TableExchange.h"

// Parses one token (already delocalised); false for a syntax error or a value that a 32-bit
// float cannot hold.
bool ParseNumberToken(QStringView token, double* value);
// Delocalises and parses.
bool ParseLocalNumberToken(QStringView token, const ExchangeLocale& locale, double* value);

// Takes the next token off `rest`.
QStringView TakeToken(QStringView& rest, const ExchangeLocale& locale);

// The lines of `text`, without their line ends.
std::vector<QStringView> SplitTextLines(QStringView text);

enum class PasteStatus {
    Ok,
    NotEnoughLines,    // message 3017
    NotEnoughNumbers,  // message 3016, with the line
    SyntaxError,       // message 3018, with the line
    TooLarge,          // the block cannot be held; nothing is said
};

struct PasteBlock {
    PasteStatus status = PasteStatus::Ok;
    int line = 0;  // 1-based line of the failure
    int rows = 0;
    int columns = 0;
    std::vector<double> values;  // row-major: line r, token c at c + columns * r

    double At(int row, int column) const { return values[size_t(column + columns * row)]; }
    // The warning to show for a failure, empty for Ok and TooLarge.
    QString Message() const;
};

// Reads `rows` lines of `columns` numbers from `text`; extra tokens and lines are ignored.
PasteBlock ParsePasteBlock(QStringView text, int rows, int columns, const ExchangeLocale& locale);
