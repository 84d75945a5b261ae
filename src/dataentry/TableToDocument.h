#pragma once
// Builds a document's measurement table from a text table and fits the map to it: the named
// columns are enabled in order, the X and Y axes and the map extent cover the positions with
// round numbers, and the colour axis covers the values.

#include "dataentry/TextTableReader.h"

class CTessarixDoc;

void ApplyTextTable(CTessarixDoc& doc, const TextTable& table);

// A round step for a range to be divided into about `parts` pieces: 1, 2, 2.5 or 5 × 10^k.
float NiceStep(float range, int parts);
