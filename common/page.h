#pragma once
// Printed pages as model code: a page is a list of drawing operations in device pixels,
// computed from the device's resolution and printable size. No Qt here; the painter adapter
// (common/qt/page_painter.h) draws the operations on a printer, a preview, a PDF or an image,
// and the print job driver (common/ui/print_job.h) runs the dialogs around it.
//
// Coordinates: origin at the top-left corner of the printable area, x to the right, y down,
// one unit = one device pixel. Rectangles are right- and bottom-exclusive.
//
// A report is a PageSource: it knows its page count and lays out any page for a device.

#include <cstdint>
#include <string>
#include <vector>

namespace tessera {

// What a layout needs to know about the drawing surface.
struct PageDevice {
    int dpiX = 600; // horizontal pixels per inch (LOGPIXELSX)
    int dpiY = 600; // vertical pixels per inch (LOGPIXELSY)
    int width = 0;  // printable width in device pixels (HORZRES)
    int height = 0; // printable height in device pixels (VERTRES)
};

// A font request. The face is the name the report asks for ("宋体", "Arial", UTF-8); the painter
// adapter decides which installed font stands in for it. Sizes and weights are kept.
struct PageFont {
    std::string face;
    int pixelHeight = 0; // character height in device pixels
    int weight = 400;    // 400 normal, 700 bold (the scale of QFont::Weight)

    bool operator==(const PageFont&) const = default;
};

struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive

    bool operator==(const PageRect&) const = default;
};

enum class PageOpKind {
    Fill,  // fill `rect` with `color`
    Text,  // `text` in `font` and `color` on one line in `rect` (see TextAlign)
    Line,  // solid line from (x1, y1) to (x2, y2), `penWidth` pixels wide, in `color`
    Image, // the picture file `imagePath`, stretched to fill `rect`
};

// Horizontal placement of a text in its rectangle. Either way the text is one line, centred
// vertically, drawn on a transparent background and cut off at the rectangle's edges.
enum class TextAlign { Center, Left };

struct PageOp {
    PageOpKind kind = PageOpKind::Fill;
    PageRect rect;                       // Fill, Text, Image
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line
    int penWidth = 0;                    // Line
    uint32_t color = 0;                  // 0xRRGGBB: Fill, Text, Line
    PageFont font;                       // Text
    std::string text;                    // Text, UTF-8
    TextAlign align = TextAlign::Center; // Text
    std::string imagePath;               // Image: the file's path bytes as on disk; a file
                                         // that cannot be decoded draws nothing
};

inline constexpr uint32_t kPageBlack = 0x000000;
inline constexpr uint32_t kPageWhite = 0xFFFFFF;

PageOp fillOp(const PageRect& rect, uint32_t color);
PageOp textOp(const PageRect& rect, const PageFont& font, std::string text,
              TextAlign align = TextAlign::Center, uint32_t color = kPageBlack);
PageOp lineOp(int x1, int y1, int x2, int y2, int penWidth, uint32_t color = kPageBlack);
PageOp imageOp(const PageRect& rect, std::string imagePath);

// Millimetres to pixels: mm × dpi × 0.03937007874015748, in double precision (not truncated).
double mmToPixels(double mm, int dpi);

// Character height of a font of `points` at `dpi`: points × dpi ÷ 72 rounded to the nearest
// pixel, halves away from zero (as MulDiv rounds).
int fontPixelHeight(int points, int dpi);

// A pixel position toward zero, as an (int) cast does; NaN gives 0 and values beyond the int
// range are clamped instead of being undefined (absurd resolutions).
int truncPixels(double value);

// A report to print: its pages on a device are numbered from 1 to pageCount(device).
class PageSource {
public:
    virtual ~PageSource() = default;
    // The number of pages on `device` (a report that puts as many rows on a page as fit there
    // has more pages on a smaller one); a source with no pages prints nothing (the print driver
    // reports that instead of opening a dialog).
    virtual int pageCount(const PageDevice& device) const = 0;
    // The operations of page `page` (1..pageCount(device)) on `device`, in drawing order.
    virtual std::vector<PageOp> layoutPage(const PageDevice& device, int page) const = 0;
};

} // namespace tessera
