#pragma once
// Qt helpers of the fallowmere-cli commands that draw (demo, report).

#include <QGuiApplication>

#include <memory>

namespace fallowmere::cli {

// The application object that fonts, pictures and PDF output need, on the offscreen platform
// unless one was chosen explicitly (the tool needs no display). Null when one exists already.
std::unique_ptr<QGuiApplication> startHeadlessGui();

} // namespace fallowmere::cli
