#include "common/qt/caption.h"

namespace tessera {

void showCaptionsExactly() {
    // Qt appends a display name that a program has set; an empty one is never appended.
    if (!QGuiApplication::applicationDisplayName().isEmpty())
        QGuiApplication::setApplicationDisplayName(QString());
}

} // namespace tessera
