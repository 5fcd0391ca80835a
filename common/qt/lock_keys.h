#pragma once
// The state of the keyboard's lock keys as the display server keeps it.

#include <optional>

namespace tessera {

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The lit lock indicators (Caps Lock, Num Lock, Scroll Lock) on X11, read through XKB; nothing
// where the platform cannot tell (Wayland, the offscreen platform, no XKB). An indicator the
// keyboard does not have reads as off.
std::optional<LockKeys> readLockKeys();

} // namespace tessera
