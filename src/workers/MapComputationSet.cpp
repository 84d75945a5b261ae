#include "workers/MapComputationSet.h"

CMapComputationSet::CMapComputationSet()
{
    for (auto& thread : m_threads) {
        thread = std::make_unique<CContourMapThread>();
        thread->SetWaitTimeout(-1);
        thread->Start();
    }
}

CMapComputationSet::~CMapComputationSet()
{
    for (auto& thread : m_threads)
        thread->Stop();
}

void CMapComputationSet::Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags)
{
    Thread(column).Request(doc, column, raisePriority, flags);
}

bool CMapComputationSet::RequestCounted(const CTessarixDoc& doc, int column, bool raisePriority, int flags)
{
    return Thread(column).Request(doc, column, raisePriority, flags);
}

int CMapComputationSet::RequestColumns(const CTessarixDoc& doc, const std::vector<int>& columns, int active,
                                       int flags)
{
    auto job = std::make_shared<CSharedSurfaceJob>();
    // Sealed on every way out: members wait for the seal, never for a column not asked.
    struct SealOnExit {
        CSharedSurfaceJob& job;
        ~SealOnExit() { job.Seal(); }
    } seal{*job};
    for (int column : columns)
        Thread(column).CancelRun();  // each request then waits for its own worker only briefly
    int counted = 0;
    for (int column : columns)
        if (Thread(column).Request(doc, column, column == active, flags, job))
            ++counted;
    return counted;
}

void CMapComputationSet::Reset()
{
    for (auto& thread : m_threads)
        thread->Reset();
}

bool CMapComputationSet::CopyPicture(int column, QImage* out) const
{
    return column >= 0 && column < kColumnCount && Thread(column).CopyPicture(out);
}

bool CMapComputationSet::HasPicture(int column) const
{
    return column >= 0 && column < kColumnCount && Thread(column).HasPicture();
}

bool CMapComputationSet::SurfaceValueAt(int column, float x, float y, const CTessarixSettings& current,
                                        float* z) const
{
    return column >= 0 && column < kColumnCount && Thread(column).SurfaceValueAt(x, y, current, z);
}

bool CMapComputationSet::InputValueRange(int column, float* smallest, float* largest) const
{
    return column >= 0 && column < kColumnCount && Thread(column).InputValueRange(smallest, largest);
}

bool CMapComputationSet::IdleDrawInput(int column, MapDrawInput* input)
{
    if (column < 0 || column >= kColumnCount)
        return false;
    WaitUntilIdle(column);
    *input = Thread(column).DrawInput();
    return true;
}
