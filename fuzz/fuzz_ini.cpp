// The INI codec on arbitrary bytes: parsing never fails, an unchanged file gives back exactly
// its bytes, and a value that was set reads back as set (cut at a line break) while every
// other entry keeps its value.

#include "common/ini.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tessera::IniFile ini = tessera::IniFile::parse(bytes);
    if (ini.bytes() != bytes)
        std::abort();

    const auto otherBefore = ini.entries("ports");
    const std::string value(bytes.substr(0, std::min<size_t>(bytes.size(), 40)));
    ini.setValue("Vantorel", "Company", value);
    std::string expected = value.substr(0, value.find_first_of("\r\n"));
    // Values are read back trimmed of blanks around them.
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!expected.empty() && blank(expected.front()))
        expected.erase(expected.begin());
    while (!expected.empty() && blank(expected.back()))
        expected.pop_back();
    const auto read = ini.value("vantorel", "COMPANY");
    if (!read || *read != expected)
        std::abort();
    if (ini.entries("ports") != otherBefore)
        std::abort();
    // Reparsing what was produced gives the same entries.
    const tessera::IniFile again = tessera::IniFile::parse(ini.bytes());
    if (again.entries("Vantorel") != ini.entries("Vantorel"))
        std::abort();
    return 0;
}
