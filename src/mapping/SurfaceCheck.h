#pragma once
// How well a surface stands behind its own input: for every measured point the leave-one-out
// residual (the measured value minus the value the surface would give there without that
// point), the largest miss of the surface at the measured points, and an estimate of the
// condition number of the interpolation system.
//
// The residuals come from one decomposition by Rippa's formula: with A the augmented system of
// CRbfInterpolator and c its solution, the surface fitted without point k misses it by
//     e_k = c_k / (A^-1)_kk,
// which holds with the polynomial part too, since the leave-one-out surface solves A with row
// and column k struck out. The diagonal of A^-1 comes from the factors of the decomposition
// (a sixth of N^3 more work, no second matrix); the condition estimate is ||A||_1 times an
// estimate of ||A^-1||_1 from a few more solves.
//
// Input as for ComputeSurface: coordinates normalised to the map extent, the measured points
// first (the first `measured` of `n`), then the boundary and conditioning points, which take
// part in the system but are not checked.

#include <atomic>
#include <cstdint>
#include <vector>

enum class SurfaceCheckStatus {
    Checked,        // every field below is set
    TooFewPoints,   // fewer than 3 points, or no measured point
    TooManyPoints,  // more than kMaxInterpolationPoints: refused before anything is allocated
    Singular,       // a pivot of the system was exactly zero
    OutOfMemory,    // the system could not be allocated
    Cancelled,      // the cancel flag was seen; no result
};

struct SurfaceCheck {
    static constexpr int kWorstCount = 5;  // how many of the worst points are named
    // A well-conditioned interpolant passes through its points; a larger miss (in the unit of
    // the values, dB) means the system is ill-conditioned and the parameter should change.
    static constexpr double kIllConditionedMiss = 0.1;

    SurfaceCheckStatus status = SurfaceCheckStatus::TooFewPoints;
    std::vector<double> residuals;  // leave-one-out residual of each measured point
    double rms = 0.0;               // root mean square of the residuals
    std::vector<int32_t> worst;     // up to kWorstCount measured points, largest |residual| first
    double largestMiss = 0.0;       // max |s(p_k) - v_k| over the measured points
    int32_t largestMissPoint = -1;
    double conditionEstimate = 0.0; // ||A||_1 ||A^-1||_1

    bool IsWorst(int32_t point) const;
    // The miss exceeds kIllConditionedMiss (or is not a number).
    bool MissesPoints() const { return !(largestMiss <= kIllConditionedMiss); }
};

// `threads` threads share the decomposition. `cancel` (may be null) is polled in the
// decomposition and between the blocks of the later passes; once it is nonzero the check stops
// with Cancelled and nothing else set.
SurfaceCheck CheckSurface(int32_t n, int32_t measured, const float* x, const float* y, const float* v,
                          int32_t kernel, float parameter, int threads = 1,
                          const std::atomic<int32_t>* cancel = nullptr);
