#pragma once
// How a header item of the record list is drawn once its column has been sorted: the text
// rectangle and, for the sort column, a small bevelled triangle of four one-pixel lines, light
// on the lit side and dark on the shadowed side (up for ascending, down for descending).
// Coordinates are the header's pixels; right and bottom are exclusive.

#include <vector>

namespace fallowmere {

struct HeaderBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const HeaderBox&) const = default;
};

struct HeaderLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool light = false; // the button-highlight pen; otherwise the button-shadow pen
    bool operator==(const HeaderLine&) const = default;
};

struct SortHeaderDrawing {
    HeaderBox text;       // where the text goes (one line, centred vertically, ellipsis)
    bool drawText = true; // false when the text rectangle has no width left
    std::vector<HeaderLine> triangle; // empty unless the item is the sort column
};

// `item` is the header item's rectangle; `pressed` when it is drawn pushed in.
SortHeaderDrawing layoutSortHeaderItem(const HeaderBox& item, bool pressed, bool sortColumn,
                                       bool ascending);

} // namespace fallowmere
