#pragma once
// Insert Data: measurement lines taken from clipboard text wait as "pending lines" until the user
// clicks a position on the map for each of them; every placement appends one point to the
// document (one undo step per point).
//
// Import: each line yields the numbers up to its first bad token (a line without any is dropped);
// all lines are cut to the shortest line, and to the number of enabled data columns. Fewer
// values than enabled columns needs the user's consent (the missing columns get 0).
//
// The map view owns one model; it switches to insert mode after a successful import, asks for
// the pop-up entries at a click, and hands the chosen entry back to Place.

#include <QString>

#include <functional>
#include <vector>

#include "dataentry/TableExchange.h"
#include "util/TxTypes.h"

class CTessarixDoc;
struct MapExtent;

enum class InsertImportStatus {
    Imported,      // insert mode is on
    NoValidLines,  // message 3028; insert mode stays off
    Abandoned,     // the user declined a partial import; insert mode stays off
};

struct InsertImportResult {
    InsertImportStatus status = InsertImportStatus::NoValidLines;
    QString message;  // the warning to show (NoValidLines), else empty
};

struct InsertPopupEntry {
    int commandId = 0;  // 100 + line index
    QString text;       // "%2d - %s": line number and up to three values
};

class CInsertDataModel {
public:
    static constexpr int kCommandBase = 100;

    // Reads the pending lines from `text`. `askPartial` shows its question (message 3029) with OK
    // and Cancel and returns true for OK.
    InsertImportResult Import(const QString& text, const ExchangeLocale& locale, int enabledColumns,
                              const std::function<bool(const QString& question)>& askPartial);

    bool InsertMode() const { return m_insertMode; }
    // The Insert Data command while insert mode is on: leaves insert mode and does nothing else.
    void LeaveInsertMode() { m_insertMode = false; }

    const std::vector<CTXFloatArray>& Lines() const { return m_lines; }
    bool IsPlaced(int line) const { return m_placed.at(size_t(line)) != 0; }

    // One entry per line not yet placed, in list order.
    std::vector<InsertPopupEntry> PopupEntries() const;

    // True when (x, y) lies outside the map extent (message 3031 asks before placing there).
    static bool IsOutsideExtent(const MapExtent& extent, float x, float y);

    // Appends a point at (x, y) with the values of the line of `commandId` (CTessarixDoc::
    // InsertPoint records the undo step), marks it placed and leaves insert mode when every line
    // is placed. False when the command names no pending line.
    bool Place(CTessarixDoc& doc, int commandId, float x, float y);

    // "%2d - %s" for line `index` with `values`.
    static QString PopupText(int index, const CTXFloatArray& values);

private:
    std::vector<CTXFloatArray> m_lines;
    std::vector<int32_t> m_placed;
    bool m_insertMode = false;
};
