#pragma once
// Identifiers of the texts only the command-line tool shows.

enum CliStringId {
    IDS_CLI_BAD_COLUMN = 22105,
    IDS_CLI_CANNOT_WRITE = 22107,
    IDS_CLI_UNKNOWN_GRID_FORMAT = 22108,
    IDS_CLI_UNKNOWN_PROPERTY = 62195,
    IDS_CLI_BAD_PROPERTY_VALUE = 62196,
    IDS_CLI_NOT_KEY_VALUE = 62197,
    IDS_CLI_BAD_COLOR_SCALE_FILE = 62198,
};
