#pragma once
// CRbfGridPass: the grid evaluation of one or more interpolants that share their points, kernel
// and parameter and differ only in their weights (the data columns of one document).
//
// For each node the kernel values of all points are computed once into a row; every value set's
// sum is then taken over that row, point by point in ascending order, with the same vector
// reduction whether the set is evaluated alone or beside others. A set's surface therefore has
// the same bits in both cases, and the kernel costs one evaluation per node and point however
// many sets share the pass. Where the vector unit is wide, four nodes of a column are summed at
// once, so that each weight read from memory serves four rows; every (node, set) sum keeps a
// reduction of its own, so a node has the same bits in a block as alone.
//
// Grid columns are independent: any thread may evaluate any range of them, in any order, and
// the result does not depend on how they were shared. Evaluation polls a cancel flag before
// every block of nodes.

#include <atomic>
#include <cstdint>
#include <vector>

#include "mapping/AlignedRows.h"

class CSurface3DData;

// The solution of one value set: a weight per point and the linear term a0 + a1 x + a2 y.
struct RbfWeights {
    std::vector<double> radial;
    double poly[3] = {0.0, 0.0, 0.0};
};

// Node (i, j) of the grid lies at (x0 + dx i, y0 + dy j).
struct RbfGridGeometry {
    double x0 = 0.0, y0 = 0.0, dx = 0.0, dy = 0.0;
};

class CRbfGridPass {
public:
    // `px` and `py` (n points each) must outlive the pass.
    CRbfGridPass(int32_t kernel, double parameter, int32_t n, const double* px, const double* py,
                 const RbfGridGeometry& grid);

    // Adds a value set and the surface it fills; false, nothing added, when the surface's node
    // counts differ from the first target's or the weights do not hold one value per point. The
    // radial weights are copied here; `weights` and `surface` must outlive the pass.
    bool AddTarget(const RbfWeights& weights, CSurface3DData& surface);
    int32_t TargetCount() const { return int32_t(m_targets.size()); }
    // Grid columns, as the first target had them when it was added; 0 without a target.
    int32_t ColumnCount() const { return m_columns; }

    // Writes the node ordinates of every surface; call once before or after the columns.
    void SetRowCoordinates() const;
    // Evaluates grid columns [begin, end) of every surface, abscissas included. False once
    // `cancel` (may be null) was seen: those columns are then partly filled.
    bool EvaluateColumns(int32_t begin, int32_t end, const std::atomic<int32_t>* cancel) const;

private:
    struct Target {
        const RbfWeights* weights;
        CSurface3DData* surface;
    };
    // phi of every point for the node (x, y), given the column's differences dx and dx^2.
    void KernelRow(const double* dx, const double* dx2, double y, bool pointOnColumn, double* phi) const;

    int32_t m_kernel;
    double m_c;
    int32_t m_n;
    const double* m_px;
    const double* m_py;
    RbfGridGeometry m_grid;
    std::vector<Target> m_targets;
    AlignedRows m_weightRows;  // the targets' radial weights, a row each
    int32_t m_columns = 0, m_rows = 0;  // node counts of every target
};
