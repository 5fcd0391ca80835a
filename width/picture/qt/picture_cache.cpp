#include "width/picture/qt/picture_cache.h"

#include "common/qt/picture_file.h"

#include <cmath>

#include <sys/stat.h>

namespace fallowmere {
namespace {

// Entries without an image are small, but their number is bounded too.
constexpr size_t kMaxEntries = 256;

// The picture's pixels (of a picture of `own` pixels) under `part` of a target of `target`
// pixels, rounded outwards.
QRect sourceOf(QRect part, QSize target, QSize own) {
    const double sx = double(own.width()) / target.width();
    const double sy = double(own.height()) / target.height();
    const int x0 = int(std::floor(part.left() * sx));
    const int y0 = int(std::floor(part.top() * sy));
    const int x1 = int(std::ceil((part.right() + 1) * sx));
    const int y1 = int(std::ceil((part.bottom() + 1) * sy));
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)).intersected(QRect(QPoint(0, 0), own));
}

} // namespace

PictureCache::Entry* PictureCache::entry(const std::string& path) {
    struct stat st {};
    auto it = entries_.begin();
    while (it != entries_.end() && it->path != path)
        ++it;
    const bool present = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const Stamp stamp{static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                      static_cast<int64_t>(st.st_mtim.tv_nsec), static_cast<uint64_t>(st.st_ino)};
    if (it != entries_.end() && (!present || !(it->stamp == stamp))) {
        held_ -= it->image.sizeInBytes();
        entries_.erase(it);
        it = entries_.end();
    }
    if (!present)
        return nullptr;
    if (it == entries_.end()) {
        entries_.push_front(Entry{path, stamp, false, {}, {}, {}, {}, {}});
        trim();
    } else if (it != entries_.begin()) {
        entries_.splice(entries_.begin(), entries_, it);
    }
    return &entries_.front();
}

void PictureCache::setImage(Entry& e, QImage image) {
    held_ -= e.image.sizeInBytes();
    e.image = std::move(image);
    held_ += e.image.sizeInBytes();
}

void PictureCache::trim() {
    // The front entry (the one in use) stays, even alone over the budget.
    while (entries_.size() > 1 && (held_ > budget_ || entries_.size() > kMaxEntries)) {
        held_ -= entries_.back().image.sizeInBytes();
        entries_.pop_back();
    }
}

void PictureCache::clear() {
    entries_.clear();
    held_ = 0;
}

PictureSize PictureCache::pictureSize(const std::string& path) {
    Entry* e = entry(path);
    if (!e)
        return {};
    if (!e->sizeRead) {
        e->sizeRead = true;
        ++headerReads_;
        const QSize size = tessera::pictureFileSize(path, &e->reason);
        if (size.isValid())
            e->size = {size.width(), size.height()};
    }
    return e->size;
}

PicturePiece PictureCache::piece(const std::string& path, QSize target, QRect visible) {
    const PictureSize own = pictureSize(path);
    Entry* e = entry(path);
    if (!e)
        return {{}, {}, QStringLiteral("文件不存在")};
    if (!own.valid())
        return {{}, {}, e->reason};
    const QRect part = visible.intersected(QRect(QPoint(0, 0), target));
    if (part.isEmpty())
        return {};
    const QSize ownSize(own.width, own.height);
    const QRect source = sourceOf(part, target, ownSize);
    if (e->target == target && e->source.contains(source)) {
        if (!e->image.isNull())
            return {e->image, e->source, {}};
        if (!e->reason.isEmpty())
            return {{}, {}, e->reason}; // failed before: not tried again on every paint
    }
    ++decodes_;
    QString reason;
    QImage image = tessera::decodePicture(
        path, part.size(), source == QRect(QPoint(0, 0), ownSize) ? QRect() : source, &reason);
    e->target = target;
    e->source = source;
    e->reason = image.isNull() ? reason : QString();
    setImage(*e, image);
    trim();
    return {image, source, e->reason};
}

} // namespace fallowmere
