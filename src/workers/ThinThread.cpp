#include "workers/ThinThread.h"

#include <chrono>
#include <system_error>

CThinThread::~CThinThread()
{
    // A derived class has stopped the thread already; this only covers a base used alone.
    Stop();
}

bool CThinThread::Start()
{
    if (m_thread.joinable())
        return true;
    m_stop.store(0);
    try {
        m_thread = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CThinThread::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_eventLock);
        m_stop.store(1);
    }
    RaiseCancel();
    m_eventChanged.notify_all();
    m_thread.join();
}

void CThinThread::Wake()
{
    {
        std::lock_guard<std::mutex> lock(m_eventLock);
        m_wakePending = true;
    }
    m_eventChanged.notify_all();
}

void CThinThread::WakeLocked(std::unique_lock<std::mutex>& held)
{
    m_wakePending = true;
    held.unlock();
    m_eventChanged.notify_all();
}

void CThinThread::DropWakeLocked(const std::unique_lock<std::mutex>& held)
{
    if (held.owns_lock() && held.mutex() == &m_eventLock) {
        m_wakePending = false;
        m_eventChanged.notify_all();  // WaitUntilIdle may be waiting for this wake
    }
}

void CThinThread::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(m_eventLock);
    m_eventChanged.wait(lock, [this] {
        return (!m_wakePending && !m_running) || m_stop.load() != 0 || !m_thread.joinable();
    });
}

void CThinThread::CancelRun()
{
    std::lock_guard<std::mutex> lock(m_eventLock);
    if (m_running)
        RaiseCancel();
}

std::unique_lock<std::mutex> CThinThread::HoldIdle()
{
    std::unique_lock<std::mutex> lock(m_eventLock);
    if (m_running) {
        RaiseCancel();
        m_eventChanged.wait(lock, [this] { return !m_running; });
    }
    LowerCancel();
    return lock;
}

void CThinThread::Loop()
{
    OnThreadStart();
    for (;;) {
        std::unique_lock<std::mutex> lock(m_eventLock);
        auto signalled = [this] { return m_wakePending || m_stop.load() != 0; };
        if (m_waitTimeoutMs < 0)
            m_eventChanged.wait(lock, signalled);
        else
            m_eventChanged.wait_for(lock, std::chrono::milliseconds(m_waitTimeoutMs), signalled);
        if (m_stop.load() != 0)
            break;
        m_wakePending = false;
        m_running = true;
        lock.unlock();
        DoWork();
        lock.lock();
        m_running = false;
        lock.unlock();
        m_eventChanged.notify_all();
    }
    OnThreadExit();
    std::lock_guard<std::mutex> lock(m_eventLock);
    m_eventChanged.notify_all();
}
