#include "mapping/RbfGridPass.h"

#include <algorithm>
#include <cmath>

#include "mapping/AlignedRows.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "util/RbfKernel.h"

#include "mapping/VectorClones.h"

namespace {

constexpr double kPi = 3.141592653589793;
// Nodes of a grid column whose sums are taken together.
constexpr int32_t kNodeBlock = 4;

// ---- kernel rows: phi_k for one node, r_k^2 = dx2[k] + (y - py[k])^2 --------------------------
// The `exact` forms give phi(0) to a term whose distance is exactly zero; they are needed only
// in grid columns where some point shares the node abscissa exactly.

TX_VECTOR_CLONES
void RowMultiquadric(int32_t n, const double* dx2, const double* py, double y, double c2, double* phi)
{
#pragma omp simd
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        phi[k] = std::sqrt(dx2[k] + dy * dy + c2);
    }
}

TX_VECTOR_CLONES
void RowMultiquadricExact(int32_t n, const double* dx, const double* dx2, const double* py, double y, double c2,
                          double phi0, double* phi)
{
#pragma omp simd
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        const double value = std::sqrt(dx2[k] + dy * dy + c2);
        phi[k] = (dx[k] == 0.0 && dy == 0.0) ? phi0 : value;
    }
}

TX_VECTOR_CLONES
void RowMadychNelson(int32_t n, const double* dx2, const double* py, double y, double* phi)
{
#pragma omp simd
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        phi[k] = -2.0 * std::sqrt(kPi * (dx2[k] + dy * dy + 1.0));
    }
}

TX_VECTOR_CLONES
void RowMadychNelsonExact(int32_t n, const double* dx, const double* dx2, const double* py, double y, double phi0,
                          double* phi)
{
#pragma omp simd
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        const double value = -2.0 * std::sqrt(kPi * (dx2[k] + dy * dy + 1.0));
        phi[k] = (dx[k] == 0.0 && dy == 0.0) ? phi0 : value;
    }
}

TX_VECTOR_CLONES
void RowCubic(int32_t n, const double* dx, const double* dx2, const double* py, double y, double c2, double phi0,
              double* phi)
{
#pragma omp simd
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        const double t = dx2[k] + dy * dy + c2;
        const double value = t * std::sqrt(t);
        phi[k] = (dx[k] == 0.0 && dy == 0.0) ? phi0 : value;
    }
}

// Kernels with a logarithm or an exponential: no vector form without relaxed math.
void RowGeneric(int32_t kernel, double c, int32_t n, const double* dx, const double* dx2, const double* py, double y,
                double phi0, double* phi)
{
    for (int32_t k = 0; k < n; ++k) {
        const double dy = y - py[k];
        phi[k] = (dx[k] == 0.0 && dy == 0.0) ? phi0 : RbfPhi(kernel, c, dx2[k] + dy * dy);
    }
}

// ---- sums: s = sum_k w[k] phi[k] for one, two or four value sets ------------------------------
// The vector sums reduce each set exactly as a loop of its own would (the same lanes, the same
// final combination), so a set gives the same bits in any company. The kernels without a vector
// row sum in plain ascending order.

TX_VECTOR_CLONES
double VectorSum1(int32_t n, const double* w0, const double* phi)
{
    double s0 = 0.0;
#pragma omp simd reduction(+ : s0)
    for (int32_t k = 0; k < n; ++k)
        s0 += w0[k] * phi[k];
    return s0;
}

TX_VECTOR_CLONES
void VectorSum2(int32_t n, const double* const* w, const double* phi, double* s)
{
    const double *w0 = w[0], *w1 = w[1];
    double s0 = 0.0, s1 = 0.0;
#pragma omp simd reduction(+ : s0, s1)
    for (int32_t k = 0; k < n; ++k) {
        s0 += w0[k] * phi[k];
        s1 += w1[k] * phi[k];
    }
    s[0] = s0, s[1] = s1;
}

TX_VECTOR_CLONES
void VectorSum4(int32_t n, const double* const* w, const double* phi, double* s)
{
    const double *w0 = w[0], *w1 = w[1], *w2 = w[2], *w3 = w[3];
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
#pragma omp simd reduction(+ : s0, s1, s2, s3)
    for (int32_t k = 0; k < n; ++k) {
        s0 += w0[k] * phi[k];
        s1 += w1[k] * phi[k];
        s2 += w2[k] * phi[k];
        s3 += w3[k] * phi[k];
    }
    s[0] = s0, s[1] = s1, s[2] = s2, s[3] = s3;
}

// Four nodes at once: every weight read serves four kernel rows. Each (node, set) sum has a
// reduction of its own, vectorised exactly as the one-node sums above, so blocking changes no bit.

TX_VECTOR_CLONES
void VectorSum4Nodes4(int32_t n, const double* const* w, const double* const* phi, double* s, int32_t stride)
{
    const double *w0 = w[0], *w1 = w[1], *w2 = w[2], *w3 = w[3];
    const double *p0 = phi[0], *p1 = phi[1], *p2 = phi[2], *p3 = phi[3];
    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0, b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0;
    double c0 = 0.0, c1 = 0.0, c2 = 0.0, c3 = 0.0, d0 = 0.0, d1 = 0.0, d2 = 0.0, d3 = 0.0;
#pragma omp simd reduction(+ : a0, a1, a2, a3, b0, b1, b2, b3, c0, c1, c2, c3, d0, d1, d2, d3)
    for (int32_t k = 0; k < n; ++k) {
        a0 += w0[k] * p0[k], a1 += w1[k] * p0[k], a2 += w2[k] * p0[k], a3 += w3[k] * p0[k];
        b0 += w0[k] * p1[k], b1 += w1[k] * p1[k], b2 += w2[k] * p1[k], b3 += w3[k] * p1[k];
        c0 += w0[k] * p2[k], c1 += w1[k] * p2[k], c2 += w2[k] * p2[k], c3 += w3[k] * p2[k];
        d0 += w0[k] * p3[k], d1 += w1[k] * p3[k], d2 += w2[k] * p3[k], d3 += w3[k] * p3[k];
    }
    double* s0 = s;
    double* s1 = s + stride;
    double* s2 = s + 2 * stride;
    double* s3 = s + 3 * stride;
    s0[0] = a0, s0[1] = a1, s0[2] = a2, s0[3] = a3;
    s1[0] = b0, s1[1] = b1, s1[2] = b2, s1[3] = b3;
    s2[0] = c0, s2[1] = c1, s2[2] = c2, s2[3] = c3;
    s3[0] = d0, s3[1] = d1, s3[2] = d2, s3[3] = d3;
}

TX_VECTOR_CLONES
void VectorSum2Nodes4(int32_t n, const double* const* w, const double* const* phi, double* s, int32_t stride)
{
    const double *w0 = w[0], *w1 = w[1];
    const double *p0 = phi[0], *p1 = phi[1], *p2 = phi[2], *p3 = phi[3];
    double a0 = 0.0, a1 = 0.0, b0 = 0.0, b1 = 0.0, c0 = 0.0, c1 = 0.0, d0 = 0.0, d1 = 0.0;
#pragma omp simd reduction(+ : a0, a1, b0, b1, c0, c1, d0, d1)
    for (int32_t k = 0; k < n; ++k) {
        a0 += w0[k] * p0[k], a1 += w1[k] * p0[k];
        b0 += w0[k] * p1[k], b1 += w1[k] * p1[k];
        c0 += w0[k] * p2[k], c1 += w1[k] * p2[k];
        d0 += w0[k] * p3[k], d1 += w1[k] * p3[k];
    }
    s[0] = a0, s[1] = a1;
    s[stride] = b0, s[stride + 1] = b1;
    s[2 * stride] = c0, s[2 * stride + 1] = c1;
    s[3 * stride] = d0, s[3 * stride + 1] = d1;
}

TX_VECTOR_CLONES
void VectorSum1Nodes4(int32_t n, const double* w0, const double* const* phi, double* s, int32_t stride)
{
    const double *p0 = phi[0], *p1 = phi[1], *p2 = phi[2], *p3 = phi[3];
    double a0 = 0.0, b0 = 0.0, c0 = 0.0, d0 = 0.0;
#pragma omp simd reduction(+ : a0, b0, c0, d0)
    for (int32_t k = 0; k < n; ++k) {
        a0 += w0[k] * p0[k];
        b0 += w0[k] * p1[k];
        c0 += w0[k] * p2[k];
        d0 += w0[k] * p3[k];
    }
    s[0] = a0, s[stride] = b0, s[2 * stride] = c0, s[3 * stride] = d0;
}

// In ascending order, four sets side by side so that their additions overlap.
void OrderedSums(int32_t n, int32_t count, const double* const* w, const double* phi, double* s)
{
    int32_t t = 0;
    for (; t + 4 <= count; t += 4) {
        const double *w0 = w[t], *w1 = w[t + 1], *w2 = w[t + 2], *w3 = w[t + 3];
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        for (int32_t k = 0; k < n; ++k) {
            s0 += w0[k] * phi[k];
            s1 += w1[k] * phi[k];
            s2 += w2[k] * phi[k];
            s3 += w3[k] * phi[k];
        }
        s[t] = s0, s[t + 1] = s1, s[t + 2] = s2, s[t + 3] = s3;
    }
    for (; t < count; ++t) {
        double s0 = 0.0;
        for (int32_t k = 0; k < n; ++k)
            s0 += w[t][k] * phi[k];
        s[t] = s0;
    }
}

void VectorSums(int32_t n, int32_t count, const double* const* w, const double* phi, double* s)
{
    int32_t t = 0;
    for (; t + 4 <= count; t += 4)
        VectorSum4(n, w + t, phi, s + t);
    for (; t + 2 <= count; t += 2)
        VectorSum2(n, w + t, phi, s + t);
    for (; t < count; ++t)
        s[t] = VectorSum1(n, w[t], phi);
}

// The sums of every set at four nodes: s[node * count + set].
void VectorSumsNodes4(int32_t n, int32_t count, const double* const* w, const double* const* phi, double* s)
{
    int32_t t = 0;
    for (; t + 4 <= count; t += 4)
        VectorSum4Nodes4(n, w + t, phi, s + t, count);
    for (; t + 2 <= count; t += 2)
        VectorSum2Nodes4(n, w + t, phi, s + t, count);
    for (; t < count; ++t)
        VectorSum1Nodes4(n, w[t], phi, s + t, count);
}

bool HasVectorRow(int32_t kernel)
{
    return kernel == RbfMultiquadric || kernel == RbfMadychNelson || kernel == RbfCubicMultiquadric;
}

}  // namespace

CRbfGridPass::CRbfGridPass(int32_t kernel, double parameter, int32_t n, const double* px, const double* py,
                           const RbfGridGeometry& grid)
    : m_kernel(kernel), m_c(parameter), m_n(n), m_px(px), m_py(py), m_grid(grid)
{
}

bool CRbfGridPass::AddTarget(const RbfWeights& weights, CSurface3DData& surface)
{
    if (weights.radial.size() != size_t(m_n))
        return false;
    if (m_targets.empty()) {
        m_columns = surface.NX();
        m_rows = surface.NY();
    } else if (surface.NX() != m_columns || surface.NY() != m_rows) {
        return false;
    }
    m_targets.push_back({&weights, &surface});
    // The radial weights of every set, copied into rows that start on cache lines.
    m_weightRows = AlignedRows(m_targets.size(), size_t(m_n));
    for (size_t t = 0; t < m_targets.size(); ++t)
        std::copy_n(m_targets[t].weights->radial.data(), m_n, m_weightRows.Row(t));
    return true;
}

void CRbfGridPass::SetRowCoordinates() const
{
    for (const Target& t : m_targets)
        for (int32_t j = 0; j < t.surface->NY(); ++j)
            t.surface->YArray()[size_t(j)] = float(m_grid.y0 + m_grid.dy * j);
}

void CRbfGridPass::KernelRow(const double* dx, const double* dx2, double y, bool pointOnColumn, double* phi) const
{
    const double c2 = m_c * m_c;
    const double phi0 = RbfPhiAtZero(m_kernel, m_c);
    switch (m_kernel) {
    case RbfMultiquadric:
        if (pointOnColumn)
            RowMultiquadricExact(m_n, dx, dx2, m_py, y, c2, phi0, phi);
        else
            RowMultiquadric(m_n, dx2, m_py, y, c2, phi);
        break;
    case RbfMadychNelson:
        if (pointOnColumn)
            RowMadychNelsonExact(m_n, dx, dx2, m_py, y, phi0, phi);
        else
            RowMadychNelson(m_n, dx2, m_py, y, phi);
        break;
    case RbfCubicMultiquadric:
        RowCubic(m_n, dx, dx2, m_py, y, c2, phi0, phi);
        break;
    default:
        RowGeneric(m_kernel, m_c, m_n, dx, dx2, m_py, y, phi0, phi);
        break;
    }
}

bool CRbfGridPass::EvaluateColumns(int32_t begin, int32_t end, const std::atomic<int32_t>* cancel) const
{
    const int32_t count = TargetCount();
    if (count == 0)
        return true;
    const size_t n = size_t(m_n);
    const size_t sets = size_t(count);
    std::vector<double> dx(n), dx2(n), sums(sets * kNodeBlock);
    AlignedRows phi(kNodeBlock, n);
    const double* phiRows[kNodeBlock];
    for (int32_t b = 0; b < kNodeBlock; ++b)
        phiRows[b] = phi.Row(size_t(b));
    std::vector<const double*> weights(sets);
    for (int32_t t = 0; t < count; ++t)
        weights[size_t(t)] = m_weightRows.Row(size_t(t));
    const bool vector = HasVectorRow(m_kernel);
    const bool blocked = vector && WideVectorUnit();
    const int32_t ny = m_rows;
    for (int32_t i = std::max(0, begin); i < std::min(end, m_columns); ++i) {
        const double x = m_grid.x0 + m_grid.dx * i;
        for (const Target& t : m_targets)
            t.surface->XArray()[size_t(i)] = float(x);
        bool pointOnColumn = false;  // some point lies exactly on this column's abscissa
        for (size_t k = 0; k < n; ++k) {
            const double d = x - m_px[k];
            dx[k] = d;
            dx2[k] = d * d;
            pointOnColumn |= (d == 0.0);
        }
        for (int32_t j = 0; j < ny;) {
            if (cancel && cancel->load(std::memory_order_relaxed) != 0)
                return false;
            const int32_t nodes = (blocked && j + kNodeBlock <= ny) ? kNodeBlock : 1;
            for (int32_t b = 0; b < nodes; ++b)
                KernelRow(dx.data(), dx2.data(), m_grid.y0 + m_grid.dy * (j + b), pointOnColumn,
                          phi.Row(size_t(b)));
            if (nodes == kNodeBlock)
                VectorSumsNodes4(m_n, count, weights.data(), phiRows, sums.data());
            else if (vector)
                VectorSums(m_n, count, weights.data(), phi.Row(0), sums.data());
            else
                OrderedSums(m_n, count, weights.data(), phi.Row(0), sums.data());
            for (int32_t b = 0; b < nodes; ++b, ++j) {
                const double y = m_grid.y0 + m_grid.dy * j;
                for (int32_t t = 0; t < count; ++t) {
                    const double* a = m_targets[size_t(t)].weights->poly;
                    m_targets[size_t(t)].surface->Column(i)[j] =
                        float(sums[size_t(b) * sets + size_t(t)] + a[0] + a[1] * x + a[2] * y);
                }
            }
        }
    }
    return true;
}
