#pragma once
// CMapNotifyRelay: the IMapNotify the document and the map workers are given. Sent codes are
// passed straight to the attached sink (the main frame) on the user-interface thread; posted
// codes, which come from worker threads, become events queued to the relay's user-interface
// thread object and reach the sink there, in the order they were posted. Detaching (the frame
// going away) is safe against workers that are posting at that moment: events already queued
// are then dropped.

#include <QObject>

#include <mutex>

#include "document/MapNotify.h"

// The receiver behind the relay: every code, sent or posted, reaches it as this one call on the
// user-interface thread.
class IMapNotifySink {
public:
    virtual ~IMapNotifySink() = default;
    virtual intptr_t SendMapNotify(int code, intptr_t argument) = 0;
};

class CMapNotifyRelay final : public QObject, public IMapNotify {
public:
    // The relay lives on the thread that creates it (the user-interface thread).
    CMapNotifyRelay();
    ~CMapNotifyRelay() override;

    void Attach(IMapNotifySink* sink);
    void Detach();

    intptr_t SendMapNotify(int code, intptr_t argument) override;
    void PostMapNotify(int code, intptr_t argument) override;

protected:
    bool event(QEvent* e) override;

private:
    std::mutex m_mutex;  // guards m_sink against a worker posting while the frame detaches
    IMapNotifySink* m_sink = nullptr;
};
