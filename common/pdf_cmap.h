#pragma once
// The text map of a PDF font (its ToUnicode CMap): which characters each glyph code stands
// for, used when text is copied or searched. A PDF writer that builds the map from the font
// alone names a glyph by one of the characters that share it (Qt takes the lowest code point,
// so 工 becomes the Kangxi radical ⼯ U+2F2F). remapToUnicodeCMap rewrites such a map with a
// character mapping of the caller's choice.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessera {

// Rewrites the mappings of a ToUnicode CMap (its bfchar and bfrange sections between the code
// space and "endcmap", the destinations UTF-16BE in hex): every destination that is one
// character c becomes map(c). The result lists every mapping as bfchar entries in code order,
// in blocks of at most 100, between the text up to the code space and the text from "endcmap",
// which are kept as they are. Entries are read wherever they stand, and bytes that are no part
// of one are dropped (Qt 6.4 writes stray bytes into maps of more than 100 ranges); a code
// listed twice keeps its last entry. nullopt when the map reads cleanly and no destination
// changes (or it has no code space or end), so that it can be left as it is.
std::optional<std::string> remapToUnicodeCMap(std::string_view cmap,
                                              const std::function<char32_t(char32_t)>& map);

} // namespace tessera
