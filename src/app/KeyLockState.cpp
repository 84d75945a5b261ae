#include "app/KeyLockState.h"

#include <QGuiApplication>

#ifdef TESSARIX_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
// Xlib after Qt: its macros (None, Bool, Status) would otherwise clash with Qt's names.
#include <X11/XKBlib.h>
#endif

KeyLockState QueryKeyLocks()
{
    KeyLockState s;
#if defined(TESSARIX_HAVE_X11) && QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return s;
    // By indicator name rather than bit number: keyboards map their LEDs differently.
    auto lit = [display](const char* name, bool* on) {
        int state = 0;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == 0 || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
            return false;
        *on = state != 0;
        return true;
    };
    s.known = lit("Caps Lock", &s.caps);
    s.known = lit("Num Lock", &s.num) && s.known;
    lit("Scroll Lock", &s.scroll);
#endif
    return s;
}
