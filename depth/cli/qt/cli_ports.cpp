// marrowby-cli ports: the port map as the program sees it, and the bridge's port.

#include "depth/cli/cli.h"

#include "depth/ports/port_map.h"
#include "depth/ports/qt/port_enumeration.h"

#include <cstdio>
#include <cstdlib>

namespace marrowby::cli {
namespace {

// Fields are TAB-separated and devices one per line: keep separators out of the fields.
std::string field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

int ports(const tessera::cli::Arguments& arguments) {
    const std::vector<std::string>& args = arguments.positional;
    if (!args.empty()) {
        return tessera::cli::usageError();
    }
    PortMap map = currentPortMap();
    if (!map.readable) {
        const char* file = std::getenv(kPortMapVariable);
        error("无法读取端口映射文件" + quoted(file ? file : ""));
        return kFailure;
    }
    std::string out;
    for (const auto& d : map.devices)
        out += field(d.deviceName) + "\t" + field(d.portName) + "\t" + field(d.devicePath) + "\t" +
               field(d.description) + "\n";
    auto bridge = findBridgePort(map);
    out += bridge ? "bridge\tCOM" + std::to_string(*bridge) + "\n" : std::string("bridge\tnone\n");
    return tessera::cli::printOutput(out) ? kOk : kFailure;
}

const tessera::cli::Command
    portsCommand("ports", "ports   （设备名、端口、设备路径、说明；最后一行是桥接器的端口）", {},
                 ports);

} // namespace
} // namespace marrowby::cli
