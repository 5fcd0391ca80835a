#pragma once
// The program's title: the main window's caption and the caption of Marrowby's own message
// boxes (UTF-8).

#include <string_view>

namespace marrowby {

inline constexpr std::string_view kProgramTitle = "Tessaly";

} // namespace marrowby
