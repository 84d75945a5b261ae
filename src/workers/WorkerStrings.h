#pragma once
// Identifiers of the texts the batch map runs report.

enum WorkerStringId {
    IDS_SURFACE_TOO_FEW_POINTS = 22101,
    IDS_SURFACE_SINGULAR = 22102,
    IDS_SURFACE_NO_MEMORY = 22103,
    IDS_COLUMN_NOT_ENABLED = 22104,
    IDS_MAP_NOT_FINISHED = 22106,
};
