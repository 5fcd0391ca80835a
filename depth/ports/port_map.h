#pragma once
// The port map: the serial devices the system knows, each with a device name, a port name
// "COMn" and the device path that opening port n uses.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marrowby {

struct SerialDevice {
    std::string deviceName;   // e.g. "\Device\Slabser0"
    std::string portName;     // e.g. "COM5"
    std::string devicePath;   // e.g. "/dev/ttyUSB0"; empty: the port cannot be opened
    std::string description;  // free text for people
};

struct PortMap {
    bool readable = true;  // false: the device list could not be read at all
    std::vector<SerialDevice> devices;
};

// Parses a port-map file ([serialcomm] device=port lines, [ports] port=path lines).
PortMap parsePortMapFile(std::string_view text);

// The device path behind port n ("COMn"), if any.
std::optional<std::string> devicePathFor(const PortMap& map, int portNumber);

// The bridge's port number: the port of "\Device\Slabser0", else of "\Device\Silabser0";
// the number is the atoi of the port name after its first three characters.
std::optional<int> findBridgePort(const PortMap& map);

// The port names offered for manual choice: those equal to COM0..COM29, in list order.
std::vector<std::string> offeredPortNames(const PortMap& map);

// The number after the first three characters of a port name by the atoi rule ("COM3" -> 3).
int portNumberOf(std::string_view portName);

} // namespace marrowby
