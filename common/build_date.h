#pragma once
// The build date that the About boxes show, written the Chinese way.

#include <string>
#include <string_view>

namespace tessera {

// The compiler's date text (`__DATE__`, "Mmm dd yyyy" with the day padded by a space, such as
// "Dec  7 2026") as "2026年12月7日". A text not in that form is returned as it is.
std::string chineseBuildDate(std::string_view compilerDate);

} // namespace tessera
