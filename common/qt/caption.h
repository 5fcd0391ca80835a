#pragma once
// Captions: the application's title that its message boxes carry ("Tessaly", "Wexcombe"), and
// window and dialog captions shown exactly as set.
//
// Qt's window systems append the application's display name to every window caption
// ("端口设置 — Tessaly") when one is set; both programs show their captions as they are, so they
// set no display name and call setCaption for every window and dialog.

#include <QGuiApplication>
#include <QString>

namespace tessera {

// The caption of the program's own message boxes; set once at start-up.
void setAppCaption(const QString& caption);
// "Tessaly" until set otherwise (the depth program's title).
QString appCaption();

// Makes the window system show captions exactly as set: clears the application display name,
// which it would otherwise append. Idempotent; setCaption calls it.
void showCaptionsExactly();

// Sets the caption of `window` (any QWidget or QWindow) to exactly `caption`.
template <typename Window> void setCaption(Window& window, const QString& caption) {
    showCaptionsExactly();
    window.setWindowTitle(caption);
}

} // namespace tessera
