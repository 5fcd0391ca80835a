#pragma once
// Where the picture pane draws the photographs of the picked records, as model code: the
// rectangles the pictures are stretched into and the texts written beside them, in view pixels
// (origin at the top-left corner of the scrolled area, x to the right, y down). The widget
// decodes the pictures, asks for a layout and draws exactly what it gets.
//
// Single-record mode shows picture 0 at twice its pixel size, centred in the visible client
// area (clamped at 0), with its size "(w x h)" written at (10, 5). Multiple-record mode shows
// up to six pictures in a block of two columns and three rows with gaps of 20 pixels, every
// cell the size of the first picture, each picture's file name written under its cell. The
// block is always sized and centred for six cells, so it stays put as pictures come and go.
// A picture that cannot be decoded gets a notice in its cell instead: its file name and
// kPictureNotice.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

// How large the pane draws: as specified (single-record mode at twice the picture's size, the
// grid's cells at the first picture's own size), or fitted to the pane (the picture, or the
// whole grid with its gaps, as large as the client area holds, the aspect ratio kept).
enum class PictureZoom { TwiceSize, FitToPane };

// The cell used by the grid when none of its pictures can be decoded: the file names are still
// laid out where a 320 × 240 picture would put them, so the user sees which files failed.
inline constexpr int kFallbackCellWidth = 320;
inline constexpr int kFallbackCellHeight = 240;

// Written in the cell of a picture that cannot be decoded, under its file name.
inline constexpr std::string_view kPictureNotice = "无法显示图片";

// The pixel size of a decoded picture; 0 × 0 when the file cannot be decoded.
struct PictureSize {
    int width = 0;
    int height = 0;

    bool valid() const { return width > 0 && height > 0; }
    bool operator==(const PictureSize&) const = default;
};

struct ViewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ViewRect&) const = default;
};

// Picture `index` (into the pane's path list) stretched into `rect`, aspect ratio not kept.
struct PicturePlacement {
    size_t index = 0;
    ViewRect rect;

    bool operator==(const PicturePlacement&) const = default;
};

// A text (UTF-8) in black on a transparent background with its top-left corner at (x, y), in
// the pane's own font.
struct ViewText {
    int x = 0;
    int y = 0;
    std::string text;

    bool operator==(const ViewText&) const = default;
};

// The cell `rect` of picture `index`, which cannot be decoded: the pane writes the picture's
// file name (UTF-8) and kPictureNotice in it.
struct PictureNotice {
    size_t index = 0;
    ViewRect rect;
    std::string fileName;

    bool operator==(const PictureNotice&) const = default;
};

struct PictureLayout {
    std::vector<PicturePlacement> pictures;
    std::vector<ViewText> texts;
    std::vector<PictureNotice> notices;
};

// Single-record mode: picture 0 of a list whose first picture has `first` as its size and
// `fileName` as its file name, in a client area of clientWidth × clientHeight pixels.
// `havePicture` false (an empty list) gives an empty layout. A picture that cannot be decoded
// gets no caption but a notice in a cell of twice the fallback cell's size, placed as such a
// picture would be. With FitToPane the picture (or the notice's cell) is scaled to the largest
// size that the client area holds.
PictureLayout layoutSinglePicture(int clientWidth, int clientHeight, bool havePicture,
                                  PictureSize first, const std::string& fileName = {},
                                  PictureZoom zoom = PictureZoom::TwiceSize);

// Multiple-record mode: the pictures whose sizes are `sizes` (in list order, at most six are
// laid out) and whose file names (the part of the path after its last '/', UTF-8) are
// `fileNames`. Every cell takes the size of the first picture. When the first picture cannot
// be decoded, the first picture that can gives the cell size instead, and when none can, the
// fallback cell does; a picture that cannot be decoded gets no placement but a notice in its
// cell, and its name under the cell as every picture.
// With FitToPane the cells keep that size's aspect ratio and are scaled so that the block of
// six cells with its gaps fits the client area.
PictureLayout layoutPictureGrid(int clientWidth, int clientHeight,
                                const std::vector<PictureSize>& sizes,
                                const std::vector<std::string>& fileNames,
                                PictureZoom zoom = PictureZoom::TwiceSize);

// The size of the area a layout covers from the origin: the right and bottom edges of its
// pictures and texts (a text is textWidth(text) wide and textHeight high). The pane scrolls
// when this is larger than its client area.
struct DrawingSize {
    int width = 0;
    int height = 0;
    bool operator==(const DrawingSize&) const = default;
};
template <typename TextWidth>
DrawingSize drawingSize(const PictureLayout& layout, int textHeight, TextWidth textWidth) {
    DrawingSize size;
    auto cover = [&size](int right, int bottom) {
        size.width = right > size.width ? right : size.width;
        size.height = bottom > size.height ? bottom : size.height;
    };
    for (const PicturePlacement& p : layout.pictures)
        cover(p.rect.x + p.rect.width, p.rect.y + p.rect.height);
    for (const PictureNotice& n : layout.notices)
        cover(n.rect.x + n.rect.width, n.rect.y + n.rect.height);
    for (const ViewText& t : layout.texts)
        cover(t.x + textWidth(t.text), t.y + textHeight);
    return size;
}

// The file-name part of a path: the text after its last '/' (the whole path when it has none).
std::string pictureFileName(const std::string& path);

} // namespace fallowmere
