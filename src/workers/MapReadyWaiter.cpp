#include "workers/MapReadyWaiter.h"

#include <algorithm>
#include <chrono>

intptr_t CMapReadyWaiter::SendMapNotify(int code, intptr_t argument)
{
    if (m_forward)
        return m_forward->SendMapNotify(code, argument);
    return code == MapNotifyActiveColumn ? m_activeColumn : 0;
}

void CMapReadyWaiter::PostMapNotify(int code, intptr_t argument)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (code == MapNotifyMapReady && argument >= 0 && argument < kColumnCount)
            ++m_ready[argument];
        else if (code == MapNotifyMapsRequested)
            m_requested = int(argument);
    }
    m_changed.notify_all();
    if (m_forward)
        m_forward->PostMapNotify(code, argument);
}

int CMapReadyWaiter::Count(int column) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return column >= 0 && column < kColumnCount ? m_ready[column] : 0;
}

int CMapReadyWaiter::LastRequestCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requested;
}

bool CMapReadyWaiter::WaitForMapReady(int column, int count, int timeoutMs) const
{
    if (column < 0 || column >= kColumnCount)
        return false;
    std::unique_lock<std::mutex> lock(m_lock);
    auto reached = [&] { return m_ready[column] >= count; };
    if (timeoutMs < 0) {
        m_changed.wait(lock, reached);
        return true;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), reached);
}

std::vector<int> CMapReadyWaiter::TakeReady(std::vector<int>& pending, int count, int timeoutMs) const
{
    std::vector<int> ready;
    if (pending.empty())
        return ready;
    std::unique_lock<std::mutex> lock(m_lock);
    auto reached = [&](int column) { return column >= 0 && column < kColumnCount && m_ready[column] >= count; };
    auto any = [&] { return std::any_of(pending.begin(), pending.end(), reached); };
    if (timeoutMs < 0)
        m_changed.wait(lock, any);
    else if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), any))
        return ready;
    for (int column : pending)
        if (reached(column))
            ready.push_back(column);
    pending.erase(std::remove_if(pending.begin(), pending.end(), reached), pending.end());
    return ready;
}
