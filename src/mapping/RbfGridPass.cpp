#include "mapping/RbfGridPass.h"

#include <algorithm>
#include <cmath>

#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "util/RbfKernel.h"

#include "mapping/VectorClones.h"

namespace {

constexpr double kPi = 3.141592653589793;

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
    if (m_targets.empty()) {
        m_columns = surface.NX();
        m_rows = surface.NY();
    } else if (surface.NX() != m_columns || surface.NY() != m_rows) {
        return false;
    }
    m_targets.push_back({&weights, &surface});
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
    std::vector<double> dx(n), dx2(n), phi(n), sums(sets);
    std::vector<const double*> weights(sets);
    for (int32_t t = 0; t < count; ++t)
        weights[size_t(t)] = m_targets[size_t(t)].weights->radial.data();
    const bool vector = HasVectorRow(m_kernel);
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
        for (int32_t j = 0; j < ny; ++j) {
            if (cancel && cancel->load(std::memory_order_relaxed) != 0)
                return false;
            const double y = m_grid.y0 + m_grid.dy * j;
            KernelRow(dx.data(), dx2.data(), y, pointOnColumn, phi.data());
            if (vector)
                VectorSums(m_n, count, weights.data(), phi.data(), sums.data());
            else
                OrderedSums(m_n, count, weights.data(), phi.data(), sums.data());
            for (int32_t t = 0; t < count; ++t) {
                const double* a = m_targets[size_t(t)].weights->poly;
                m_targets[size_t(t)].surface->Column(i)[j] = float(sums[size_t(t)] + a[0] + a[1] * x + a[2] * y);
            }
        }
    }
    return true;
}
