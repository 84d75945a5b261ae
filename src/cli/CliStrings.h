#pragma once
// Identifiers of the texts only the command-line tool shows.

enum CliStringId {
    IDS_CLI_BAD_COLUMN = 22105,
    IDS_CLI_CANNOT_WRITE = 22107,
    IDS_CLI_UNKNOWN_GRID_FORMAT = 22108,
};
