#include "mapping/Surface3DData.h"

#include <new>
#include <utility>

bool CSurface3DData::Allocate(int32_t nx, int32_t ny)
{
    Empty();
    if (nx <= 0 || ny <= 0)
        return false;
    try {
        m_x.assign(size_t(nx), 0.0f);
        m_y.assign(size_t(ny), 0.0f);
        m_z.assign(size_t(nx) * size_t(ny), 0.0f);
    } catch (const std::bad_alloc&) {
        Empty();
        return false;
    }
    m_nx = nx;
    m_ny = ny;
    return true;
}

void CSurface3DData::Empty()
{
    m_x = CTXFloatArray();
    m_y = CTXFloatArray();
    m_z = std::vector<float>();
    m_nx = 0;
    m_ny = 0;
    m_valid = false;
    maxPos = minPos = minPositivePos = maxNegativePos = GridIndex{};
    maxXIndex = minXIndex = maxYIndex = minYIndex = -1;
}

void CSurface3DData::SwapGrid(CSurface3DData& other)
{
    m_x.swap(other.m_x);
    m_y.swap(other.m_y);
    m_z.swap(other.m_z);
    std::swap(m_nx, other.m_nx);
    std::swap(m_ny, other.m_ny);
    std::swap(m_valid, other.m_valid);
}

void CSurface3DData::UpdateStatistics()
{
    if (!HasGrid())
        return;
    maxPos = minPos = {0, 0};
    minPositivePos = maxNegativePos = GridIndex{};
    float mx = Value(0, 0), mn = Value(0, 0);
    float minPositive = 0.0f, maxNegative = 0.0f;
    for (int32_t i = 0; i < m_nx; ++i) {
        const float* column = Column(i);
        for (int32_t j = 0; j < m_ny; ++j) {
            const float v = column[j];
            if (v > mx) {
                mx = v;
                maxPos = {i, j};
            }
            if (v < mn) {
                mn = v;
                minPos = {i, j};
            }
            if (v > 0.0f && (minPositivePos.i < 0 || v < minPositive)) {
                minPositive = v;
                minPositivePos = {i, j};
            }
            if (v < 0.0f && (maxNegativePos.i < 0 || v > maxNegative)) {
                maxNegative = v;
                maxNegativePos = {i, j};
            }
        }
    }
    auto extremes = [](const CTXFloatArray& a, int32_t* maxIndex, int32_t* minIndex) {
        *maxIndex = *minIndex = 0;
        for (int32_t k = 1; k < int32_t(a.size()); ++k) {
            if (a[size_t(k)] > a[size_t(*maxIndex)])
                *maxIndex = k;
            if (a[size_t(k)] < a[size_t(*minIndex)])
                *minIndex = k;
        }
    };
    extremes(m_x, &maxXIndex, &minXIndex);
    extremes(m_y, &maxYIndex, &minYIndex);
}

void CSurface3DData::GetValueRange(float* minimum, float* maximum) const
{
    if (!HasGrid() || minPos.i < 0) {
        *minimum = *maximum = 0.0f;
        return;
    }
    *minimum = Value(minPos.i, minPos.j);
    *maximum = Value(maxPos.i, maxPos.j);
}
