// Feeds arbitrary bytes to the download parser and checks what must hold for any stream.

#include "depth/download/download_parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<marrowby::DepthRecord> records;
    marrowby::DownloadParser parser(records);
    int groups = 0;
    size_t added = 0;
    for (size_t i = 0; i < size; ++i) {
        const size_t before = records.size();
        marrowby::ByteOutcome out = parser.onByte(data[i]);
        if (parser.byteCount() < 0 || parser.byteCount() > marrowby::DownloadParser::kBufferSize)
            std::abort();
        if (out.groupClosed) {
            ++groups;
            if (out.groupsDone != groups || parser.byteCount() != 0)
                std::abort();
            if (records.size() - before != static_cast<size_t>(out.recordsAdded))
                std::abort();
            if (out.recordsAdded > marrowby::DownloadParser::kBufferSize / 9)
                std::abort();
            added += out.recordsAdded;
        } else if (records.size() != before) {
            std::abort(); // records appear only when a group closes
        }
        if (out.endOfTransfer && parser.receiving())
            std::abort();
        // Every record needs nine stored bytes of its own.
        if (records.size() * 9 > i + 1)
            std::abort();
        for (size_t r = before; r < records.size(); ++r) {
            const auto& rec = records[r];
            // Three bytes of 0..255 minus the digit offset bound every field.
            for (int v : {rec.crackNo, rec.pointNo, rec.depthValue})
                if (v < -5328 || v > 22977)
                    std::abort();
            if (!rec.remark.empty())
                std::abort();
        }
    }
    if (added != records.size() || parser.groupsDone() != groups)
        std::abort();
    return 0;
}
