#include "depth/ports/port_map.h"

#include "common/crt.h"
#include "common/ini.h"

#include <algorithm>
#include <cstdio>

namespace marrowby {
namespace {

constexpr std::string_view kBridgeDevice = "\\Device\\Slabser0";
constexpr std::string_view kOldBridgeDevice = "\\Device\\Silabser0";

// Registry value names and port names are case-insensitive on the original platform.
bool equalsNoCase(std::string_view a, std::string_view b) {
    return tessera::equalsIgnoringAsciiCase(a, b);
}

std::string comName(int n) {
    return "COM" + tessera::formatInt(n);
}

} // namespace

PortMap parsePortMapFile(std::string_view text) {
    const tessera::IniFile ini = tessera::IniFile::parse(text);
    PortMap map;
    for (const auto& entry : ini.entries("serialcomm")) {
        const std::string& device = entry.first;
        const std::string& port = entry.second;
        // A value name exists once: a repeated device keeps its place and takes the new port.
        auto same =
            std::find_if(map.devices.begin(), map.devices.end(),
                         [&](const SerialDevice& d) { return equalsNoCase(d.deviceName, device); });
        if (same != map.devices.end())
            same->portName = port;
        else
            map.devices.push_back({device, port, {}, {}});
    }
    std::vector<std::pair<std::string, std::string>> paths; // [ports], last entry wins
    for (const auto& entry : ini.entries("ports")) {
        const std::string& port = entry.first;
        const std::string& path = entry.second;
        auto same = std::find_if(paths.begin(), paths.end(),
                                 [&](const auto& p) { return equalsNoCase(p.first, port); });
        if (same != paths.end())
            same->second = path;
        else
            paths.emplace_back(port, path);
    }
    for (const auto& [port, path] : paths) {
        bool listed = false;
        for (auto& d : map.devices)
            if (equalsNoCase(d.portName, port)) {
                d.devicePath = path;
                listed = true;
            }
        if (!listed)
            map.unlistedPorts.emplace_back(port, path);
    }
    return map;
}

std::optional<std::string> devicePathFor(const PortMap& map, int portNumber) {
    if (!map.readable)
        return std::nullopt;
    const std::string name = comName(portNumber);
    for (const auto& d : map.devices)
        if (equalsNoCase(d.portName, name) && !d.devicePath.empty())
            return d.devicePath;
    for (const auto& [port, path] : map.unlistedPorts)
        if (equalsNoCase(port, name) && !path.empty())
            return path;
    return std::nullopt;
}

std::optional<int> findBridgePort(const PortMap& map) {
    if (!map.readable)
        return std::nullopt;
    for (std::string_view wanted : {kBridgeDevice, kOldBridgeDevice})
        for (const auto& d : map.devices)
            if (equalsNoCase(d.deviceName, wanted))
                return portNumberOf(d.portName);
    return std::nullopt;
}

int transferPortNumber(int chosenPort, const PortMap& map) {
    if (auto bridge = findBridgePort(map))
        return *bridge;
    return chosenPort;
}

std::vector<std::string> offeredPortNames(const PortMap& map) {
    std::vector<std::string> names;
    if (!map.readable)
        return names;
    for (const auto& d : map.devices)
        for (int i = 0; i <= 29; ++i)
            if (d.portName == comName(i)) {
                names.push_back(d.portName);
                break;
            }
    return names;
}

int portNumberOf(std::string_view portName) {
    return portName.size() > 3 ? tessera::crtAtoi(portName.substr(3)) : 0;
}

PortMap portMapFromEnumeration(std::vector<EnumeratedPort> ports) {
    struct Key {
        bool onBoard;
        std::string prefix;
        long long number; // -1: the name ends without digits
        std::string name;
    };
    auto keyOf = [](const EnumeratedPort& p) {
        const std::string& n = p.kernelName;
        size_t digits = n.size();
        while (digits > 0 && n[digits - 1] >= '0' && n[digits - 1] <= '9')
            --digits;
        std::string prefix = n.substr(0, digits);
        long long number = -1;
        if (digits < n.size()) {
            // Kernel names carry small numbers; clamp absurd ones instead of overflowing.
            std::string_view tail = std::string_view(n).substr(digits, 9);
            number = tessera::crtAtoi(tail);
        }
        return Key{prefix == "ttyS" && number >= 0, prefix, number, n};
    };
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const EnumeratedPort& a, const EnumeratedPort& b) {
                         Key ka = keyOf(a), kb = keyOf(b);
                         if (ka.onBoard != kb.onBoard)
                             return ka.onBoard;
                         if (ka.prefix != kb.prefix)
                             return ka.prefix < kb.prefix;
                         if (ka.number != kb.number)
                             return ka.number < kb.number;
                         return ka.name < kb.name;
                     });

    PortMap map;
    long long highestOnBoard = 0;
    for (const auto& p : ports) {
        Key k = keyOf(p);
        if (k.onBoard)
            highestOnBoard = std::max(highestOnBoard, k.number + 1);
    }
    long long next = std::max<long long>(highestOnBoard, 4) + 1;
    int bridges = 0, others = 0;
    for (const auto& p : ports) {
        Key k = keyOf(p);
        SerialDevice d;
        long long com = k.onBoard ? k.number + 1 : next++;
        d.portName = "COM" + std::to_string(com);
        char name[48];
        if (p.bridge)
            std::snprintf(name, sizeof name, "\\Device\\Slabser%d", bridges++);
        else if (k.onBoard)
            std::snprintf(name, sizeof name, "\\Device\\Serial%lld", k.number);
        else
            std::snprintf(name, sizeof name, "\\Device\\USBSER%03d", others++);
        d.deviceName = name;
        d.devicePath = p.devicePath;
        d.description = p.description;
        map.devices.push_back(std::move(d));
    }
    return map;
}

} // namespace marrowby
