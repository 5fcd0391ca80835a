#include "common/error_text.h"

#include <cstring>

namespace tessera {
namespace {

// strerror_r comes in two flavours; overloads pick whichever the C library declares.
[[maybe_unused]] const char* pick(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr; // XSI: 0 on success, the text is in `buffer`
}
[[maybe_unused]] const char* pick(const char* result, const char*) {
    return result; // GNU: the text, in `buffer` or in static storage
}

} // namespace

std::string errorText(int errnum) {
    char buffer[256] = {};
    const char* text = pick(strerror_r(errnum, buffer, sizeof buffer), buffer);
    if (text && *text)
        return text;
    return "Unknown error " + std::to_string(errnum);
}

} // namespace tessera
