#pragma once
// Decoded photographs for the picture pane, kept between paints. An entry belongs to a path and
// is valid while the file keeps its size and modification time, so a photograph that changes
// on disk shows anew. A picture is decoded at the size it is drawn when that is smaller than
// the picture itself (a JPEG decodes much faster scaled down), otherwise at its own size. The
// least recently used entries are dropped beyond the capacity.

#include "width/picture/picture_layout.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <list>
#include <string>

namespace fallowmere {

class PictureCache {
public:
    explicit PictureCache(size_t capacity = 16) : capacity_(capacity) {}

    // The picture's pixel size from its header; 0 × 0 when the file is missing or cannot be
    // decoded.
    PictureSize pictureSize(const std::string& path);
    // The picture decoded for a target of `target` pixels; a null image when it cannot be
    // decoded.
    QImage image(const std::string& path, QSize target);

    void clear() { entries_.clear(); }
    // Number of decodes and header reads done so far (for tests and benchmarks).
    uint64_t decodeCount() const { return decodes_; }
    uint64_t headerReadCount() const { return headerReads_; }

private:
    struct Stamp {
        int64_t size = -1;
        int64_t mtimeSec = 0;
        int64_t mtimeNsec = 0;
        uint64_t inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        std::string path;
        Stamp stamp;
        bool sizeRead = false;
        PictureSize size;
        QImage image;
        QSize decodedAt; // the size asked of the decoder
        bool decodeFailed = false;
    };
    // The valid entry of `path` (moved to the front), or null when the file is missing.
    Entry* entry(const std::string& path);

    size_t capacity_;
    std::list<Entry> entries_;
    uint64_t decodes_ = 0;
    uint64_t headerReads_ = 0;
};

} // namespace fallowmere
