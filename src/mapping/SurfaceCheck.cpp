#include "mapping/SurfaceCheck.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "mapping/RbfInterpolator.h"

namespace {

bool Raised(const std::atomic<int32_t>* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed) != 0;
}

// How many rows of the system are assembled between two looks at the cancel flag.
constexpr int32_t kPollRows = 64;

// The augmented system of CRbfInterpolator, row-major with row stride `order`; returns ||A||_1,
// or -1 when `cancel` (may be null) was seen.
double Assemble(double* a, int32_t n, const double* px, const double* py, int32_t kernel, double c,
                const std::atomic<int32_t>* cancel)
{
    const int32_t order = n + 3;
    const double phi0 = RbfPhiAtZero(kernel, c);
    std::fill(a, a + size_t(order) * size_t(order), 0.0);
    for (int32_t i = 0; i < n; ++i) {
        if (i % kPollRows == 0 && Raised(cancel))
            return -1.0;
        double* row = a + size_t(i) * size_t(order);
        row[i] = phi0;
        for (int32_t j = i + 1; j < n; ++j) {
            const double dx = px[j] - px[i];
            const double dy = py[j] - py[i];
            const double phi = (dx == 0.0 && dy == 0.0) ? phi0 : RbfPhi(kernel, c, dx * dx + dy * dy);
            row[j] = phi;
            a[size_t(j) * size_t(order) + size_t(i)] = phi;
        }
        const double poly[3] = {1.0, px[i], py[i]};
        for (int32_t t = 0; t < 3; ++t) {
            row[n + t] = poly[t];
            a[size_t(n + t) * size_t(order) + size_t(i)] = poly[t];
        }
    }
    // The matrix is symmetric: the largest row sum is the largest column sum.
    double norm = 0.0;
    for (int32_t i = 0; i < order; ++i) {
        double sum = 0.0;
        for (int32_t j = 0; j < order; ++j)
            sum += std::fabs(a[size_t(i) * size_t(order) + size_t(j)]);
        norm = std::max(norm, sum);
    }
    return norm;
}

// The diagonal elements (A^-1)_kk for k in [k0, k0 + count), count <= kDiagonalBlock, from the
// decomposition A = L U of a symmetric A. Its unit-diagonal factors agree, A = L' D L'^T with
// L = L' D, so A^-1 = L'^-T D^-1 L'^-1 and, with y = L^-1 e_k,
//     (A^-1)_kk = sum_j d_j y_j^2.
// y is zero above row k, so all diagonals together cost a sixth of N^3. The solves of a block
// run side by side (`y` holds N x kDiagonalBlock doubles, row by row), so each row of L is read
// from memory once per block rather than once per point.
constexpr int32_t kDiagonalBlock = 8;

void InverseDiagonals(const double* lu, int32_t order, int32_t k0, int32_t count, double* y, double* diagonals)
{
    constexpr int32_t B = kDiagonalBlock;
    std::fill(y + size_t(k0) * B, y + size_t(order) * B, 0.0);
    for (int32_t b = 0; b < count; ++b)
        diagonals[b] = 0.0;
    for (int32_t r = k0; r < order; ++r) {
        const double* row = lu + size_t(r) * size_t(order);
        double dot[B] = {};
        for (int32_t j = k0; j < r; ++j) {
            const double l = row[j];
            const double* yj = y + size_t(j) * B;
#pragma omp simd
            for (int32_t b = 0; b < B; ++b)
                dot[b] += l * yj[b];
        }
        double* yr = y + size_t(r) * B;
        for (int32_t b = 0; b < count; ++b) {
            if (r < k0 + b)
                continue;  // above its own row the solve of point k0 + b is zero
            yr[b] = ((r == k0 + b ? 1.0 : 0.0) - dot[b]) / row[r];
            diagonals[b] += row[r] * yr[b] * yr[b];
        }
    }
}

double NormOne(const std::vector<double>& v)
{
    double s = 0.0;
    for (double e : v)
        s += std::fabs(e);
    return s;
}

// A lower estimate of ||A^-1||_1 for a symmetric A from a few solves (Hager's method with
// Higham's extra alternating vector), almost always the exact norm. `x` and `z` hold N doubles.
// Stops early (with a meaningless estimate) once `cancel` (may be null) is seen.
double EstimateInverseNorm(const double* lu, int32_t order, double* x, double* z, const std::atomic<int32_t>* cancel)
{
    constexpr int kMaxSteps = 5;
    const size_t n = size_t(order);
    std::vector<double> y(n);
    std::fill(x, x + n, 1.0 / double(order));
    double estimate = 0.0;
    int32_t previous = -1;
    for (int step = 0; step < kMaxSteps; ++step) {
        y.assign(x, x + n);
        if (!CroutSubstitute(lu, order, order, y.data(), cancel))
            return 0.0;
        estimate = std::max(estimate, NormOne(y));
        for (size_t i = 0; i < n; ++i)
            z[i] = y[i] >= 0.0 ? 1.0 : -1.0;
        if (!CroutSubstitute(lu, order, order, z, cancel))  // A^-T = A^-1
            return 0.0;
        int32_t largest = 0;
        double zx = 0.0;
        for (size_t i = 0; i < n; ++i) {
            zx += z[i] * x[i];
            if (std::fabs(z[i]) > std::fabs(z[size_t(largest)]))
                largest = int32_t(i);
        }
        if (std::fabs(z[size_t(largest)]) <= zx || largest == previous)
            break;
        std::fill(x, x + n, 0.0);
        x[size_t(largest)] = 1.0;
        previous = largest;
    }
    // A vector of growing alternating entries catches what the steps above can miss.
    for (size_t i = 0; i < n; ++i)
        y[i] = (i % 2 == 0 ? 1.0 : -1.0) * (1.0 + double(i) / double(std::max<int32_t>(1, order - 1)));
    if (!CroutSubstitute(lu, order, order, y.data(), cancel))
        return 0.0;
    return std::max(estimate, 2.0 * NormOne(y) / (3.0 * double(order)));
}

// Magnitude for ranking; a residual that is not a number ranks first.
double RankOf(double residual)
{
    return std::isnan(residual) ? std::numeric_limits<double>::infinity() : std::fabs(residual);
}

}  // namespace

bool SurfaceCheck::IsWorst(int32_t point) const
{
    return std::find(worst.begin(), worst.end(), point) != worst.end();
}

void SummariseResiduals(SurfaceCheck& check)
{
    const size_t measured = check.residuals.size();
    double squares = 0.0;
    for (double e : check.residuals)
        squares += e * e;
    check.rms = measured > 0 ? std::sqrt(squares / double(measured)) : 0.0;

    std::vector<int32_t> ranked(measured);
    for (size_t k = 0; k < measured; ++k)
        ranked[k] = int32_t(k);
    const size_t named = std::min<size_t>(ranked.size(), SurfaceCheck::kWorstCount);
    std::partial_sort(ranked.begin(), ranked.begin() + ptrdiff_t(named), ranked.end(), [&](int32_t p, int32_t q) {
        const double rp = RankOf(check.residuals[size_t(p)]), rq = RankOf(check.residuals[size_t(q)]);
        return rp != rq ? rp > rq : p < q;
    });
    check.worst.assign(ranked.begin(), ranked.begin() + ptrdiff_t(named));
}

SurfaceCheck CheckSurface(int32_t n, int32_t measured, const float* x, const float* y, const float* v,
                          int32_t kernel, float parameter, int threads, const std::atomic<int32_t>* cancel)
{
    SurfaceCheck check;
    const auto cancelledCheck = [] {
        SurfaceCheck stopped;
        stopped.status = SurfaceCheckStatus::Cancelled;
        return stopped;
    };
    if (n > kMaxInterpolationPoints) {
        check.status = SurfaceCheckStatus::TooManyPoints;
        return check;
    }
    if (n < 3 || measured < 1 || measured > n) {
        check.status = SurfaceCheckStatus::TooFewPoints;
        return check;
    }
    const int32_t order = n + 3;
    const double c = double(parameter);
    std::unique_ptr<double[]> system;
    std::vector<double> px, py, solution, unit, work, blockSolves;
    try {
        system.reset(new double[size_t(order) * size_t(order)]);
        px.assign(x, x + n);
        py.assign(y, y + n);
        solution.assign(size_t(order), 0.0);
        unit.assign(size_t(order), 0.0);
        work.assign(size_t(order), 0.0);
        blockSolves.assign(size_t(order) * kDiagonalBlock, 0.0);
        check.residuals.assign(size_t(measured), 0.0);
    } catch (const std::bad_alloc&) {
        check.status = SurfaceCheckStatus::OutOfMemory;
        return check;
    }
    double* a = system.get();
    const double normA = Assemble(a, n, px.data(), py.data(), kernel, c, cancel);
    if (normA < 0.0)
        return cancelledCheck();
    const RbfStatus solved = CroutDecompose(a, order, order, threads, cancel);
    if (solved == RbfStatus::Cancelled)
        return cancelledCheck();
    if (solved != RbfStatus::Solved) {
        check.status = SurfaceCheckStatus::Singular;
        check.residuals.clear();
        return check;
    }
    std::copy(v, v + n, solution.begin());
    if (!CroutSubstitute(a, order, order, solution.data(), cancel))
        return cancelledCheck();

    double diagonals[kDiagonalBlock];
    for (int32_t k0 = 0; k0 < measured; k0 += kDiagonalBlock) {
        if (Raised(cancel))
            return cancelledCheck();
        const int32_t count = std::min(kDiagonalBlock, measured - k0);
        InverseDiagonals(a, order, k0, count, blockSolves.data(), diagonals);
        for (int32_t b = 0; b < count; ++b)
            check.residuals[size_t(k0 + b)] = solution[size_t(k0 + b)] / diagonals[b];
    }
    check.conditionEstimate = normA * EstimateInverseNorm(a, order, unit.data(), work.data(), cancel);
    if (Raised(cancel))
        return cancelledCheck();

    SummariseResiduals(check);

    // The surface at the measured points, summed as the map's own evaluation sums it.
    const double phi0 = RbfPhiAtZero(kernel, c);
    check.fitted.assign(size_t(measured), 0.0);
    for (int32_t k = 0; k < measured; ++k) {
        if (k % kDiagonalBlock == 0 && Raised(cancel))
            return cancelledCheck();
        double s = solution[size_t(n)] + solution[size_t(n + 1)] * px[size_t(k)] + solution[size_t(n + 2)] * py[size_t(k)];
        for (int32_t j = 0; j < n; ++j) {
            const double dx = px[size_t(k)] - px[size_t(j)];
            const double dy = py[size_t(k)] - py[size_t(j)];
            s += solution[size_t(j)] * ((dx == 0.0 && dy == 0.0) ? phi0 : RbfPhi(kernel, c, dx * dx + dy * dy));
        }
        check.fitted[size_t(k)] = s;
        const double miss = std::fabs(s - double(v[k]));
        if (check.largestMissPoint < 0 || miss > check.largestMiss || std::isnan(miss)) {
            check.largestMiss = miss;
            check.largestMissPoint = k;
        }
    }
    check.status = SurfaceCheckStatus::Checked;
    return check;
}
