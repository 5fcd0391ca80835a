#include "common/qt/caption.h"

namespace tessera {
namespace {

QString& caption() {
    static QString text = QStringLiteral("Tessaly");
    return text;
}

} // namespace

void setAppCaption(const QString& text) {
    caption() = text;
}

QString appCaption() {
    return caption();
}

void showCaptionsExactly() {
    // A display name that is set but empty is never appended (an unset one falls back to the
    // application name, which would be).
    if (!QGuiApplication::applicationDisplayName().isEmpty())
        QGuiApplication::setApplicationDisplayName(QString());
}

} // namespace tessera
