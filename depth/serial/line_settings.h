#pragma once
// Line settings of a serial port (model code, no Qt).

#include <cstdint>

namespace marrowby {

struct LineSettings {
    int baudRate = 38400;
    char parity = 'N'; // N, E, O, M or S (either case)
    int dataBits = 8;  // 5..8
    int stopBits = 1;  // 1 or 2

    bool operator==(const LineSettings&) const = default;
};

// The crack depth meter's line: 38400 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr LineSettings kMeterLine{38400, 'N', 8, 1};

// Comm events the download waits for: a character received (1) and CTS changes (8).
inline constexpr uint32_t kMeterEvents = 0x0009;

} // namespace marrowby
