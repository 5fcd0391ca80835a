#pragma once
// The painter adapter of the printed reports: draws a list of ReportOps (model code,
// depth/report/report_page.h) on any QPainter, in device pixels, and matches the requested
// font faces to the fonts installed here.

#include "depth/report/report_page.h"

#include <QFont>
#include <QStringList>

#include <vector>

class QPainter;
class QPaintDevice;

namespace marrowby {

// The device facts the layout needs, read from the device itself: its logical resolution
// (for QPrinter and QPdfWriter the printer's or writer's resolution) and its paintable size
// in device pixels.
ReportDevice reportDeviceOf(const QPaintDevice& device);

// The font families that stand in for a requested face, best first. A face that is installed
// comes first as it is. Otherwise the closest installed font of the same kind:
//  - "宋体"/SimSun (a CJK serif): SimSun, NSimSun, Noto Serif CJK SC, Source Han Serif SC,
//    AR PL UMing, ..., else any installed serif/Song/Ming font that covers Simplified Chinese;
//  - "Arial" (a Latin sans): Liberation Sans or Arimo (metric-compatible), Nimbus Sans,
//    Helvetica, FreeSans, DejaVu Sans, Noto Sans, ...
// Every list ends with installed CJK fonts as per-character fallbacks, so that Chinese text
// (for example a remark in the Arial body font) never shows as empty boxes. The result is
// computed once per face and cached.
QStringList reportFontFamilies(const QString& face);

// The QFont for a request: reportFontFamilies(face), the pixel size set with
// QFont::setPixelSize (the character height in device pixels) and the weight unchanged
// (400 normal, 700 bold).
QFont reportQFont(const ReportFont& font);

// Draws the operations in order with `painter` in device pixels (no scaling of its own):
// fills, lines with a solid pen of the op's width (square caps, so the corners of the table
// close), and texts on one line centred both ways in their rectangles, cut off at the
// rectangle's edges, on a transparent background. The painter's state is restored afterwards.
void paintReportOps(QPainter& painter, const std::vector<ReportOp>& ops);

} // namespace marrowby
