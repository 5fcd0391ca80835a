#pragma once
// Texts of the serial engine's error box (model code, no Qt).

#include <string>
#include <string_view>

namespace marrowby {

// Caption of the engine's error box.
inline constexpr std::string_view kPortErrorCaption = "Application Error";

// "WARNING:  <label> Failed with the following error: \n<reason>\nPort: <port>\n"; the text is
// not limited in length.
std::string formatPortError(std::string_view label, std::string_view reason, int portNumber);

// The system's text for an errno value (thread-safe).
std::string systemErrorText(int error);

// Errors after which a device is gone for good (hang-up, unplugged, descriptor lost): the
// worker reports them once and stops reading.
bool isDeviceGone(int error);

} // namespace marrowby
