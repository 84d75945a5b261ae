#include "mapping/RbfInterpolator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "mapping/Surface3DData.h"

#if defined(__linux__)
#include <unistd.h>
#endif

#include "mapping/VectorClones.h"

namespace {

constexpr double kPi = 3.141592653589793;

// s(x, y) of the weights `w` solved for the points (px, py), summed in point order; a term whose
// distance is exactly zero takes phi(0).
template <class Coord>
double InterpolantAt(int32_t kernel, double c, const Coord* px, const Coord* py, const RbfWeights& w, double x,
                     double y)
{
    const double phi0 = RbfPhiAtZero(kernel, c);
    double s = 0.0;
    for (size_t k = 0; k < w.radial.size(); ++k) {
        const double dx = x - double(px[k]);
        const double dy = y - double(py[k]);
        s += w.radial[k] * ((dx == 0.0 && dy == 0.0) ? phi0 : RbfPhi(kernel, c, dx * dx + dy * dy));
    }
    return s + w.poly[0] + w.poly[1] * x + w.poly[2] * y;
}

// Runs fn(t) for t = 0..threads-1, t = 0 on the calling thread.
template <class Fn>
void RunShared(int threads, Fn&& fn)
{
    if (threads <= 1) {
        fn(0);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(threads - 1));
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back([&fn, t] { fn(t); });
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread does that share too.
            fn(t);
        }
    }
    fn(0);
    for (std::thread& h : helpers)
        h.join();
}

// ---- decomposition ---------------------------------------------------------------------------

typedef double v4d __attribute__((vector_size(32), aligned(8)));

inline v4d Load4(const double* p)
{
    v4d v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store4(double* p, v4d v)
{
    std::memcpy(p, &v, sizeof v);
}

// C[a][b] -= sum_{k<kc} L[a][k] U[k][b] for rows a0..a1-1 and columns b0..b1-1, each element
// receiving its kc multiply-subtract steps in ascending k. L points at column k0 of row 0, U at
// row k0, column 0.
TX_VECTOR_CLONES
void TrailingUpdate(double* a, int32_t stride, int32_t k0, int32_t kc, int32_t rowBegin, int32_t rowEnd,
                    int32_t colBegin, int32_t colEnd)
{
    constexpr int32_t kChunk = 256;  // columns of the U panel kept hot in the cache
    const double* u = a + size_t(k0) * size_t(stride);
    for (int32_t cb = colBegin; cb < colEnd; cb += kChunk) {
        const int32_t ce = std::min(colEnd, cb + kChunk);
        const int32_t vecEnd = cb + ((ce - cb) / 8) * 8;
        int32_t r = rowBegin;
        for (; r + 4 <= rowEnd; r += 4) {
            const double* l0 = a + size_t(r) * size_t(stride) + k0;
            const double* l1 = l0 + stride;
            const double* l2 = l1 + stride;
            const double* l3 = l2 + stride;
            double* c0 = a + size_t(r) * size_t(stride);
            double* c1 = c0 + stride;
            double* c2 = c1 + stride;
            double* c3 = c2 + stride;
            for (int32_t b = cb; b < vecEnd; b += 8) {
                v4d s00 = Load4(c0 + b), s01 = Load4(c0 + b + 4);
                v4d s10 = Load4(c1 + b), s11 = Load4(c1 + b + 4);
                v4d s20 = Load4(c2 + b), s21 = Load4(c2 + b + 4);
                v4d s30 = Load4(c3 + b), s31 = Load4(c3 + b + 4);
                const double* uk = u + b;
                for (int32_t k = 0; k < kc; ++k, uk += stride) {
                    const v4d u0 = Load4(uk), u1 = Load4(uk + 4);
                    const double m0 = l0[k], m1 = l1[k], m2 = l2[k], m3 = l3[k];
                    s00 -= m0 * u0;
                    s01 -= m0 * u1;
                    s10 -= m1 * u0;
                    s11 -= m1 * u1;
                    s20 -= m2 * u0;
                    s21 -= m2 * u1;
                    s30 -= m3 * u0;
                    s31 -= m3 * u1;
                }
                Store4(c0 + b, s00), Store4(c0 + b + 4, s01);
                Store4(c1 + b, s10), Store4(c1 + b + 4, s11);
                Store4(c2 + b, s20), Store4(c2 + b + 4, s21);
                Store4(c3 + b, s30), Store4(c3 + b + 4, s31);
            }
            for (int32_t row = 0; row < 4; ++row) {
                const double* l = l0 + size_t(row) * size_t(stride);
                double* c = c0 + size_t(row) * size_t(stride);
                for (int32_t b = vecEnd; b < ce; ++b) {
                    double s = c[b];
                    for (int32_t k = 0; k < kc; ++k)
                        s -= l[k] * u[size_t(k) * size_t(stride) + size_t(b)];
                    c[b] = s;
                }
            }
        }
        for (; r < rowEnd; ++r) {
            const double* l = a + size_t(r) * size_t(stride) + k0;
            double* c = a + size_t(r) * size_t(stride);
            for (int32_t b = cb; b < ce; ++b) {
                double s = c[b];
                for (int32_t k = 0; k < kc; ++k)
                    s -= l[k] * u[size_t(k) * size_t(stride) + size_t(b)];
                c[b] = s;
            }
        }
    }
}

// A cancelled solve returns at once, but freeing the few hundred megabytes of a large system
// takes some twenty milliseconds, which the request that cancelled it would wait for. Such a
// system is freed on a short-lived thread of its own instead.
void ReleaseAfterCancel(std::unique_ptr<double[]> system, size_t count)
{
    constexpr size_t kLargeSystem = size_t(4) << 20;  // doubles: 32 MB
    if (count < kLargeSystem)
        return;  // small enough to free on the way out
    double* p = system.release();
    try {
        std::thread([p] { delete[] p; }).detach();
    } catch (const std::system_error&) {
        delete[] p;
    }
}

// The machine's physical memory in bytes, or the largest size_t where it cannot be told.
size_t PhysicalMemoryBytes()
{
#if defined(__linux__)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return size_t(pages) * size_t(pageSize);
#endif
    return std::numeric_limits<size_t>::max();
}

bool Raised(const std::atomic<int32_t>* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed) != 0;
}

// col[a] -= f * src[a] for a in [0, count): one step of a panel column update.
TX_VECTOR_CLONES
void AxpyMinus(double* col, const double* src, double f, int32_t count)
{
    for (int32_t a = 0; a < count; ++a)
        col[a] -= src[a] * f;
}

}  // namespace

double RbfPhi(int32_t kernel, double c, double r2)
{
    switch (kernel) {
    case RbfMultiquadric:
        return std::sqrt(r2 + c * c);
    case RbfMadychNelson:
        return -2.0 * std::sqrt(kPi * (r2 + 1.0));
    case RbfThinPlateSpline: {
        const double t = r2 + c * c;
        return t * std::log(t);
    }
    case RbfCubicMultiquadric: {
        const double t = r2 + c * c;
        return t * std::sqrt(t);
    }
    case RbfLogarithmic:
        return std::log(r2 + (c + 1.0) * (c + 1.0));
    case RbfGaussian:
        return std::exp(-c * r2);
    default:
        return 0.0;
    }
}

double RbfPhiAtZero(int32_t kernel, double c)
{
    switch (kernel) {
    case RbfMultiquadric:
    case RbfThinPlateSpline:
    case RbfCubicMultiquadric:
        return c;
    case RbfMadychNelson:
        return -2.0 * std::sqrt(kPi);
    case RbfGaussian:
        return 1.0;
    default:
        return 0.0;
    }
}

void CRbfSystem::SetUp(int32_t kernel, float parameter, int32_t n, const float* x, const float* y)
{
    Release();
    m_kernel = kernel;
    m_c = double(parameter);
    m_n = std::max<int32_t>(0, n);
    m_px.assign(x, x + m_n);
    m_py.assign(y, y + m_n);
}

void CRbfSystem::Release()
{
    m_matrix.reset();
    m_stride = 0;
}

void CRbfSystem::ReleaseInBackground()
{
    const size_t elements = size_t(m_n + 3) * size_t(m_stride);
    ReleaseAfterCancel(std::move(m_matrix), elements);
    m_stride = 0;
}

void CRbfInterpolator::SetUp(int32_t kernel, float parameter, int32_t n, const float* x, const float* y,
                             const float* v)
{
    m_system.SetUp(kernel, parameter, n, x, y);
    m_values.assign(v, v + m_system.PointCount());
    m_weights = RbfWeights{};
}

bool CroutDecompose(double* a, int32_t n, int32_t stride, int threads)
{
    return CroutDecompose(a, n, stride, threads, nullptr) == RbfStatus::Solved;
}

RbfStatus CroutDecompose(double* a, int32_t n, int32_t stride, int threads, const std::atomic<int32_t>* cancel)
{
    constexpr int32_t kPanel = 64;
    std::vector<double> panel;      // the panel's rows k0..n-1, column by column
    std::vector<double> uColumn(kPanel);
    for (int32_t k0 = 0; k0 < n; k0 += kPanel) {
        const int32_t k1 = std::min(n, k0 + kPanel);
        const int32_t width = k1 - k0;
        const int32_t height = n - k0;
        panel.assign(size_t(width) * size_t(height), 0.0);
        auto P = [&](int32_t row, int32_t col) -> double& {  // absolute row, panel column
            return panel[size_t(col) * size_t(height) + size_t(row - k0)];
        };
        for (int32_t row = k0; row < n; ++row)
            for (int32_t col = 0; col < width; ++col)
                P(row, col) = a[size_t(row) * size_t(stride) + size_t(k0 + col)];

        for (int32_t m = k0; m < k1; ++m) {
            if (Raised(cancel))
                return RbfStatus::Cancelled;
            const int32_t mc = m - k0;
            double* column = &P(m, mc);
            // Column m of L: the steps k0..m-1 (earlier steps came with the trailing updates).
            for (int32_t k = k0; k < m; ++k)
                AxpyMinus(column, &P(m, k - k0), P(k, mc), n - m);
            const double pivot = P(m, mc);
            if (pivot == 0.0)
                return RbfStatus::Singular;
            // Row m of U inside the panel.
            for (int32_t col = mc + 1; col < width; ++col) {
                double s = P(m, col);
                for (int32_t k = k0; k < m; ++k)
                    s -= P(m, k - k0) * P(k, col);
                P(m, col) = s / pivot;
            }
        }
        for (int32_t row = k0; row < n; ++row)
            for (int32_t col = 0; col < width; ++col)
                a[size_t(row) * size_t(stride) + size_t(k0 + col)] = P(row, col);
        if (k1 >= n)
            break;

        // Rows k0..k1-1 of U right of the panel.
        for (int32_t m = k0; m < k1; ++m) {
            if (Raised(cancel))
                return RbfStatus::Cancelled;
            double* row = a + size_t(m) * size_t(stride);
            for (int32_t k = k0; k < m; ++k)
                AxpyMinus(row + k1, a + size_t(k) * size_t(stride) + k1, row[k], n - k1);
            const double pivot = row[m];
            for (int32_t b = k1; b < n; ++b)
                row[b] /= pivot;
        }

        // Everything below and right of the panel receives the panel's steps.
        const int32_t rows = n - k1;
        const int useThreads = std::max(1, std::min(threads, rows / 64));
        RunShared(useThreads, [&](int t) {
            // Blocks of four rows dealt out in turn keep the shares even as the matrix shrinks.
            const int32_t blocks = (rows + 3) / 4;
            for (int32_t blk = t; blk < blocks; blk += useThreads) {
                if (Raised(cancel))
                    return;
                const int32_t r0 = k1 + blk * 4;
                TrailingUpdate(a, stride, k0, width, r0, std::min(n, r0 + 4), k1, n);
            }
        });
        if (Raised(cancel))
            return RbfStatus::Cancelled;
    }
    return RbfStatus::Solved;
}

bool CroutSubstitute(const double* a, int32_t n, int32_t stride, double* b, const std::atomic<int32_t>* cancel)
{
    constexpr int32_t kPollRows = 64;
    for (int32_t r = 0; r < n; ++r) {
        if (r % kPollRows == 0 && Raised(cancel))
            return false;
        const double* row = a + size_t(r) * size_t(stride);
        double s = b[r];
        for (int32_t k = 0; k < r; ++k)
            s -= row[k] * b[k];
        b[r] = s / row[r];
    }
    for (int32_t r = n - 1; r >= 0; --r) {
        if (r % kPollRows == 0 && Raised(cancel))
            return false;
        const double* row = a + size_t(r) * size_t(stride);
        double s = b[r];
        for (int32_t k = r + 1; k < n; ++k)
            s -= row[k] * b[k];
        b[r] = s;
    }
    return true;
}

bool CRbfInterpolator::Solve(int threads)
{
    return Solve(threads, nullptr) == RbfStatus::Solved;
}

RbfStatus CRbfInterpolator::Solve(int threads, const std::atomic<int32_t>* cancel)
{
    m_weights = RbfWeights{};
    RbfStatus status = m_system.Factorise(threads, cancel);
    if (status == RbfStatus::Solved && !m_system.Substitute(m_values.data(), &m_weights, cancel))
        status = RbfStatus::Cancelled;
    if (status == RbfStatus::Cancelled)
        m_system.ReleaseInBackground();
    m_system.Release();  // the weights are all the grid needs
    return status;
}

RbfStatus CRbfSystem::Factorise(int threads, const std::atomic<int32_t>* cancel)
{
    Release();
    const int32_t n = m_n;
    const int32_t order = n + 3;
    const int32_t stride = (order + 3) & ~3;
    // Left uninitialised: every row is filled (or zeroed) by the assembly below, row by row, so
    // that a cancel need not wait for the whole matrix to be cleared first.
    const size_t elements = size_t(order) * size_t(stride);
    // A system larger than the machine's memory is refused before it is allocated: where the
    // system overcommits, the allocation itself would succeed and filling it would end the program.
    if (elements > PhysicalMemoryBytes() / sizeof(double))
        return RbfStatus::OutOfMemory;
    std::unique_ptr<double[]> matrix;
    try {
        matrix.reset(new double[elements]);
    } catch (const std::bad_alloc&) {
        return RbfStatus::OutOfMemory;
    }
    double* a = matrix.get();
    const double phi0 = RbfPhiAtZero(m_kernel, m_c);
    // Row i: columns below i were written as the mirror of earlier rows; the rest is set here.
    for (int32_t i = 0; i < n; ++i) {
        if (Raised(cancel)) {
            ReleaseAfterCancel(std::move(matrix), elements);
            return RbfStatus::Cancelled;
        }
        double* row = a + size_t(i) * size_t(stride);
        row[i] = phi0;
        for (int32_t j = i + 1; j < n; ++j) {
            // The mirror writes below touch a fresh page of every later row now and then; a
            // row can take milliseconds then, so the flag is read within it too.
            if ((j & 255) == 0 && Raised(cancel)) {
                ReleaseAfterCancel(std::move(matrix), elements);
                return RbfStatus::Cancelled;
            }
            const double dx = m_px[size_t(j)] - m_px[size_t(i)];
            const double dy = m_py[size_t(j)] - m_py[size_t(i)];
            const double phi = (dx == 0.0 && dy == 0.0) ? phi0 : RbfPhi(m_kernel, m_c, dx * dx + dy * dy);
            row[j] = phi;
            a[size_t(j) * size_t(stride) + size_t(i)] = phi;
        }
        row[n] = 1.0;
        row[n + 1] = m_px[size_t(i)];
        row[n + 2] = m_py[size_t(i)];
        for (int32_t pad = order; pad < stride; ++pad)
            row[pad] = 0.0;
        a[size_t(n) * size_t(stride) + size_t(i)] = 1.0;
        a[size_t(n + 1) * size_t(stride) + size_t(i)] = m_px[size_t(i)];
        a[size_t(n + 2) * size_t(stride) + size_t(i)] = m_py[size_t(i)];
    }
    for (int32_t r = n; r < order; ++r)  // the polynomial rows end in a zero block
        for (int32_t col = n; col < stride; ++col)
            a[size_t(r) * size_t(stride) + size_t(col)] = 0.0;
    const RbfStatus decomposed = CroutDecompose(a, order, stride, threads, cancel);
    if (decomposed == RbfStatus::Cancelled)
        ReleaseAfterCancel(std::move(matrix), elements);
    if (decomposed != RbfStatus::Solved)
        return decomposed;
    m_matrix = std::move(matrix);
    m_stride = stride;
    return RbfStatus::Solved;
}

bool CRbfSystem::Substitute(const float* v, RbfWeights* out, const std::atomic<int32_t>* cancel) const
{
    if (!m_matrix)
        return false;
    const int32_t n = m_n;
    std::vector<double> rhs(size_t(n) + 3, 0.0);
    for (int32_t i = 0; i < n; ++i)
        rhs[size_t(i)] = double(v[i]);
    if (!CroutSubstitute(m_matrix.get(), n + 3, m_stride, rhs.data(), cancel))
        return false;
    out->radial.assign(rhs.begin(), rhs.begin() + n);
    out->poly[0] = rhs[size_t(n)];
    out->poly[1] = rhs[size_t(n + 1)];
    out->poly[2] = rhs[size_t(n + 2)];
    return true;
}

double CRbfInterpolator::Evaluate(double x, double y) const
{
    return InterpolantAt(m_system.Kernel(), m_system.Parameter(), m_system.X().data(), m_system.Y().data(),
                         m_weights, x, y);
}

bool RunGridPass(const CRbfGridPass& pass, int threads, const std::atomic<int32_t>* cancel)
{
    pass.SetRowCoordinates();
    const int32_t columns = pass.ColumnCount();
    const int useThreads = std::max(1, std::min(threads, columns));
    std::atomic<int32_t> next{0};
    std::atomic<bool> completed{true};
    RunShared(useThreads, [&](int) {
        for (int32_t i = next.fetch_add(1); i < columns; i = next.fetch_add(1)) {
            if (!pass.EvaluateColumns(i, i + 1, cancel)) {
                completed.store(false, std::memory_order_relaxed);
                return;
            }
        }
    });
    return completed.load() && !Raised(cancel);
}

bool CRbfInterpolator::EvaluateGrid(CSurface3DData& surface, double x0, double y0, double dx, double dy,
                                    int threads) const
{
    if (!surface.HasGrid() || m_weights.radial.size() != size_t(m_system.PointCount()))
        return false;
    CRbfGridPass pass(m_system.Kernel(), m_system.Parameter(), m_system.PointCount(), m_system.X().data(),
                      m_system.Y().data(), {x0, y0, dx, dy});
    pass.AddTarget(m_weights, surface);
    return RunGridPass(pass, threads, &surface.cancel);
}

bool ComputeSurface(int32_t n, const float* x, const float* y, const float* v, int32_t kernel, float parameter,
                    double x0, double y0, double dx, double dy, CSurface3DData& surface, int threads,
                    RbfStatus* status, RbfWeights* weights)
{
    RbfStatus unused;
    RbfStatus& result = status ? *status : unused;
    result = RbfStatus::Singular;
    surface.SetValid(false);
    if (n < 3 || !surface.HasGrid())
        return false;
    CRbfInterpolator rbf;
    try {
        rbf.SetUp(kernel, parameter, n, x, y, v);
    } catch (const std::bad_alloc&) {
        result = RbfStatus::OutOfMemory;
        return false;
    }
    result = rbf.Solve(threads, &surface.cancel);
    if (result != RbfStatus::Solved)
        return false;
    if (!rbf.EvaluateGrid(surface, x0, y0, dx, dy, threads)) {
        result = RbfStatus::Cancelled;
        return false;
    }
    surface.UpdateStatistics();
    surface.SetValid(true);
    if (weights) {
        weights->radial = rbf.Weights();
        std::copy(rbf.Polynomial(), rbf.Polynomial() + 3, weights->poly);
    }
    return true;
}

void EvaluateAtOwnPoints(int32_t kernel, float parameter, int32_t n, const float* x, const float* y,
                         const RbfWeights& weights, int32_t count, double* out)
{
    if (int32_t(weights.radial.size()) != n)
        return;
    for (int32_t k = 0; k < count && k < n; ++k)
        out[k] = InterpolantAt(kernel, parameter, x, y, weights, x[k], y[k]);
}
