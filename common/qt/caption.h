#pragma once
// Window and dialog captions shown exactly as set.
//
// Qt's window systems append the application's display name to every window caption
// ("端口设置 — Tessaly") when one is set; both programs show their captions as they are, so they
// set no display name and call setCaption for every window and dialog.

#include <QGuiApplication>
#include <QString>
#include <QWindow>

namespace tessera {

// Makes the window system show captions exactly as set: clears the application display name,
// which it would otherwise append. Idempotent; setCaption calls it.
void showCaptionsExactly();

// Sets the caption of `window` (any QWidget: dialogs, main windows, MDI windows) to exactly
// `caption`.
template <typename Widget> void setCaption(Widget& window, const QString& caption) {
    showCaptionsExactly();
    window.setWindowTitle(caption);
}

// The same for a QWindow.
inline void setCaption(QWindow& window, const QString& caption) {
    showCaptionsExactly();
    window.setTitle(caption);
}

} // namespace tessera
