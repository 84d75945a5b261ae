#pragma once
// AlignedRows: a block of rows of doubles, each row starting on a cache line, so that the
// widest vector loads of a row never straddle two lines whatever the row length.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

class AlignedRows {
public:
    static constexpr size_t kLineBytes = 64;

    AlignedRows() = default;
    AlignedRows(size_t rows, size_t length)
        : m_stride((length + kLineDoubles - 1) / kLineDoubles * kLineDoubles), m_rows(rows),
          m_data(static_cast<double*>(::operator new(Bytes(), std::align_val_t(kLineBytes))))
    {
    }

    double* Row(size_t r) { return m_data.get() + r * m_stride; }
    const double* Row(size_t r) const { return m_data.get() + r * m_stride; }
    size_t RowCount() const { return m_rows; }

private:
    static constexpr size_t kLineDoubles = kLineBytes / sizeof(double);
    struct Free {
        void operator()(double* p) const { ::operator delete(p, std::align_val_t(kLineBytes)); }
    };
    size_t Bytes() const { return std::max<size_t>(1, m_rows * m_stride) * sizeof(double); }

    size_t m_stride = 0;
    size_t m_rows = 0;
    std::unique_ptr<double, Free> m_data;
};
