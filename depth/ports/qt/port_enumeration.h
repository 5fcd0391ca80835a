#pragma once
// The port map of this machine: read from the file named by MARROWBY_PORT_MAP when that
// variable is set (tests and simulators), otherwise enumerated from the system's serial devices.

#include "depth/ports/port_map.h"

namespace marrowby {

// Name of the environment variable that replaces enumeration with a map file.
inline constexpr const char* kPortMapVariable = "MARROWBY_PORT_MAP";

// A map file that cannot be read gives readable = false and no devices.
PortMap currentPortMap();

} // namespace marrowby
