#pragma once
// The DM crack depth file: the byte image of one depth window's rows and its three header
// fields. All integers are little-endian; strings use the length-prefixed archive form.

#include "depth/document/depth_record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marrowby {

struct DmHeader {
    std::string tag = "QTRV_MNZ"; // GBK bytes
    std::string text;             // GBK bytes
    int32_t number = 1;

    bool operator==(const DmHeader&) const = default;
};

// The message shown when a file ends before its layout is complete (UTF-8).
inline constexpr std::string_view kEndOfFileMessage = "试图越过其尾端对 一未命名文件 进行读写。";

// Appends `text` as an archive string: a length prefix (1, 3 or 7 bytes) and the bytes.
void appendArchiveString(std::string& out, std::string_view text);

// The whole DM file for these header fields and rows. The first four cells of each row are
// stored as integers by the atoi rule.
std::string encodeDm(const DmHeader& header, const std::vector<DepthRow>& rows);

enum class DmReadStatus { Complete, EndOfFile };

// Reads a DM file image into `header` and `rows`. `rows` is emptied first; header fields are
// replaced one by one as they are read, so a file that ends early keeps the fields and rows
// read before that point and reports EndOfFile. A length or row count larger than the rest of
// the file ends reading the same way; memory stays bounded by the size of `bytes`. Bytes after
// the last row are ignored.
DmReadStatus decodeDm(std::string_view bytes, DmHeader& header, std::vector<DepthRow>& rows);

} // namespace marrowby
