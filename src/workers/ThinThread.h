#pragma once
// CThinThread: a permanent worker thread that sleeps on a wake event and runs one unit of work
// (DoWork) per wake-up until it is stopped.
//
// The wake event is auto-resetting: any number of Wake calls before the worker gets to it give
// one run. The event's mutex also tells whether a run is in progress, which lets a requester hold
// the worker out of DoWork (HoldIdle) while it replaces the worker's inputs: once HoldIdle
// returns, no run is in progress and none can start until the returned lock is released.
//
// A derived class must call Stop() in its own destructor, before its members go away; Stop sets
// the stop flag, wakes the worker and joins it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class CThinThread {
public:
    CThinThread() = default;
    virtual ~CThinThread();
    CThinThread(const CThinThread&) = delete;
    CThinThread& operator=(const CThinThread&) = delete;

    // Starts the thread (stop flag cleared); false when the system refuses a thread.
    bool Start();
    // Sets the stop flag, wakes the worker and waits until its loop has ended.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // Sets the wake event.
    void Wake();
    // Waits until no wake-up is pending and no run is in progress.
    void WaitUntilIdle();
    // Asks the run in progress, if any, to stop early (RaiseCancel) without waiting for it; the
    // next HoldIdle waits for it and lowers the flags. A caller about to request several workers
    // stops them all at once this way instead of one after the other.
    void CancelRun();

    // Milliseconds the worker waits for a wake-up before it runs anyway; -1 waits forever.
    void SetWaitTimeout(int32_t ms) { m_waitTimeoutMs = ms; }

protected:
    virtual void OnThreadStart() {}
    virtual void DoWork() = 0;
    virtual void OnThreadExit() {}
    // Called by HoldIdle before it waits: ask the run in progress to stop early.
    virtual void RaiseCancel() {}
    // Called by HoldIdle once no run is in progress.
    virtual void LowerCancel() {}

    // Stops the run in progress (RaiseCancel, wait, LowerCancel) and keeps further runs from
    // starting while the returned lock is held. WakeLocked sets the event under that lock.
    std::unique_lock<std::mutex> HoldIdle();
    void WakeLocked(std::unique_lock<std::mutex>& held);
    // Under the lock of HoldIdle: forgets a wake the worker has not taken yet, so a request
    // that never started does not start later.
    void DropWakeLocked(const std::unique_lock<std::mutex>& held);

private:
    void Loop();

    std::mutex m_eventLock;
    std::condition_variable m_eventChanged;
    bool m_wakePending = false;  // the auto-reset wake event
    bool m_running = false;      // DoWork in progress
    std::atomic<int32_t> m_stop{0};
    int32_t m_waitTimeoutMs = -1;
    std::thread m_thread;
};
