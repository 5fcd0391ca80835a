#include "common/qt/picture_file.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "common/qt/text.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessera {
namespace {

// What a decoder may hold for one file at most; a picture that needs more is refused.
constexpr qint64 kMaxDecoderBytes = qint64(1) << 30;
constexpr int kBytesPerPixel = 4;

void setReason(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
}

// Qt's allocation limit is one value for the whole process; it is raised once to what a
// decoder may hold here, and every picture is checked against that from its header first.
void raiseAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        QImageReader::setAllocationLimit(
            std::max(QImageReader::allocationLimit(), int(kMaxDecoderBytes >> 20)));
    });
}

qint64 pixels(QSize size) {
    return qint64(size.width()) * size.height();
}

// The size a JPEG decoder produces by itself at k/8 of `own` that is at least `wanted` on both
// axes, for the smallest such k; invalid when no such size comes out exact (sides that are not
// multiples of 8 round, and Qt would then finish with its own slow scaling).
QSize exactDecoderSize(QSize own, QSize wanted) {
    for (int k = 1; k < 8; ++k) {
        if ((own.width() * k) % 8 != 0 || (own.height() * k) % 8 != 0)
            continue;
        const QSize s(own.width() * k / 8, own.height() * k / 8);
        if (s.width() >= wanted.width() && s.height() >= wanted.height())
            return s;
    }
    return {};
}

QString decodeFailure(const QImageReader& reader) {
    if (reader.error() == QImageReader::UnsupportedFormatError)
        return QStringLiteral("不是支持的图片格式");
    return QStringLiteral("图片数据已损坏，无法解码");
}

} // namespace

bool openPictureFile(const std::string& path, QFile& file, QString* reason) {
    // Non-blocking, so that a named pipe is refused at once instead of waited on.
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        setReason(reason, fromUtf8(errorText(path.empty() ? ENOENT : errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        setReason(reason, fromUtf8(kNotRegularFileReason));
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setReason(reason, file.errorString());
        return false;
    }
    return true;
}

QSize pictureFileSize(const std::string& path, QString* reason) {
    QFile file;
    if (!openPictureFile(path, file, reason))
        return {};
    raiseAllocationLimit();
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    if (!size.isValid()) {
        // Formats whose header does not give the size: decode it once.
        size = reader.read().size();
        if (!size.isValid())
            setReason(reason, decodeFailure(reader));
    }
    return size;
}

QSize decodedSizeFor(QSize part, QSize drawn) {
    QSize out(std::clamp(drawn.width(), 1, std::max(1, part.width())),
              std::clamp(drawn.height(), 1, std::max(1, part.height())));
    if (pixels(out) > kMaxDecodedPixels) {
        const double scale = std::sqrt(double(kMaxDecodedPixels) / double(pixels(out)));
        out = QSize(std::max(1, int(out.width() * scale)), std::max(1, int(out.height() * scale)));
    }
    return out;
}

QImage decodePicture(const std::string& path, QSize drawn, QRect clip, QString* reason) {
    QFile file;
    if (!openPictureFile(path, file, reason))
        return {};
    raiseAllocationLimit();
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    const QSize own = reader.size();
    QImage image;
    if (!own.isValid()) {
        // No size in the header: the whole picture, cut and scaled afterwards.
        image = reader.read();
        if (!image.isNull() && !clip.isNull())
            image = image.copy(clip.intersected(image.rect()));
    } else {
        const QRect whole(QPoint(0, 0), own);
        const QRect part = clip.isNull() ? whole : clip.intersected(whole);
        if (part.isEmpty()) {
            setReason(reason, QStringLiteral("图片的这一部分不存在"));
            return {};
        }
        const QSize out = decodedSizeFor(part.size(), drawn);
        const bool scales = reader.supportsOption(QImageIOHandler::ScaledSize);
        const bool jpeg = scales && reader.format() == "jpeg";
        // A part shrunk to half or less: the whole picture scaled down by the decoder, then
        // the part cut out of it (a JPEG decoder scales only whole pictures, and a part decoded
        // at full size costs the full size).
        QRect cut;
        QSize ask = out;
        if (part != whole && jpeg && out.width() * 2 <= part.width() &&
            out.height() * 2 <= part.height()) {
            const QSize shrunk(int(std::ceil(double(own.width()) * out.width() / part.width())),
                               int(std::ceil(double(own.height()) * out.height() / part.height())));
            ask = exactDecoderSize(own, shrunk);
            if (!ask.isValid())
                ask = shrunk;
            const double sx = double(ask.width()) / own.width();
            const double sy = double(ask.height()) / own.height();
            cut = QRect(QPoint(int(std::floor(part.left() * sx)), int(std::floor(part.top() * sy))),
                        QPoint(int(std::ceil((part.right() + 1) * sx)) - 1,
                               int(std::ceil((part.bottom() + 1) * sy)) - 1))
                      .intersected(QRect(QPoint(0, 0), ask));
        } else if (part != whole) {
            reader.setClipRect(part);
        } else if (jpeg && out != part.size()) {
            // A size the decoder makes exactly by itself, then a smooth scale to `out`: much
            // faster than the decoder's own scaling to an arbitrary size.
            if (const QSize exact = exactDecoderSize(own, out); exact.isValid())
                ask = exact;
        }
        if (ask != part.size() || !cut.isNull())
            reader.setScaledSize(ask);
        const QSize held = scales ? ask : own; // what the decoder allocates
        const qint64 bytes = pixels(held) * kBytesPerPixel;
        if (bytes > kMaxDecoderBytes) {
            setReason(
                reason,
                QStringLiteral("图片太大（%1 × %2），无法解码").arg(own.width()).arg(own.height()));
            return {};
        }
        image = reader.read();
        if (!image.isNull() && !cut.isNull())
            image = image.copy(cut);
        if (!image.isNull() && image.size() != out)
            image = image.scaled(out, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (image.isNull()) {
        setReason(reason, decodeFailure(reader));
        return {};
    }
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace tessera
