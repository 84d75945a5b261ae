#pragma once
// Edits of the measurement table that know decibels: the overall (optionally A-weighted) level
// as the energetic sum of the octave bands, the check of a measured overall level against its
// bands, and the merging of repeated readings at one position into their energetic mean. Each
// edit is one undo step.

#include <vector>

#include "util/TxTypes.h"

class CTessarixDoc;

// The columns taken as octave bands by default: the enabled ones among 1..11.
std::vector<int> DefaultBandColumns(const CTessarixDoc& doc);

// The octave band 0..10 (16 Hz .. 16 kHz) a column 1..11 holds: the band its name names ("125 Hz",
// "1 kHz"), else the band of its place (column c holds band c - 1).
int OctaveBandOfColumn(const CTessarixDoc& doc, int column);

// Per point, the energetic sum of `bandColumns`, each corrected by the A-weighting of its octave
// band when `aWeighted`.
CTXFloatArray BandSums(const CTessarixDoc& doc, const std::vector<int>& bandColumns, bool aWeighted);

// Fills `target` with the band sums as the step "Band Sum"; false, and nothing changed, when a
// column is out of range, no band is given, or the target is one of the bands.
bool FillBandSum(CTessarixDoc& doc, int target, const std::vector<int>& bandColumns, bool aWeighted);

struct BandCheckRow {
    int point = 0;
    float measured = 0.0f;
    float bandSum = 0.0f;
    float difference = 0.0f;  // measured - bandSum
    bool outside = false;     // |difference| > the tolerance
};
// The measured level of `overall` against the band sum, point by point.
std::vector<BandCheckRow> CheckBandSum(const CTessarixDoc& doc, int overall, const std::vector<int>& bandColumns,
                                       bool aWeighted, double tolerance = 1.0);

// Groups of two or more points closer than `tolerance` to each other (through chains of such
// neighbours), each in point order, the groups in the order of their first point.
inline constexpr double kDefaultRepeatTolerance = 0.001;
std::vector<std::vector<int>> FindRepeatedReadings(const CTessarixDoc& doc, double tolerance);

// Replaces each group by one point at the mean position of the group (where its first point
// was), carrying in every column the energetic mean of the group's levels, as the step "Merge
// Readings". Returns the number of points removed (0: nothing changed, no step recorded).
int MergeRepeatedReadings(CTessarixDoc& doc, double tolerance);
