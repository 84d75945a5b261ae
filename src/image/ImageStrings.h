#pragma once
// Identifiers of the texts of the image dialogs (Strings.inc holds the English ones).

enum ImageStringId : int {
    IDS_IMAGE_POS_TITLE = 61760,
    IDS_IMAGE_POS_X0 = 61761,
    IDS_IMAGE_POS_X1 = 61762,
    IDS_IMAGE_POS_Y0 = 61763,
    IDS_IMAGE_POS_Y1 = 61764,
    IDS_IMAGE_POS_SCALE = 61765,
    IDS_IMAGE_POS_RESET = 61766,
    IDS_IMAGE_POS_REVERT = 61767,
    IDS_IMAGE_POS_SCALE_CHOICE = 61768,  // "%g:1"
    IDS_IMAGE_NOT_A_PICTURE = 62320,     // file name, formats tried
};
