#pragma once
// CSharedSurfaceJob: one surface computation shared by the map workers of several data columns
// whose interpolation inputs have the same positions, extent, grid counts, function and
// parameter, as the columns of one request do. The system matrix and every kernel value on the
// grid depend on those alone, never on the values, so the job decomposes the system once and
// evaluates the grid in one pass that fills every member's surface. Each surface has exactly the
// bits its own computation (ComputeSurface) would give it.
//
// How it runs. For a request that covers several columns the computation set creates a job on
// the user-interface thread; each column's Request joins it when its surface is to be computed,
// and the set seals it once every column was asked (no member starts before that). Each member
// worker then calls Compute from its surface step with its own values:
//   - the first to arrive assembles and decomposes the system on all cores; the others wait;
//   - each member substitutes its own values into the decomposition;
//   - once every member has its weights (or has left), all of them take grid columns one at a
//     time until none remain, so the pass runs on every thread the members have;
//   - each member then takes its finished surface and traces and draws its own map as before.
// A member lends its allocated surface to the job for the pass and takes it back at the end;
// while lent it belongs to the job, so no worker ever writes into a surface another worker may
// free.
//
// Cancellation. A member polls only its own cancel flag. A member whose request is superseded
// (a newer request, Reset, Stop) leaves the job (Leave, from the thread that cancels it) and
// stops within one node; the others carry on without it: a decomposition it abandons is taken
// up by another member, a grid column it abandons is evaluated by another. Nobody waits for a
// member that has left, and a member that gives up for any reason leaves, so no member is ever
// left with a half-computed surface or waiting for ever.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "geometry/WorldRects.h"
#include "mapping/RbfGridPass.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "util/TxTypes.h"

// What makes two columns' surfaces share their system and kernel values: the interpolation
// points (world coordinates, compared bit for bit), the extent, the grid and the kernel.
struct SharedSurfaceKey {
    CTXFloatArray x, y;
    MapExtent extent;
    int32_t gridCountX = 0, gridCountY = 0, function = 0;
    float parameter = 0.0f;
    bool Matches(const SharedSurfaceKey& other) const;
};

// One member's surface computation, as ComputeSurface takes it: normalised positions, values,
// kernel and grid.
struct SharedSurfaceInput {
    int32_t n = 0;
    const float* x = nullptr;
    const float* y = nullptr;
    const float* v = nullptr;
    int32_t kernel = 0;
    float parameter = 0.0f;
    RbfGridGeometry grid;
};

class CSharedSurfaceJob {
public:
    CSharedSurfaceJob() = default;
    CSharedSurfaceJob(const CSharedSurfaceJob&) = delete;
    CSharedSurfaceJob& operator=(const CSharedSurfaceJob&) = delete;

    // On the requesting thread, while the member's worker is held idle: the member's slot, or
    // -1 when the job is sealed or computes for other inputs.
    int Join(const SharedSurfaceKey& key);
    // No member joins after this; members start.
    void Seal();
    // The member of `slot` stops taking part (its request was superseded); nothing waits for it.
    // Harmless for a member that has finished or left already.
    void Leave(int slot);
    int MemberCount() const;

    // On the member's worker: the surface of `in` in `surface` (allocated with the grid's
    // counts), bit-identical to ComputeSurface's. False when the system is singular, memory ran
    // out or `cancel` was seen (`status` tells which); the member has then left the job and the
    // surface is invalid, possibly without nodes.
    // `weights`, when given, receives the member's weights on success.
    bool Compute(int slot, const SharedSurfaceInput& in, CSurface3DData& surface, const std::atomic<int32_t>* cancel,
                 RbfStatus* status, RbfWeights* weights = nullptr);

private:
    enum class MemberState { Joined, Ready, Finished, Left };
    enum class Decomposition { NotStarted, InProgress, Done, Failed };
    struct Member {
        MemberState state = MemberState::Joined;
        RbfWeights weights;
        CSurface3DData grid;  // the member's surface while the job holds it
    };

    RbfStatus Run(int slot, const SharedSurfaceInput& in, CSurface3DData& surface, const std::atomic<int32_t>* cancel,
                  std::unique_lock<std::mutex>& lock);
    // Waits until the system is decomposed, decomposing it when nobody else is.
    RbfStatus Decompose(int slot, const SharedSurfaceInput& in, const std::atomic<int32_t>* cancel,
                        std::unique_lock<std::mutex>& lock);
    // Takes grid columns until every column is done; false when the member stopped.
    bool EvaluateShare(int slot, const std::atomic<int32_t>* cancel, std::unique_lock<std::mutex>& lock);
    void StartPass(const SharedSurfaceInput& in);
    bool HasLeft(int slot) const { return m_members[size_t(slot)]->state == MemberState::Left; }
    bool AllSettled() const;
    void MarkLeft(int slot);

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_sealed = false;
    SharedSurfaceKey m_key;
    std::vector<std::unique_ptr<Member>> m_members;

    CRbfSystem m_system;  // written only by the member decomposing it, read-only once Done
    Decomposition m_decomposition = Decomposition::NotStarted;
    RbfStatus m_failure = RbfStatus::Singular;
    int m_substituting = 0;  // members reading the decomposition right now

    std::unique_ptr<CRbfGridPass> m_pass;
    int32_t m_nextColumn = 0;
    int32_t m_doneColumns = 0;
    std::vector<int32_t> m_returnedColumns;  // begun by a member that then stopped
};
