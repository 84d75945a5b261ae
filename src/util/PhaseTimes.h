#pragma once
// Where the time of making maps goes: the steps of every map (surface, contour tracing, label
// placement, drawing, picture encoding), summed over all threads, for `render --timings`.
//
// Off unless switched on; then a ScopedPhase reads the wall clock and its own thread's CPU clock
// when it starts and ends. A phase started inside another (label placement inside drawing)
// pauses the outer one, so no time is counted twice. The CPU time is that of the thread running
// the phase only.

#include <cstdint>

enum class MapPhase : int { Surface, Tracing, Labels, Drawing, Encoding, Count };

struct PhaseTotal {
    int64_t calls = 0;
    double wallSeconds = 0.0;  // summed over the threads, not elapsed
    double cpuSeconds = 0.0;
};

namespace PhaseTimes {
void SetEnabled(bool on);
bool Enabled();
// Sets every total back to zero.
void Reset();
PhaseTotal Total(MapPhase phase);
// The phase's name in the printed table ("surface", "contour tracing", ...).
const char* Name(MapPhase phase);
// Adds one call of `phase` measured by other means.
void Add(MapPhase phase, int64_t wallNanoseconds, int64_t cpuNanoseconds);
}  // namespace PhaseTimes

class ScopedPhase {
public:
    explicit ScopedPhase(MapPhase phase);
    ~ScopedPhase();
    ScopedPhase(const ScopedPhase&) = delete;
    ScopedPhase& operator=(const ScopedPhase&) = delete;

private:
    void Pause();
    void Resume();

    MapPhase m_phase;
    bool m_active;
    ScopedPhase* m_outer = nullptr;
    int64_t m_wallStart = 0, m_cpuStart = 0;
    int64_t m_wall = 0, m_cpu = 0;
};
