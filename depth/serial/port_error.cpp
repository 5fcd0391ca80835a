#include "depth/serial/port_error.h"

#include "common/model/crt.h"

#include <cerrno>
#include <cstring>

namespace marrowby {

std::string formatPortError(std::string_view label, std::string_view reason, int portNumber) {
    std::string text = "WARNING:  ";
    text += label;
    text += " Failed with the following error: \n";
    text += reason;
    text += "\nPort: ";
    text += tessera::formatInt(portNumber);
    text += "\n";
    return text;
}

std::string systemErrorText(int error) {
    char buffer[256];
    // GNU strerror_r: returns the text, which may or may not be in `buffer`.
    return strerror_r(error, buffer, sizeof buffer);
}

bool isDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == ENOENT;
}

} // namespace marrowby
