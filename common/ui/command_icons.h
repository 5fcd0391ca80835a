#pragma once
// Toolbar pictures shared by both programs: drawn at run time (no image files to ship) on a
// 16 × 16 grid and rendered at the sizes a toolbar asks for, plus the pictures of the
// framework's standard commands.

#include <QIcon>

#include <functional>

class QPainter;

namespace tessera {

// An icon drawn by `draw` in a 16 × 16 coordinate system, at 16, 24, 32 and 48 pixels.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw);

// The picture of a standard command (new, open, save, print, about); a null icon for others.
QIcon standardCommandIcon(int id);

} // namespace tessera
