#include "document/AcousticEdits.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "document/TessarixDoc.h"
#include "util/Decibels.h"

namespace {

bool IsBandColumn(int c)
{
    return c >= 1 && c <= kOctaveBandCount;
}

bool ValidBands(const std::vector<int>& bands)
{
    return !bands.empty() && std::all_of(bands.begin(), bands.end(), IsBandColumn);
}

// Union-find over point indices.
int Root(std::vector<int>& parent, int i)
{
    while (parent[size_t(i)] != i) {
        parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
        i = parent[size_t(i)];
    }
    return i;
}

}  // namespace

int OctaveBandOfColumn(const CTessarixDoc& doc, int column)
{
    const QString name = doc.Column(column).name.simplified();
    for (int c = 1; c <= kOctaveBandCount; ++c)
        if (name.compare(DefaultColumnName(c), Qt::CaseInsensitive) == 0)
            return c - 1;
    return column - 1;
}

std::vector<int> DefaultBandColumns(const CTessarixDoc& doc)
{
    std::vector<int> bands;
    for (int c = 1; c <= kOctaveBandCount && c < doc.ColumnCount(); ++c)
        if (doc.Column(c).enabled)
            bands.push_back(c);
    return bands;
}

CTXFloatArray BandSums(const CTessarixDoc& doc, const std::vector<int>& bandColumns, bool aWeighted)
{
    CTXFloatArray sums(size_t(doc.PointCount()), 0.0f);
    if (!ValidBands(bandColumns))
        return sums;
    std::vector<double> levels(bandColumns.size());
    std::vector<double> weights;
    for (int c : bandColumns)
        weights.push_back(kOctaveAWeighting[size_t(OctaveBandOfColumn(doc, c))]);
    for (int p = 0; p < doc.PointCount(); ++p) {
        for (size_t k = 0; k < bandColumns.size(); ++k) {
            const int c = bandColumns[k];
            levels[k] = doc.Column(c).values[size_t(p)] + (aWeighted ? weights[k] : 0.0);
        }
        sums[size_t(p)] = float(EnergeticSum(levels));
    }
    return sums;
}

bool FillBandSum(CTessarixDoc& doc, int target, const std::vector<int>& bandColumns, bool aWeighted)
{
    if (target < 0 || target >= doc.ColumnCount() || !ValidBands(bandColumns) ||
        std::find(bandColumns.begin(), bandColumns.end(), target) != bandColumns.end())
        return false;
    CTXFloatArray sums = BandSums(doc, bandColumns, aWeighted);
    doc.ApplyChange({StepBandSum, RECALC_ALL}, [&] { doc.Column(target).values = std::move(sums); });
    return true;
}

std::vector<BandCheckRow> CheckBandSum(const CTessarixDoc& doc, int overall, const std::vector<int>& bandColumns,
                                       bool aWeighted, double tolerance)
{
    std::vector<BandCheckRow> rows;
    if (overall < 0 || overall >= doc.ColumnCount() || !ValidBands(bandColumns))
        return rows;
    const CTXFloatArray sums = BandSums(doc, bandColumns, aWeighted);
    for (int p = 0; p < doc.PointCount(); ++p) {
        BandCheckRow r;
        r.point = p;
        r.measured = doc.Column(overall).values[size_t(p)];
        r.bandSum = sums[size_t(p)];
        r.difference = r.measured - r.bandSum;
        r.outside = std::fabs(double(r.measured) - double(r.bandSum)) > tolerance;
        rows.push_back(r);
    }
    return rows;
}

std::vector<std::vector<int>> FindRepeatedReadings(const CTessarixDoc& doc, double tolerance)
{
    const int n = doc.PointCount();
    const CTXFloatArray& x = doc.X();
    const CTXFloatArray& y = doc.Y();
    std::vector<int> parent(static_cast<size_t>(n));
    std::iota(parent.begin(), parent.end(), 0);
    // Sweep in x order: only points within the tolerance in x can be that close.
    std::vector<int> byX(static_cast<size_t>(n));
    std::iota(byX.begin(), byX.end(), 0);
    std::sort(byX.begin(), byX.end(), [&](int a, int b) { return x[size_t(a)] < x[size_t(b)]; });
    const double squared = tolerance * tolerance;
    for (size_t i = 0; i < byX.size(); ++i) {
        const int a = byX[i];
        for (size_t j = i + 1; j < byX.size(); ++j) {
            const int b = byX[j];
            const double dx = double(x[size_t(b)]) - double(x[size_t(a)]);
            if (dx >= tolerance)
                break;
            const double dy = double(y[size_t(b)]) - double(y[size_t(a)]);
            if (dx * dx + dy * dy < squared)
                parent[size_t(Root(parent, a))] = Root(parent, b);
        }
    }
    std::vector<std::vector<int>> groups;
    std::vector<int> groupOfRoot(static_cast<size_t>(n), -1);
    for (int p = 0; p < n; ++p) {
        const int r = Root(parent, p);
        if (groupOfRoot[size_t(r)] < 0) {
            groupOfRoot[size_t(r)] = int(groups.size());
            groups.emplace_back();
        }
        groups[size_t(groupOfRoot[size_t(r)])].push_back(p);
    }
    std::erase_if(groups, [](const std::vector<int>& g) { return g.size() < 2; });
    return groups;
}

int MergeRepeatedReadings(CTessarixDoc& doc, double tolerance)
{
    const std::vector<std::vector<int>> groups = FindRepeatedReadings(doc, tolerance);
    if (groups.empty())
        return 0;
    const int n = doc.PointCount();
    // Every point is kept, merged into its group's first point, or dropped.
    std::vector<int> mergedInto(static_cast<size_t>(n), -1);
    for (const std::vector<int>& g : groups)
        for (size_t k = 1; k < g.size(); ++k)
            mergedInto[size_t(g[k])] = g.front();
    CTXFloatArray x = doc.X();
    CTXFloatArray y = doc.Y();
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount && c < doc.ColumnCount(); ++c)
        values[size_t(c)] = doc.Column(c).values;
    std::vector<double> levels;
    for (const std::vector<int>& g : groups) {
        double sx = 0.0;
        double sy = 0.0;
        for (int p : g) {
            sx += x[size_t(p)];
            sy += y[size_t(p)];
        }
        x[size_t(g.front())] = float(sx / double(g.size()));
        y[size_t(g.front())] = float(sy / double(g.size()));
        for (CTXFloatArray& column : values) {
            if (column.size() < size_t(n))
                continue;
            levels.clear();
            for (int p : g)
                levels.push_back(column[size_t(p)]);
            column[size_t(g.front())] = float(EnergeticMean(levels));
        }
    }
    CTXFloatArray keptX;
    CTXFloatArray keptY;
    std::array<CTXFloatArray, kColumnCount> keptValues;
    for (int p = 0; p < n; ++p) {
        if (mergedInto[size_t(p)] >= 0)
            continue;
        keptX.push_back(x[size_t(p)]);
        keptY.push_back(y[size_t(p)]);
        for (size_t c = 0; c < values.size(); ++c)
            if (values[c].size() >= size_t(n))
                keptValues[c].push_back(values[c][size_t(p)]);
    }
    const int kept = int(keptX.size());
    doc.ApplyChange({StepMergeReadings, RECALC_ALL},
                    [&] { doc.SetPointTable(kept, std::move(keptX), std::move(keptY), keptValues); });
    return n - kept;
}
