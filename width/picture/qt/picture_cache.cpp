#include "width/picture/qt/picture_cache.h"

#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fallowmere {
namespace {

// Opens a file by its path bytes (names need not be valid UTF-8) for a reader.
bool openFile(const std::string& path, QFile& file) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace

PictureCache::Entry* PictureCache::entry(const std::string& path) {
    struct stat st {};
    auto it = entries_.begin();
    while (it != entries_.end() && it->path != path)
        ++it;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        if (it != entries_.end())
            entries_.erase(it);
        return nullptr;
    }
    const Stamp stamp{static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                      static_cast<int64_t>(st.st_mtim.tv_nsec), static_cast<uint64_t>(st.st_ino)};
    if (it != entries_.end() && !(it->stamp == stamp)) {
        entries_.erase(it);
        it = entries_.end();
    }
    if (it == entries_.end()) {
        entries_.push_front(Entry{path, stamp, false, {}, {}, {}, false});
        while (entries_.size() > capacity_)
            entries_.pop_back();
    } else if (it != entries_.begin()) {
        entries_.splice(entries_.begin(), entries_, it);
    }
    return &entries_.front();
}

PictureSize PictureCache::pictureSize(const std::string& path) {
    Entry* e = entry(path);
    if (!e)
        return {};
    if (!e->sizeRead) {
        e->sizeRead = true;
        ++headerReads_;
        QFile file;
        if (openFile(path, file)) {
            QImageReader reader(&file);
            QSize size = reader.size();
            if (!size.isValid()) {
                // Formats whose header does not give the size: decode it once.
                const QImage full = reader.read();
                size = full.size();
            }
            if (size.isValid())
                e->size = {size.width(), size.height()};
        }
    }
    return e->size;
}

QImage PictureCache::image(const std::string& path, QSize target) {
    const PictureSize own = pictureSize(path);
    if (!own.valid())
        return {};
    Entry* e = entry(path);
    if (!e)
        return {};
    const QSize native(own.width, own.height);
    QSize wanted = native;
    if (target.isValid() && target.width() <= native.width() && target.height() <= native.height())
        wanted = target;
    if (!e->image.isNull() && e->decodedAt == wanted)
        return e->image;
    if (e->decodeFailed && e->decodedAt == wanted)
        return {};
    ++decodes_;
    e->decodedAt = wanted;
    QFile file;
    QImage decoded;
    if (openFile(path, file)) {
        QImageReader reader(&file);
        if (wanted != native)
            reader.setScaledSize(wanted);
        decoded = reader.read();
    }
    if (decoded.isNull()) {
        e->decodeFailed = true;
        e->image = QImage();
        return {};
    }
    e->decodeFailed = false;
    e->image = decoded.convertToFormat(
        decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return e->image;
}

} // namespace fallowmere
