#pragma once
// CMapReadyWaiter: an IMapNotify for batch callers (the command-line tool, tests) that counts
// the MapReady notifications per column and lets the caller wait for them. It answers
// ActiveColumn with the column given at construction and forwards every notification to an
// optional further listener.
//
// Typical use: construct the waiter, hand it to the document (SetNotify), note Count(column),
// start the work (open a document, RequestMaps), then WaitForMapReady(column, noted + 1).

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "document/MapNotify.h"
#include "util/TxTypes.h"

class CMapReadyWaiter final : public IMapNotify {
public:
    explicit CMapReadyWaiter(int activeColumn = 0, IMapNotify* forward = nullptr)
        : m_activeColumn(activeColumn), m_forward(forward) {}

    intptr_t SendMapNotify(int code, intptr_t argument) override;
    void PostMapNotify(int code, intptr_t argument) override;

    // MapReady notifications received for `column` so far.
    int Count(int column) const;
    // Waits until `column` has had at least `count` MapReady notifications; false on timeout
    // (timeoutMs < 0 waits forever).
    bool WaitForMapReady(int column, int count = 1, int timeoutMs = -1) const;
    // Waits until at least one column of `pending` has had `count` MapReady notifications, then
    // removes every such column from `pending` and returns them in the order they stood there;
    // empty on timeout (timeoutMs < 0 waits forever) and for an empty `pending`.
    std::vector<int> TakeReady(std::vector<int>& pending, int count, int timeoutMs = -1) const;
    // The argument of the last MapsRequested, -1 before the first.
    int LastRequestCount() const;

private:
    int m_activeColumn;
    IMapNotify* m_forward;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    int m_ready[kColumnCount] = {};
    int m_requested = -1;
};
