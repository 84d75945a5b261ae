#include "workers/SharedSurfaceJob.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <thread>

namespace {

bool SameBits(const CTXFloatArray& a, const CTXFloatArray& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

// The other members wait while the system is decomposed, so the decomposition may use every core.
int DecompositionThreads()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

}  // namespace

bool SharedSurfaceKey::Matches(const SharedSurfaceKey& other) const
{
    return SameBits(x, other.x) && SameBits(y, other.y) && extent == other.extent &&
           gridCountX == other.gridCountX && gridCountY == other.gridCountY && function == other.function &&
           std::memcmp(&parameter, &other.parameter, sizeof parameter) == 0;
}

int CSharedSurfaceJob::Join(const SharedSurfaceKey& key)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_sealed)
        return -1;
    if (m_members.empty())
        m_key = key;
    else if (!m_key.Matches(key))
        return -1;
    m_members.push_back(std::make_unique<Member>());
    return int(m_members.size()) - 1;
}

void CSharedSurfaceJob::Seal()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_sealed = true;
    }
    m_changed.notify_all();
}

void CSharedSurfaceJob::Leave(int slot)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        MarkLeft(slot);
    }
    m_changed.notify_all();
}

int CSharedSurfaceJob::MemberCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return int(m_members.size());
}

void CSharedSurfaceJob::MarkLeft(int slot)
{
    if (slot < 0 || slot >= int(m_members.size()))
        return;
    Member& member = *m_members[size_t(slot)];
    if (member.state != MemberState::Finished)
        member.state = MemberState::Left;
}

bool CSharedSurfaceJob::AllSettled() const
{
    return std::all_of(m_members.begin(), m_members.end(), [](const std::unique_ptr<Member>& m) {
        return m->state == MemberState::Ready || m->state == MemberState::Left;
    });
}

bool CSharedSurfaceJob::Compute(int slot, const SharedSurfaceInput& in, CSurface3DData& surface,
                                const std::atomic<int32_t>* cancel, RbfStatus* status, RbfWeights* weights)
{
    RbfStatus unused;
    RbfStatus& result = status ? *status : unused;
    surface.SetValid(false);
    std::unique_lock<std::mutex> lock(m_lock);
    if (slot < 0 || slot >= int(m_members.size())) {
        result = RbfStatus::Cancelled;
        return false;
    }
    try {
        result = Run(slot, in, surface, cancel, lock);
    } catch (const std::bad_alloc&) {
        result = RbfStatus::OutOfMemory;
    }
    if (result == RbfStatus::Solved) {
        if (weights) {
            if (!lock.owns_lock())
                lock.lock();
            *weights = m_members[size_t(slot)]->weights;
        }
        return true;
    }
    if (!lock.owns_lock())
        lock.lock();
    MarkLeft(slot);
    lock.unlock();
    m_changed.notify_all();
    return false;
}

RbfStatus CSharedSurfaceJob::Run(int slot, const SharedSurfaceInput& in, CSurface3DData& surface,
                                 const std::atomic<int32_t>* cancel, std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [&] { return m_sealed || HasLeft(slot); });
    const RbfStatus decomposed = Decompose(slot, in, cancel, lock);
    if (decomposed != RbfStatus::Solved)
        return decomposed;

    // This member's own weights; the members substitute side by side.
    ++m_substituting;
    lock.unlock();
    RbfWeights weights;
    bool substituted = false;
    try {
        substituted = m_system.Substitute(in.v, &weights, cancel);
    } catch (const std::bad_alloc&) {
        lock.lock();
        --m_substituting;
        throw;
    }
    lock.lock();
    if (--m_substituting == 0 && m_pass)
        m_system.Release();  // the pass needs the weights only
    if (!substituted || HasLeft(slot))
        return RbfStatus::Cancelled;

    Member& me = *m_members[size_t(slot)];
    me.weights = std::move(weights);
    me.grid.SwapGrid(surface);  // lent to the job for the pass
    me.state = MemberState::Ready;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return HasLeft(slot) || m_pass || AllSettled(); });
    if (HasLeft(slot))
        return RbfStatus::Cancelled;
    if (!m_pass)
        StartPass(in);
    if (!EvaluateShare(slot, cancel, lock))
        return RbfStatus::Cancelled;

    me.grid.SwapGrid(surface);
    me.state = MemberState::Finished;
    lock.unlock();
    surface.UpdateStatistics();
    surface.SetValid(true);
    return RbfStatus::Solved;
}

RbfStatus CSharedSurfaceJob::Decompose(int slot, const SharedSurfaceInput& in, const std::atomic<int32_t>* cancel,
                                       std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (HasLeft(slot))
            return RbfStatus::Cancelled;
        switch (m_decomposition) {
        case Decomposition::Done:
            return RbfStatus::Solved;
        case Decomposition::Failed:
            return m_failure;
        case Decomposition::InProgress:
            m_changed.wait(lock, [&] { return HasLeft(slot) || m_decomposition != Decomposition::InProgress; });
            break;
        case Decomposition::NotStarted: {
            m_decomposition = Decomposition::InProgress;
            lock.unlock();
            RbfStatus status = RbfStatus::OutOfMemory;
            try {
                m_system.SetUp(in.kernel, in.parameter, in.n, in.x, in.y);
                status = m_system.Factorise(DecompositionThreads(), cancel);
            } catch (const std::bad_alloc&) {
                status = RbfStatus::OutOfMemory;
            }
            lock.lock();
            if (status == RbfStatus::Solved) {
                m_decomposition = Decomposition::Done;
            } else if (status == RbfStatus::Cancelled) {
                m_decomposition = Decomposition::NotStarted;  // another member takes it up
            } else {
                m_decomposition = Decomposition::Failed;
                m_failure = status;
            }
            m_changed.notify_all();
            break;
        }
        }
    }
}

void CSharedSurfaceJob::StartPass(const SharedSurfaceInput& in)
{
    // Built whole before anyone sees it: every member that is ready is one of its targets.
    auto pass = std::make_unique<CRbfGridPass>(m_system.Kernel(), m_system.Parameter(), m_system.PointCount(),
                                               m_system.X().data(), m_system.Y().data(), in.grid);
    // (Every member allocates the grid of the key's counts; one that did not would leave.)
    for (const std::unique_ptr<Member>& m : m_members)
        if (m->state == MemberState::Ready && !pass->AddTarget(m->weights, m->grid))
            m->state = MemberState::Left;
    pass->SetRowCoordinates();
    m_pass = std::move(pass);
    if (m_substituting == 0)
        m_system.Release();
}

bool CSharedSurfaceJob::EvaluateShare(int slot, const std::atomic<int32_t>* cancel,
                                      std::unique_lock<std::mutex>& lock)
{
    const int32_t columns = m_pass->ColumnCount();
    for (;;) {
        if (HasLeft(slot))
            return false;
        int32_t column = 0;
        if (!m_returnedColumns.empty()) {
            column = m_returnedColumns.back();
            m_returnedColumns.pop_back();
        } else if (m_nextColumn < columns) {
            column = m_nextColumn++;
        } else if (m_doneColumns == columns) {
            return true;
        } else {
            m_changed.wait(lock, [&] {
                return HasLeft(slot) || !m_returnedColumns.empty() || m_doneColumns == columns;
            });
            continue;
        }
        lock.unlock();
        bool finished = false;
        try {
            finished = m_pass->EvaluateColumns(column, column + 1, cancel);
        } catch (const std::bad_alloc&) {
            lock.lock();
            m_returnedColumns.push_back(column);
            m_changed.notify_all();
            throw;
        }
        lock.lock();
        if (!finished) {
            m_returnedColumns.push_back(column);  // for another member to evaluate afresh
            m_changed.notify_all();
            return false;
        }
        if (++m_doneColumns == columns) {
            // The surfaces of members that left are written no more.
            for (const std::unique_ptr<Member>& m : m_members)
                if (m->state == MemberState::Left)
                    m->grid.Empty();
            m_changed.notify_all();
        }
    }
}
