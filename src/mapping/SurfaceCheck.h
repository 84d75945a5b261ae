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
    std::vector<double> fitted;     // the surface s(p_k) at each measured point
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
// Sets the RMS and the worst points from the residuals.
void SummariseResiduals(SurfaceCheck& check);

// The check of a surface interpolated as energies (the energy option, see EnergyDomain.h), with
// `levels` as the input values: the system is solved for the energies, and the residuals, their
// RMS, the worst points and the largest miss are restated in dB. A leave-one-out residual is
// L_k - 10 log10(E_k - e_k) with e_k the residual in energy; where the energy left is not
// positive the surface would show the lowest measured level, and so does the residual. The
// condition estimate is that of the same system, whatever the values.
struct EnergySurfaceCheck {
    SurfaceCheck check;
    // Nodes of the (countX + 1) x (countY + 1) map grid whose interpolated energy is not
    // positive, so that the map shows the lowest measured level there; -1 unless the status is
    // Checked (a grid count below 1 is refused as OutOfMemory: there is no grid to count).
    int32_t nonPositiveNodes = -1;
    float lowestLevel = 0.0f;  // the level those nodes show
};
EnergySurfaceCheck CheckEnergySurface(int32_t n, int32_t measured, const float* x, const float* y,
                                      const float* levels, int32_t kernel, float parameter, int32_t countX,
                                      int32_t countY, int threads = 1,
                                      const std::atomic<int32_t>* cancel = nullptr);
