#pragma once
// Decoded photographs for the picture pane, kept between paints. An entry belongs to a path and
// is valid while the file keeps its size, modification time and inode, so a photograph that
// changes on disk shows anew.
//
// A picture is decoded only as far as it is seen: the part of it that lands in the visible
// area, at the size it is drawn there (never larger than the picture's own pixels), so a
// camera's 8000 × 6000 photograph costs no more than the pane's size. The decoded images are
// held within a byte budget; the least recently used ones are dropped beyond it.

#include "width/picture/picture_layout.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <list>
#include <string>

namespace fallowmere {

// A decoded part of a picture: `image` shows the rectangle `source` of the picture's own
// pixels (scaled to the image's size). A null image when the picture cannot be decoded, with
// the reason.
struct PicturePiece {
    QImage image;
    QRect source;
    QString reason;
};

class PictureCache {
public:
    // 128 MB: a few screens' worth of decoded pictures.
    static constexpr qint64 kDefaultBudget = qint64(128) << 20;

    explicit PictureCache(qint64 byteBudget = kDefaultBudget) : budget_(byteBudget) {}

    // The picture's pixel size from its header; 0 × 0 when the file is missing or cannot be
    // decoded.
    PictureSize pictureSize(const std::string& path);
    // The part `visible` (in the target's own coordinates, within 0,0 .. target) of the picture
    // drawn stretched to `target` pixels. A cached piece is reused when it was decoded for the
    // same target and covers that part.
    PicturePiece piece(const std::string& path, QSize target, QRect visible);

    void clear();
    // Bytes of the decoded images held now; never more than the budget, unless a single image
    // is larger than it.
    qint64 heldBytes() const { return held_; }
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
        QSize target;   // what the piece was decoded for
        QRect source;   // the picture's pixels it shows
        QImage image;   // null when not decoded (or it failed)
        QString reason; // why the last decode for `target` failed
    };
    // The valid entry of `path` (moved to the front), or null when the file is missing.
    Entry* entry(const std::string& path);
    void setImage(Entry& e, QImage image);
    void trim();

    qint64 budget_;
    qint64 held_ = 0;
    std::list<Entry> entries_;
    uint64_t decodes_ = 0;
    uint64_t headerReads_ = 0;
};

} // namespace fallowmere
