#pragma once
// Identifiers of the texts of the colour scale editor (Strings.inc holds the English ones).

enum ColorStringId : int {
    IDS_COLOR_SCALE_TITLE = 62400,
    IDS_COLOR_SCALE_CURRENT_COLOR = 62401,
    IDS_COLOR_SCALE_REMOVE = 62402,
    IDS_COLOR_SCALE_LOAD = 62403,
    IDS_COLOR_SCALE_SAVE = 62404,
    IDS_COLOR_SCALE_FILTER = 62405,       // the filter's title; the dialog appends "(*.csc)"
    IDS_COLOR_SCALE_CANNOT_OPEN = 62406,  // %1: the file's full path
};
