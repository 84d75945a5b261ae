#include "util/PhaseTimes.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace {

constexpr int kPhaseCount = int(MapPhase::Count);

struct Counters {
    std::atomic<int64_t> calls{0}, wall{0}, cpu{0};
};

std::atomic<bool> g_enabled{false};
Counters g_counters[kPhaseCount];
thread_local ScopedPhase* t_innermost = nullptr;

int64_t WallNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t ThreadCpuNow()
{
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec t{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) == 0)
        return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
#endif
    return 0;
}

}  // namespace

namespace PhaseTimes {

void SetEnabled(bool on)
{
    g_enabled.store(on);
}

bool Enabled()
{
    return g_enabled.load(std::memory_order_relaxed);
}

void Reset()
{
    for (Counters& c : g_counters) {
        c.calls.store(0);
        c.wall.store(0);
        c.cpu.store(0);
    }
}

PhaseTotal Total(MapPhase phase)
{
    const Counters& c = g_counters[int(phase)];
    return {c.calls.load(), double(c.wall.load()) * 1e-9, double(c.cpu.load()) * 1e-9};
}

const char* Name(MapPhase phase)
{
    switch (phase) {
    case MapPhase::Surface:
        return "surface";
    case MapPhase::Tracing:
        return "contour tracing";
    case MapPhase::Labels:
        return "label placement";
    case MapPhase::Drawing:
        return "drawing";
    case MapPhase::Encoding:
        return "png encoding";
    case MapPhase::Count:
        break;
    }
    return "";
}

void Add(MapPhase phase, int64_t wallNanoseconds, int64_t cpuNanoseconds)
{
    Counters& c = g_counters[int(phase)];
    c.calls.fetch_add(1);
    c.wall.fetch_add(wallNanoseconds);
    c.cpu.fetch_add(cpuNanoseconds);
}

}  // namespace PhaseTimes

ScopedPhase::ScopedPhase(MapPhase phase) : m_phase(phase), m_active(PhaseTimes::Enabled())
{
    if (!m_active)
        return;
    m_outer = t_innermost;
    if (m_outer)
        m_outer->Pause();
    t_innermost = this;
    Resume();
}

ScopedPhase::~ScopedPhase()
{
    if (!m_active)
        return;
    Pause();
    PhaseTimes::Add(m_phase, m_wall, m_cpu);
    t_innermost = m_outer;
    if (m_outer)
        m_outer->Resume();
}

void ScopedPhase::Pause()
{
    m_wall += WallNow() - m_wallStart;
    m_cpu += ThreadCpuNow() - m_cpuStart;
}

void ScopedPhase::Resume()
{
    m_wallStart = WallNow();
    m_cpuStart = ThreadCpuNow();
}
