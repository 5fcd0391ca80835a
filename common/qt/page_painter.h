#pragma once
// The painter adapter of printed pages: draws a list of PageOps (common/page.h) on any QPainter,
// in device pixels, and matches the requested font faces to the fonts installed here. QtGui
// only, so that command-line tools can draw pages without widgets.

#include "common/page.h"

#include <QFont>
#include <QImage>
#include <QStringList>

#include <string>
#include <vector>

class QPainter;
class QPaintDevice;

namespace tessera {

// The device facts a layout needs, read from the device itself: its logical resolution (for
// QPrinter and QPdfWriter the printer's or writer's resolution) and its paintable size in
// device pixels.
PageDevice pageDeviceOf(const QPaintDevice& device);

// The font families that stand in for a requested face, best first. A face that is installed
// comes first as it is. Otherwise the closest installed font of the same kind:
//  - "宋体"/SimSun (a CJK serif): SimSun, NSimSun, Noto Serif CJK SC, Source Han Serif SC,
//    AR PL UMing, ..., else any installed serif/Song/Ming font that covers Simplified Chinese;
//  - "Arial" (a Latin sans): Liberation Sans or Arimo (metric-compatible), Nimbus Sans,
//    Helvetica, FreeSans, DejaVu Sans, Noto Sans, ...
// Every list ends with installed CJK fonts as per-character fallbacks, so that Chinese text
// (for example a remark in the Arial body font) never shows as empty boxes. The result is
// computed once per face and cached (thread-safe).
QStringList fontFamiliesFor(const QString& face);

// The QFont for a request: fontFamiliesFor(face), the pixel size set with QFont::setPixelSize
// (the character height in device pixels) and the weight unchanged (400 normal, 700 bold).
QFont qFontFor(const PageFont& font);

// The picture of an Image op decoded for its rectangle (at the rectangle's size in device
// pixels, never larger than the picture itself: common/qt/picture_file.h), or the reason it
// cannot be decoded. Safe to call from any thread.
struct DecodedPicture {
    QImage image;
    QString reason; // Chinese; set when `image` is null
};
DecodedPicture decodePictureFor(const PageOp& op);
// The pictures of the Image ops of `ops`, in order (for decoding a page ahead on another
// thread).
std::vector<DecodedPicture> decodePagePictures(const std::vector<PageOp>& ops);

// A picture that a page could not show: its file (path bytes), the page it belongs on (from
// 1; 0 when the caller draws no numbered pages) and the reason (Chinese).
struct UndrawnPicture {
    std::string path;
    int page = 0;
    QString reason;
};

// Draws the operations in order with `painter` in device pixels (no scaling of its own):
//  - Fill: the rectangle in the colour;
//  - Line: a solid pen of the op's width (square caps, so the corners of a table close);
//  - Text: one line, centred vertically, centred horizontally or starting at the rectangle's
//    left edge (TextAlign), cut off at the rectangle's edges, on a transparent background;
//  - Image: the picture file decoded for its rectangle (any format Qt reads: JPEG, BMP, PNG,
//    ...) and stretched into it; a file that is missing or cannot be decoded leaves the
//    rectangle empty and is added to `undrawn` (when given).
// `pictures`, when given, holds the Image ops' pictures decoded beforehand
// (decodePagePictures); otherwise they are decoded here. The painter's state is restored
// afterwards.
void paintPageOps(QPainter& painter, const std::vector<PageOp>& ops,
                  std::vector<UndrawnPicture>* undrawn = nullptr,
                  const std::vector<DecodedPicture>* pictures = nullptr);

} // namespace tessera
