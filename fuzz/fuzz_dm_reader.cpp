// Feeds arbitrary bytes to the DM reader; whatever it reads must write back and read again to
// the same rows and header.

#include "depth/document/dm_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace marrowby;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DmHeader header;
    std::vector<DepthRow> rows;
    decodeDm(bytes, header, rows);
    if (rows.size() > size / 17 + 1)
        std::abort(); // memory must stay bounded by the input
    std::string again = encodeDm(header, rows);
    DmHeader header2;
    std::vector<DepthRow> rows2;
    if (decodeDm(again, header2, rows2) != DmReadStatus::Complete || !(header2 == header) ||
        rows2 != rows)
        std::abort();
    return 0;
}
