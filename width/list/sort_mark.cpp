#include "width/list/sort_mark.h"

namespace fallowmere {

SortHeaderDrawing layoutSortHeaderItem(const HeaderBox& item, bool pressed, bool sortColumn,
                                       bool ascending) {
    SortHeaderDrawing d;
    const int q = (item.bottom - item.top) / 4;
    d.text = item;
    if (pressed) {
        d.text.left += 1;
        d.text.right += 1;
        d.text.top += 2;
    }
    if (sortColumn)
        d.text.right -= 3 * q;
    d.text.left += q;
    d.text.right -= q;
    d.drawText = d.text.left < d.text.right;
    if (!sortColumn)
        return d;

    const int r = item.right;
    const int b = item.bottom;
    if (ascending) {
        d.triangle = {
            {r - 2 * q, q, r - q, b - q - 1, true},
            {r - q, b - q - 1, r - 3 * q - 2, b - q - 1, true},
            {r - 3 * q - 1, b - q - 1, r - 2 * q, q - 1, false},
        };
    } else {
        d.triangle = {
            {r - q - 1, q, r - 2 * q - 1, b - q, true},
            {r - 2 * q - 2, b - q, r - 3 * q - 1, q, false},
            {r - 3 * q - 1, q, r - q - 1, q, false},
        };
    }
    return d;
}

} // namespace fallowmere
