#pragma once
// Reads a measurement table from text: the first row holds X, Y and the column names, every
// further row a point. Cells are separated by TAB, ";" or "," (the first of these the header
// row contains); numbers use "." or, unless "," separates the cells, ",". Blank lines are skipped.
// The clipboard renderings of this program are read too: the plain text (CR LF rows, a closing
// NUL) and the Data Interchange Format (string or numeric cells, numbers with "." or ",").

#include <QString>
#include <QStringList>

#include <vector>

#include "util/TxTypes.h"

struct TextTable {
    QStringList columnNames;            // the names after X and Y
    CTXFloatArray x;
    CTXFloatArray y;
    std::vector<CTXFloatArray> values;  // one array per named column
};

struct TextTableError {
    int line = 0;    // 1-based, 0 when the error is not tied to a line
    int column = 0;  // 1-based cell number, 0 when not tied to a cell
    QString message;
};

// Parses `text`; on failure returns false and fills `error`, leaving `table` unspecified.
bool ReadTextTable(const QString& text, int maxColumns, TextTable* table, TextTableError* error);

// The same from bytes: UTF-8, or else the 8-bit code page of the rendering (OEM 850 for DIF,
// Windows-1252 for text).
bool ReadTextTableBytes(const QByteArray& bytes, int maxColumns, TextTable* table, TextTableError* error);

// Parses one cell as a number; the whole trimmed text must be consumed.
bool ParseTableNumber(const QString& cell, bool commaIsDecimal, float* value);
