#pragma once
// The result of contour tracing: for every contour level k three entries 3k, 3k + 1, 3k + 2
// (the level itself and the two intermediate lines at a third and two thirds of the step), each
// owning the polylines traced at that sub-level. Coordinates are normalised (0..1 across the map
// extent), like the surface they were traced on.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "util/TxTypes.h"

// One raw segment of a sub-level: start (x1, y1) to end (x2, y2).
struct Templine {
    float x1, y1, x2, y2;
};
using CCMAP_Templine = std::vector<Templine>;

class CCMAP_Polyline : public std::vector<KW_FPOINT> {
public:
    int32_t closed = 0;  // 1 when the first and the last point are equal
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;

    // Starts a polyline from one segment.
    void Start(KW_FPOINT a, KW_FPOINT b);
    void InsertFront(KW_FPOINT p);
    void InsertBack(KW_FPOINT p);

private:
    void Widen(KW_FPOINT p);
};

class CCMAP_ContourLevel {
public:
    std::vector<std::unique_ptr<CCMAP_Polyline>> polylines;
};

class CCMAP_ContourResult {
public:
    std::vector<CCMAP_ContourLevel> entries;  // 3 × level count
    void Clear() { entries.clear(); }

    // Interlocked flags shared with the requester (busy while a run is in progress; cancel while
    // a requester is stopping it).
    std::atomic<int32_t> busy{0};
    std::atomic<int32_t> cancel{0};
    bool Cancelled() const { return cancel.load(std::memory_order_relaxed) != 0; }
};
