#pragma once
// Number text without the C library's locale: the program always writes and reads numbers with
// "." as decimal point, whatever locale the process runs under.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstddef>

// Parses the longest floating-point number at the start of `text` (optional sign, digits with an
// optional "." and exponent; no leading blanks). Returns false when no number starts there;
// `consumed` receives the number of characters that form the number.
bool ParseDoublePrefix(QByteArrayView text, double* value, qsizetype* consumed);

// "%g" of a value, with "." as decimal point.
QString FormatG(double value);

// A single-precision value as a field shows it: "%g" (six significant digits) in `locale`, or
// more digits, up to nine, where six would not read back as the same float, so that a field
// shown and read again never changes its value (12345.55 stays 12345.55, not 12345.5).
QString FloatFieldText(float value, const QLocale& locale);

// The largest magnitude a table cell may hold: far beyond any coordinate or sound level, and small
// enough that sums and ranges of the values stay finite in single precision.
inline constexpr double kMaxTableCellMagnitude = 1e9;

// A cell for a refusal message: cut to kQuotedCellLength characters (an ellipsis marks the cut)
// with control characters shown escaped (\t, \r, \n, \xNN), so that it reads as one short line.
inline constexpr qsizetype kQuotedCellLength = 40;
QString QuotedCellText(const QString& cell);
