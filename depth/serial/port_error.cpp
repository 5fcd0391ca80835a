#include "depth/serial/port_error.h"

#include "common/crt.h"
#include "common/error_text.h"

#include <cerrno>

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

std::string portErrorText(const PortError& error) {
    return formatPortError(error.label, tessera::errorText(error.errnum), error.portNumber);
}

bool isDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == ENOENT;
}

} // namespace marrowby
