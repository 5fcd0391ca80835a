#pragma once
// Picture files decoded for drawing, shared by the printed reports and the picture pane
// (QtGui only).
//
// A file is opened by its path's bytes: a name need not be valid UTF-8 (photographs copied
// from older systems keep GBK names), and it never goes through QString on its way to the
// system. A picture is decoded at the size it is drawn, never larger than its own: a JPEG is
// scaled down by the decoder itself (in steps of 1/8) and then smoothly to the exact size, so a
// camera's 8000 × 6000 photograph drawn into a 120 × 90 mm box at 600 dpi costs a
// 2834 × 2125 image instead of 192 MB. Qt's allocation limit (one value for the process) is
// raised to 1 GiB at the first decode; each picture is checked against that bound from its
// header, by the image its decoder really has to hold, before it is decoded.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <string>

class QFile;

namespace tessera {

// The largest image decodePicture() returns, in pixels (a quarter of a gigabyte as 32-bit
// pixels); a larger request is scaled down to it, keeping its proportions.
inline constexpr qint64 kMaxDecodedPixels = qint64(64) << 20;

// Opens the file at `path` (bytes as on disk) for reading. False with the reason (the
// system's, in Chinese) when it cannot be opened or is not a regular file.
bool openPictureFile(const std::string& path, QFile& file, QString* reason = nullptr);

// The picture's own pixel size, read from its header (formats whose header does not give it
// are decoded once). Invalid, with the reason, when the file cannot be read or decoded.
QSize pictureFileSize(const std::string& path, QString* reason = nullptr);

// The size a part of `part` pixels of a picture is decoded at for drawing it `drawn` pixels
// large: on each axis the smaller of the two, within kMaxDecodedPixels.
QSize decodedSizeFor(QSize part, QSize drawn);

// Decodes the part `clip` of the picture at `path` (in the picture's own pixels; the whole
// picture when `clip` is null) for drawing it `drawn` pixels large, at decodedSizeFor(). The
// result is 32-bit (RGB32, or premultiplied ARGB32 for pictures with transparency). Null, with
// the reason in Chinese, when the file cannot be opened or decoded.
QImage decodePicture(const std::string& path, QSize drawn, QRect clip = QRect(),
                     QString* reason = nullptr);

} // namespace tessera
