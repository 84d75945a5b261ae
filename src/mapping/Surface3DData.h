#pragma once
// CSurface3DData: the interpolated grid of one data column, in normalised coordinates (0..1
// across the map extent in both directions), with its statistics and the cancel flag that a
// requester raises from the user-interface thread.
//
// Layout: node (i, j) sits at (X[i], Y[j]); its value is Value(i, j). The values are held in one
// block, column i after column i - 1 (NY values each), so z[i][j] of the design is z[i * NY + j].
//
// A surface is usable only while IsValid(): allocation, a failed solve or a cancellation leave it
// invalid, and every consumer (contour tracer, drawing, cursor read-out) treats an invalid
// surface as absent until the next successful computation.

#include <atomic>
#include <cstdint>
#include <vector>

#include "util/TxTypes.h"

struct GridIndex {
    int32_t i = -1;
    int32_t j = -1;
    friend bool operator==(const GridIndex&, const GridIndex&) = default;
};

class CSurface3DData {
public:
    CSurface3DData() = default;
    virtual ~CSurface3DData() = default;
    CSurface3DData(const CSurface3DData&) = delete;
    CSurface3DData& operator=(const CSurface3DData&) = delete;

    // Allocates nx × ny nodes (invalid until filled); false, with the surface emptied, when the
    // memory cannot be had.
    bool Allocate(int32_t nx, int32_t ny);
    // Frees everything; the surface is then invalid with no nodes.
    void Empty();
    // Exchanges the nodes, their coordinates and validity with `other`; the statistics and the
    // cancel flags stay where they are.
    void SwapGrid(CSurface3DData& other);

    int32_t NX() const { return m_nx; }
    int32_t NY() const { return m_ny; }
    bool HasGrid() const { return m_nx > 0 && m_ny > 0; }
    bool IsValid() const { return m_valid && HasGrid(); }
    void SetValid(bool valid) { m_valid = valid; }

    float X(int32_t i) const { return m_x[size_t(i)]; }
    float Y(int32_t j) const { return m_y[size_t(j)]; }
    float Value(int32_t i, int32_t j) const { return m_z[size_t(i) * size_t(m_ny) + size_t(j)]; }
    float& Value(int32_t i, int32_t j) { return m_z[size_t(i) * size_t(m_ny) + size_t(j)]; }
    CTXFloatArray& XArray() { return m_x; }
    CTXFloatArray& YArray() { return m_y; }
    const CTXFloatArray& XArray() const { return m_x; }
    const CTXFloatArray& YArray() const { return m_y; }
    // The values of column i: NY floats.
    float* Column(int32_t i) { return m_z.data() + size_t(i) * size_t(m_ny); }
    const float* Column(int32_t i) const { return m_z.data() + size_t(i) * size_t(m_ny); }

    // Scans the grid (i outer, j inner; the first occurrence wins ties) and the node coordinates.
    void UpdateStatistics();
    // (minimum, maximum) of the grid; (0, 0) without a grid.
    void GetValueRange(float* minimum, float* maximum) const;

    GridIndex maxPos;
    GridIndex minPos;
    GridIndex minPositivePos;  // smallest strictly positive value; (-1, -1) when none
    GridIndex maxNegativePos;  // negative value nearest zero; (-1, -1) when none
    int32_t maxXIndex = -1;
    int32_t minXIndex = -1;
    int32_t maxYIndex = -1;
    int32_t minYIndex = -1;

    // Raised (1) by a requester to stop the computation in progress; polled before every node
    // and every contour box.
    std::atomic<int32_t> cancel{0};
    bool Cancelled() const { return cancel.load(std::memory_order_relaxed) != 0; }

private:
    CTXFloatArray m_x;
    CTXFloatArray m_y;
    std::vector<float> m_z;
    int32_t m_nx = 0;
    int32_t m_ny = 0;
    bool m_valid = false;
};
