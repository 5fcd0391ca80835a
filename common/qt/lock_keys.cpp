#include "common/qt/lock_keys.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
// Xlib after every Qt header: it defines macros (Bool, None, Status, …) that Qt's names share.
#include <X11/XKBlib.h>
#endif

namespace tessera {

#if QT_CONFIG(xcb)
namespace {

// True when the named indicator is lit; an unknown name is an unlit indicator.
bool indicatorOn(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return false;
    int index = -1;
    int on = 0;
    if (!XkbGetNamedIndicator(display, atom, &index, &on, nullptr, nullptr))
        return false;
    return on != 0;
}

} // namespace
#endif

std::optional<LockKeys> readLockKeys() {
#if QT_CONFIG(xcb)
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor))
        return std::nullopt;
    LockKeys keys;
    keys.caps = indicatorOn(display, "Caps Lock");
    keys.num = indicatorOn(display, "Num Lock");
    keys.scroll = indicatorOn(display, "Scroll Lock");
    return keys;
#else
    return std::nullopt;
#endif
}

} // namespace tessera
