// Feeds arbitrary bytes to the .cm reader; whatever it reads must write back and read again to
// the same records, and a second write must give the same bytes.

#include "width/project/cm_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace fallowmere;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<CRecordStru> records;
    parseProjectText(bytes, records);
    size_t lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    if (records.size() > lines)
        std::abort(); // one record per line after the header, at most
    const std::string written = encodeProjectText(records);
    std::vector<CRecordStru> again;
    parseProjectText(written, again);
    if (again != records || encodeProjectText(again) != written)
        std::abort();
    return 0;
}
