#pragma once
// The surface check of one column away from the user-interface thread.
//
// SurfaceCheckInputOf copies what the check of a column reads from the document (its
// interpolation input, the extent the positions are normalised to, the kernel and parameter), so
// the run never touches the document; two inputs compare equal exactly when their checks would
// agree, which is how a holder of a result tells that the data moved on under it.
//
// CSurfaceCheckRunner runs one check at a time on a thread of its own. Start cancels the run in
// progress (its result is never delivered) and begins the new one; Finished is emitted on the
// runner's thread once the latest run has a result. Cancel and the destructor stop the run in
// progress within a few milliseconds: the check polls the cancel flag in its loops.

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "geometry/WorldRects.h"
#include "mapping/SurfaceCheck.h"
#include "workers/ContourMapThread.h"

struct SurfaceCheckInput {
    int column = -1;
    InterpolationInput points;  // world coordinates; the measured points first
    MapExtent extent;
    int32_t function = 0;
    float parameter = 0.0f;
    // The energy option: the surface interpolates 10^(L/10); the grid counts then matter too,
    // since the check counts the grid nodes left without a positive energy.
    bool energy = false;
    int32_t gridCountX = 0, gridCountY = 0;

    friend bool operator==(const SurfaceCheckInput& a, const SurfaceCheckInput& b);
};
SurfaceCheckInput SurfaceCheckInputOf(const CTessarixDoc& doc, int column);

// A measured point as the check names it: its number (1-based, as the data grid counts), its
// position in map units, its measured value and its leave-one-out residual.
struct SurfaceCheckPoint {
    int32_t number = 0;
    float x = 0.0f;
    float y = 0.0f;
    float value = 0.0f;
    double residual = 0.0;
};

struct SurfaceCheckReport {
    SurfaceCheck check;
    // Two measured or added points at one position make the system singular; the check is then
    // not attempted and these name them (0-based input indices, -1 otherwise).
    int32_t coincidingFirst = -1;
    int32_t coincidingSecond = -1;
    std::vector<SurfaceCheckPoint> worst;  // largest |residual| first
    SurfaceCheckPoint largestMiss;         // its residual member holds the miss, not a residual
    // With the energy option: grid nodes without a positive energy (-1 with the option off), of
    // how many, and the level the map shows there.
    int32_t nonPositiveEnergyNodes = -1;
    int32_t gridNodes = 0;
    float lowestLevel = 0.0f;

    bool Checked() const { return check.status == SurfaceCheckStatus::Checked; }
};

// Runs the check of `input` with `threads` threads; Cancelled once `cancel` (may be null) is set.
SurfaceCheckReport RunSurfaceCheck(const SurfaceCheckInput& input, int threads,
                                   const std::atomic<int32_t>* cancel = nullptr);

class CSurfaceCheckRunner : public QObject {
    Q_OBJECT
public:
    explicit CSurfaceCheckRunner(QObject* parent = nullptr);
    ~CSurfaceCheckRunner() override;

    // Cancels the run in progress and starts checking `input`.
    void Start(SurfaceCheckInput input);
    // Cancels the run in progress and forgets the last result.
    void Cancel();

    bool Running() const { return m_running; }
    bool HasResult() const { return m_result != nullptr; }
    const SurfaceCheckInput& Input() const { return m_input; }
    // The result of the latest Start, once Finished was emitted; null before and after Cancel.
    const SurfaceCheckReport* Result() const { return m_result.get(); }

signals:
    void Finished();

private:
    struct Run {
        std::atomic<int32_t> cancel{0};
        SurfaceCheckReport report;
    };
    void StopRun();
    void Deliver(quint64 generation, std::shared_ptr<Run> run);

    SurfaceCheckInput m_input;
    std::shared_ptr<Run> m_run;
    std::thread m_thread;
    quint64 m_generation = 0;
    bool m_running = false;
    std::unique_ptr<SurfaceCheckReport> m_result;
};
