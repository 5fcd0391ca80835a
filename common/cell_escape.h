#pragma once
// Cells of the command-line tools' tab-separated output and rows files. A cell may hold any
// byte, so the ones that would break the line format or a terminal's text are written as
// escapes: TAB as "\t", CR as "\r", LF as "\n", NUL as "\0" and the backslash itself as "\\".
// Reading undoes exactly that, so a dump of rows can be read back as a rows file.

#include <optional>
#include <string>
#include <string_view>

namespace tessera {

std::string escapeCell(std::string_view cell);

// The cell an escaped text stands for; nullopt for a backslash that is not followed by one of
// 't', 'r', 'n', '0' or '\\' (including a lone backslash at the end).
std::optional<std::string> unescapeCell(std::string_view text);

} // namespace tessera
