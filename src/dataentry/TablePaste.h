#pragma once
// A table pasted as a whole into the point table from one cell down, as a spreadsheet user copies
// it: an optional header line (X, Y and column names), then one line per point. Lines are split
// into tokens as every paste splits them (TAB first, else the locale's list separator).
//
// The first line is a header when one of its tokens is not a number. When header names are the
// table's column names (case and surrounding blanks aside, no column named twice), the pasted
// columns go to the columns of those names and the columns of other names are left out (and
// listed, so the user hears of them); when no name matches, the columns go in order from the
// selected column. Blank lines carry no point and are skipped.

#include <QStringList>
#include <QStringView>

#include <vector>

#include "dataentry/TableTextParser.h"

// True when `line` holds a token that does not read as a number.
bool IsHeaderLine(QStringView line, const ExchangeLocale& locale);

// The tokens of a line, trimmed.
QStringList LineTokens(QStringView line, const ExchangeLocale& locale);

// The column of `names` that each header name stands for (-1 for a name that is no column), when
// at least one name matches and no column is named twice; empty otherwise.
std::vector<int> ColumnsByName(const QStringList& header, const QStringList& names);

struct TablePaste {
    PasteStatus status = PasteStatus::Ok;
    int line = 0;             // 1-based line of the pasted text where it failed
    bool hasHeader = false;
    bool byName = false;      // the header named the columns
    std::vector<int> targets;                  // the table column of each pasted column, -1 left out
    QStringList leftOut;                       // header names of the columns left out
    std::vector<std::vector<float>> rows;      // one per point, a value for every target (0 if left out)

    // The warning to show for a failure, empty for Ok and TooLarge.
    QString Message() const;
};

// Reads `text` for a table whose columns are `names`, pasted at column `firstColumn`. Fails as
// the block paste does: a line with too few tokens, a token that is no number (line numbers
// count the header), no point at all (not enough lines) or more than `maxRows` points (too large).
TablePaste ParseTablePaste(QStringView text, const QStringList& names, int firstColumn, const ExchangeLocale& locale,
                           int maxRows);
