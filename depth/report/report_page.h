#pragma once
// The crack depth data report "裂缝测深仪数据报告" as model code: the page count
// and the drawing operations of one page, in device pixels, computed from the device's
// resolution and printable size. No Qt here; depth/report/ui/ draws the operations.
//
// Text encoding: the operations carry UTF-8. The rows' cells are GBK bytes of the depth window; the
// layout converts them with tessera::gbkToUtf8, so bytes that are not valid GBK show as U+FFFD
// and everything else prints exactly as the list shows it. The adapter only turns UTF-8 into
// QString.
//
// Coordinates: origin at the top-left corner of the printable area, x to the right, y down,
// one unit = one device pixel. Rectangles are GDI-style: right and bottom are exclusive.

#include "depth/document/depth_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace marrowby {

// Rows on one page (the view's `rowsPerPage`, set to 50 for every job).
inline constexpr int kDepthRowsPerPage = 50;

// The job's last page: N ÷ 50 + 1 (integer division), so 50 rows give two pages.
int depthReportPageCount(size_t rowCount);

// What the layout needs to know about the drawing surface (GetDeviceCaps of the original).
struct ReportDevice {
    int dpiX = 600; // horizontal pixels per inch (LOGPIXELSX)
    int dpiY = 600; // vertical pixels per inch (LOGPIXELSY)
    int width = 0;  // printable width in pixels (HORZRES)
    int height = 0; // printable height in pixels (VERTRES)
};

// A font request. The face is the name the report asks for ("宋体", "Arial", UTF-8); the
// adapter decides which installed font stands in for it. Sizes and weights never change.
struct ReportFont {
    std::string face;
    int pixelHeight = 0; // character height in device pixels
    int weight = 400;    // 400 normal, 700 bold (the same scale as QFont::Weight)

    bool operator==(const ReportFont&) const = default;
};

struct ReportRect {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0; // exclusive

    bool operator==(const ReportRect&) const = default;
};

enum class ReportOpKind {
    Fill, // fill `rect` with `color`
    Text, // draw `text` in `font` and `color`: one line, centred horizontally and vertically
          // in `rect`, transparent background, cut off at the rectangle's edges
    Line, // solid line from (x1, y1) to (x2, y2), `penWidth` pixels wide, in `color`
};

struct ReportOp {
    ReportOpKind kind = ReportOpKind::Fill;
    ReportRect rect;    // Fill, Text
    int x1 = 0, y1 = 0; // Line
    int x2 = 0, y2 = 0; // Line
    int penWidth = 0;   // Line
    uint32_t color = 0; // 0xRRGGBB
    ReportFont font;    // Text
    std::string text;   // Text, UTF-8
};

// The report's constants and derived sizes for one device; exposed for tests and for anyone
// who wants to place something relative to the table.
struct DepthReportGeometry {
    int left = 0;        // trunc(L)
    int right = 0;       // trunc(R)
    int widths[5] = {};  // trunc(W × 0.1), ..., trunc(W × 0.4)
    int columnX[6] = {}; // the six vertical lines: L, L + w1, ..., L + w1..w4, R
    int cellLeft[5] = {};
    int cellRight[5] = {};
    ReportFont titleFont, headerFont, bodyFont;
};
DepthReportGeometry depthReportGeometry(const ReportDevice& device);

// Millimetres to pixels: mm × dpi × 0.03937007874015748, in double precision (not truncated).
double reportMmToPixels(double mm, int dpi);
// Character height of a font of `points` at `dpi`: points × dpi ÷ 72, rounded to the nearest
// pixel (halves away from zero, as MulDiv rounds).
int reportFontPixelHeight(int points, int dpi);

// The operations of page `page` (from 1), in drawing order: white fill of the printable area,
// title, line above the header, the five header texts, for each data row its line and its five
// texts, the bottom line, the six vertical lines. A page past the last one (or below 1) has no
// data rows.
std::vector<ReportOp> layoutDepthReportPage(const ReportDevice& device, int page,
                                            const std::vector<DepthRow>& rows);

} // namespace marrowby
