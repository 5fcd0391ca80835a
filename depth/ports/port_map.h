#pragma once
// The port map: the serial devices the system knows, each with a device name, a port name
// "COMn" and the device path that opening port n uses.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marrowby {

struct SerialDevice {
    std::string deviceName;  // e.g. "\Device\Slabser0"
    std::string portName;    // e.g. "COM5"
    std::string devicePath;  // e.g. "/dev/ttyUSB0"; empty: the port cannot be opened
    std::string description; // free text for people
};

struct PortMap {
    bool readable = true; // false: the device list could not be read at all
    std::vector<SerialDevice> devices;
    // Device paths of ports that no listed device names (a map file's [ports] entries without a
    // [serialcomm] line): such a port can be opened but is neither listed nor offered.
    std::vector<std::pair<std::string, std::string>> unlistedPorts; // (port name, path)
};

// Parses a port-map file ([serialcomm] device=port lines, [ports] port=path lines).
PortMap parsePortMapFile(std::string_view text);

// The device path behind port n ("COMn"), if any.
std::optional<std::string> devicePathFor(const PortMap& map, int portNumber);

// The bridge's port number: the port of "\Device\Slabser0", else of "\Device\Silabser0";
// the number is the atoi of the port name after its first three characters.
std::optional<int> findBridgePort(const PortMap& map);

// The port a download opens: the bridge's port when the map registers one, else `chosenPort`
// (the port chosen by hand).
int transferPortNumber(int chosenPort, const PortMap& map);

// The port names offered for manual choice: those equal to COM0..COM29, in list order.
std::vector<std::string> offeredPortNames(const PortMap& map);

// The number after the first three characters of a port name by the atoi rule ("COM3" -> 3).
int portNumberOf(std::string_view portName);

// One serial device as the platform enumerates it, before it gets its names.
struct EnumeratedPort {
    std::string kernelName;  // e.g. "ttyUSB0", "ttyS1", "ttyACM0"
    std::string devicePath;  // e.g. "/dev/ttyUSB0"
    std::string description; // e.g. "CP2102 USB to UART Bridge Controller"
    bool bridge = false;     // a CP210x bridge (vendor 0x10C4 or kernel driver cp210x)
};

// Names enumerated devices the way the bridge driver and the system would register them:
// - device names: CP210x bridges "\Device\Slabser0", "\Device\Slabser1", ...; on-board ports
//   ttyS<k> "\Device\Serial<k>"; every other device "\Device\USBSER000", "\Device\USBSER001", ...
// - port names: ttyS<k> is COM<k+1>; every other device, in kernel-name order (text prefix,
//   then number: ttyACM0, ttyACM1, ttyUSB0, ttyUSB2, ttyUSB10), takes the next number after
//   the highest on-board port, but never below COM5 (a single USB bridge is COM5).
// The list is in that same order: on-board ports first, by number, then the others.
PortMap portMapFromEnumeration(std::vector<EnumeratedPort> ports);

} // namespace marrowby
