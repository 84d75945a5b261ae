#pragma once
// CMapComputationSet: the program's map computations, one CContourMapThread per data column,
// each with its worker started at construction and stopped (stop flag, wake, join) before it is
// destroyed.
//
// A request for several columns at once (RequestColumns, the document's RequestMaps) hands all
// of them one CSharedSurfaceJob: the columns whose surfaces are due and whose inputs match share
// one decomposition and one grid pass; any other column computes alone. The job is sealed once
// every column was asked, so its members start together.

#include <array>
#include <memory>

#include "document/MapComputations.h"
#include "workers/ContourMapThread.h"
#include "util/TxTypes.h"

class CMapComputationSet final : public IMapComputations {
public:
    CMapComputationSet();
    ~CMapComputationSet() override;

    void Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags) override;
    bool RequestCounted(const CTessarixDoc& doc, int column, bool raisePriority, int flags) override;
    int RequestColumns(const CTessarixDoc& doc, const std::vector<int>& columns, int active, int flags) override;
    void Reset() override;
    bool CopyPicture(int column, QImage* out) const override;
    bool HasPicture(int column) const override;
    bool SurfaceValueAt(int column, float x, float y, const CTessarixSettings& current, float* z) const override;
    bool InputValueRange(int column, float* smallest, float* largest) const override;

    // The computation of `column` (0..11); throws std::out_of_range otherwise.
    CContourMapThread& Thread(int column) { return *m_threads.at(size_t(column)); }
    const CContourMapThread& Thread(int column) const { return *m_threads.at(size_t(column)); }
    // Waits until the worker of `column` has nothing pending and is not running.
    void WaitUntilIdle(int column) { Thread(column).WaitUntilIdle(); }
    // What printing draws of `column`'s last map, once its worker is idle; false for a column
    // outside 0..11.
    bool IdleDrawInput(int column, MapDrawInput* input);

private:
    std::array<std::unique_ptr<CContourMapThread>, kColumnCount> m_threads;
};
