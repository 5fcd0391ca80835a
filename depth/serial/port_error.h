#pragma once
// Texts of the serial engine's error box (model code, no Qt).

#include <string>
#include <string_view>

namespace marrowby {

// Caption of the engine's error box.
inline constexpr std::string_view kPortErrorCaption = "Application Error";

// A failed call of the engine: which call, the errno value, and the port.
struct PortError {
    std::string label; // e.g. "ReadFile()"
    int errnum = 0;
    int portNumber = 0;
    // The worker reads nothing more after this error: it waits for Close (a device that is
    // gone, or any read error that a retry would only repeat).
    bool final = false;
};

// "WARNING:  <label> Failed with the following error: \n<reason>\nPort: <port>\n"; the text is
// not limited in length.
std::string formatPortError(std::string_view label, std::string_view reason, int portNumber);

// The box text of `error`, with the system's text for its errno value.
std::string portErrorText(const PortError& error);

// Errors after which a device is gone for good (hang-up, unplugged, descriptor lost).
bool isDeviceGone(int error);

} // namespace marrowby
