#pragma once
// Identifiers of the texts of the data entry dialogs and the clipboard exchange (Strings.inc
// holds the English ones), and a formatter for texts that carry printf-style %d fields.

#include <QString>

#include <initializer_list>

enum DataEntryStringId : int {
    IDS_PASTE_NOT_ENOUGH_NUMBERS = 3016,
    IDS_PASTE_NOT_ENOUGH_LINES = 3017,
    IDS_PASTE_SYNTAX_ERROR = 3018,
    IDS_INSERT_NO_VALID_LINES = 3028,
    IDS_INSERT_PARTIAL_COLUMNS = 3029,
    IDS_INSERT_OUTSIDE_EXTENT = 3031,
    IDS_REMOVE_POINTS = 488,
    IDS_PARSE_INT = 61712,
    IDS_PARSE_INT_RANGE = 61713,
    IDS_PARSE_REAL_RANGE = 61714,
    IDS_PARSE_REAL = 61715,
    IDS_INSERT_DATA_COMMAND = 57800,
    IDS_EDIT_DATA_COMMAND = 57801,
    IDS_EDIT_NUMBER_OF_POINTS = 57802,
    IDS_EDIT_REMOVE_POINT = 57803,
    IDS_EDIT_RECALC_XY = 57804,
    IDS_EDIT_USE_BOUNDARY = 57805,
    IDS_EDIT_LEVEL = 57806,
    IDS_EDIT_DISTANCE = 57807,
    IDS_MENU_COPY = 57808,
    IDS_MENU_PASTE = 57809,
    IDS_EDIT_DATA_TITLE = 57810,
};

// The text `id` with its %d fields replaced by `values` in order (a language file may keep them
// as they are in the English text).
QString TxFormatInts(int id, std::initializer_list<long long> values);
