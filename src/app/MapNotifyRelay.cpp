#include "app/MapNotifyRelay.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

const QEvent::Type kMapNotifyEvent = QEvent::Type(QEvent::registerEventType());

class CMapNotifyEvent final : public QEvent {
public:
    CMapNotifyEvent(int c, intptr_t a) : QEvent(kMapNotifyEvent), code(c), argument(a) {}
    const int code;
    const intptr_t argument;
};

}  // namespace

CMapNotifyRelay::CMapNotifyRelay() = default;

CMapNotifyRelay::~CMapNotifyRelay()
{
    Detach();
}

void CMapNotifyRelay::Attach(IMapNotifySink* sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = sink;
}

void CMapNotifyRelay::Detach()
{
    {
        std::lock_guard lock(m_mutex);
        m_sink = nullptr;
    }
    QCoreApplication::removePostedEvents(this, kMapNotifyEvent);
}

intptr_t CMapNotifyRelay::SendMapNotify(int code, intptr_t argument)
{
    IMapNotifySink* sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    return sink ? sink->SendMapNotify(code, argument) : 0;
}

void CMapNotifyRelay::PostMapNotify(int code, intptr_t argument)
{
    // postEvent is safe from any thread; the relay outlives the workers (the document that owns
    // them is destroyed first).
    QCoreApplication::postEvent(this, new CMapNotifyEvent(code, argument));
}

bool CMapNotifyRelay::event(QEvent* e)
{
    if (e->type() != kMapNotifyEvent)
        return QObject::event(e);
    const auto* n = static_cast<CMapNotifyEvent*>(e);
    SendMapNotify(n->code, n->argument);
    return true;
}
