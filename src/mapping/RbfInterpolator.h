#pragma once
// CRbfInterpolator: exact radial-basis-function interpolation of scattered points with a linear
// polynomial term, evaluated on a regular grid.
//
// Notation. n points p_k = (x_k, y_k) with values v_k, all in normalised map coordinates (the map
// extent mapped onto the unit square). phi is the kernel of the chosen type with parameter c; r is
// the Euclidean distance of two points. The interpolant is
//     s(x, y) = sum_k w_k phi(|(x, y) - p_k|) + a0 + a1 x + a2 y
// and the weights w and coefficients a solve the symmetric system of order N = n + 3
//     [ Phi  P ] [w]   [v]        Phi[i][j] = phi(|p_j - p_i|)   (diagonal: phi(0))
//     [ P^T  0 ] [a] = [0]        P[i] = (1, x_i, y_i)
//
// phi(0) is not the limit of the formula: a distance that is exactly zero (both coordinate
// differences exactly 0.0) takes the tabulated value, which for the thin plate spline and type 3
// is c itself. Every kernel depends on r only through r^2, so no square root is taken for the
// distance itself.
//
// The solve is Crout's decomposition A = L U (U with a unit diagonal) without pivoting. A pivot
// that is exactly 0.0 ends the solve with a failure: two points at the same position (adjacent
// in the input) and kernels with phi(0) = 0 fail this way. The decomposition is blocked for the
// cache, but every element receives the same sequence of multiply-subtract steps, in the same
// order (k ascending), as the textbook element-by-element loops, so results and the inputs that
// fail do not depend on the blocking or on how many threads share the work.
//
// Grid evaluation (CRbfGridPass) polls the surface's cancel flag before every node; the columns
// of the grid are shared among up to `threads` threads, each of which stops within one node
// after the flag rises.
// The solve polls the same flag: per row of the assembly, per column of a panel, per block of four
// rows of a trailing update and every few dozen rows of the substitutions, so at a few thousand
// points a cancel takes effect within milliseconds. Polling only reads the flag; it changes no
// arithmetic, so an uncancelled solve gives the same bits as before.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "mapping/RbfGridPass.h"
#include "util/RbfKernel.h"
#include "util/TxTypes.h"

class CSurface3DData;

// The most points (measurements, boundary and conditioning points together) a map is
// interpolated from: the dense system of n points holds (n + 3)^2 doubles (512 MB here) and its
// solve takes about 30 seconds on a two-core machine; larger inputs are refused before anything
// is allocated.
inline constexpr int32_t kMaxInterpolationPoints = 8000;

// How a solve ended.
enum class RbfStatus {
    Solved,       // weights and polynomial coefficients are set
    Singular,     // a pivot was exactly zero
    Cancelled,    // the cancel flag was seen; no result
    OutOfMemory,  // the system could not be allocated
};

// The kernel value for a squared distance r2 that is not zero, and the value at distance zero.
double RbfPhi(int32_t kernel, double c, double r2);
double RbfPhiAtZero(int32_t kernel, double c);

// CRbfSystem: the system of one set of points (kernel, parameter, positions), assembled and
// decomposed once; each set of values at those points is then solved by one substitution.
// The matrix depends on the positions only, never on the values, so the data columns measured
// at the same positions share it.
class CRbfSystem {
public:
    // Stores the kernel, its parameter and the n points (normalised) as doubles; forgets any
    // earlier decomposition.
    void SetUp(int32_t kernel, float parameter, int32_t n, const float* x, const float* y);
    // Assembles and decomposes the system with `threads` threads, polling `cancel` (may be null).
    RbfStatus Factorise(int threads, const std::atomic<int32_t>* cancel);
    bool IsFactorised() const { return m_matrix != nullptr; }
    // The weights of the n values `v` (after Factorise); false, `out` untouched, when `cancel`
    // (may be null) was seen.
    bool Substitute(const float* v, RbfWeights* out, const std::atomic<int32_t>* cancel) const;
    // Frees the decomposition.
    void Release();
    // The same for a cancelled run: a large system is freed on a short-lived thread, so that the
    // request that cancelled it need not wait for the memory to be returned.
    void ReleaseInBackground();

    int32_t Kernel() const { return m_kernel; }
    double Parameter() const { return m_c; }
    int32_t PointCount() const { return m_n; }
    const std::vector<double>& X() const { return m_px; }
    const std::vector<double>& Y() const { return m_py; }

private:
    int32_t m_kernel = RbfMultiquadric;
    int32_t m_n = 0;
    double m_c = 0.2;
    std::vector<double> m_px;  // point coordinates, one array per axis for vector-friendly sums
    std::vector<double> m_py;
    std::unique_ptr<double[]> m_matrix;  // the decomposition, row-major with row stride m_stride
    int32_t m_stride = 0;
};

class CRbfInterpolator {
public:
    CRbfInterpolator() = default;

    // Stores the kernel, its parameter and the n points (normalised) as doubles.
    void SetUp(int32_t kernel, float parameter, int32_t n, const float* x, const float* y, const float* v);
    // Assembles and solves the system; false when a pivot is exactly zero (no weights then).
    // `threads` threads share the elimination of the trailing blocks.
    bool Solve(int threads = 1);
    // The same, stopping without a result once `cancel` (may be null) is nonzero.
    RbfStatus Solve(int threads, const std::atomic<int32_t>* cancel);
    // The value of the interpolant at (x, y), evaluated in double.
    double Evaluate(double x, double y) const;
    // Fills every node of `surface` (already allocated) at x0 + dx i, y0 + dy j; false when the
    // surface's cancel flag was seen (the grid is then partly filled and the statistics untouched).
    bool EvaluateGrid(CSurface3DData& surface, double x0, double y0, double dx, double dy, int threads = 1) const;

    int32_t Kernel() const { return m_system.Kernel(); }
    int32_t PointCount() const { return m_system.PointCount(); }
    double Parameter() const { return m_system.Parameter(); }
    const std::vector<double>& Weights() const { return m_weights.radial; }
    const double* Polynomial() const { return m_weights.poly; }

private:
    CRbfSystem m_system;
    std::vector<float> m_values;
    RbfWeights m_weights;
};

// Evaluates every grid column of `pass` with up to `threads` threads, which take the columns one
// at a time; false when `cancel` was seen.
bool RunGridPass(const CRbfGridPass& pass, int threads, const std::atomic<int32_t>* cancel);

// Unpivoted Crout decomposition of the row-major n x n matrix `a` (row stride `stride`) in place:
// L on and below the diagonal, U (unit diagonal implied) above it. False on an exactly zero pivot.
bool CroutDecompose(double* a, int32_t n, int32_t stride, int threads = 1);
// The same, polling `cancel` (may be null): Solved, Singular or Cancelled (the matrix is then
// partly decomposed).
RbfStatus CroutDecompose(double* a, int32_t n, int32_t stride, int threads, const std::atomic<int32_t>* cancel);
// Solves L U w = b in place of b with a decomposition made by CroutDecompose; false when
// `cancel` (may be null) was seen, b then being partly solved.
bool CroutSubstitute(const double* a, int32_t n, int32_t stride, double* b,
                     const std::atomic<int32_t>* cancel = nullptr);

// Computes the surface of `n` points: set-up, solve, grid at (x0 + dx i, y0 + dy j) and the
// statistics. False when the solve fails or the cancel flag is seen; the surface is valid only
// after a true return. `threads` is how many threads may share the work. `status`, when given,
// tells a singular system from a cancellation or a lack of memory.
bool ComputeSurface(int32_t n, const float* x, const float* y, const float* v, int32_t kernel, float parameter,
                    double x0, double y0, double dx, double dy, CSurface3DData& surface, int threads = 1,
                    RbfStatus* status = nullptr, RbfWeights* weights = nullptr);

// The interpolant of `weights` (with `kernel`, `parameter` and the n normalised points x, y it was
// solved for) at its own first `count` points, into out[0..count). Evaluated in double, as the
// grid is; a well-conditioned system gives back the values it was solved for.
void EvaluateAtOwnPoints(int32_t kernel, float parameter, int32_t n, const float* x, const float* y,
                         const RbfWeights& weights, int32_t count, double* out);
