#include "common/page.h"

#include <climits>
#include <cstdlib>

namespace tessera {

PageOp fillOp(const PageRect& rect, uint32_t color) {
    PageOp op;
    op.kind = PageOpKind::Fill;
    op.rect = rect;
    op.color = color;
    return op;
}

PageOp textOp(const PageRect& rect, const PageFont& font, std::string text, TextAlign align,
              uint32_t color) {
    PageOp op;
    op.kind = PageOpKind::Text;
    op.rect = rect;
    op.color = color;
    op.font = font;
    op.text = std::move(text);
    op.align = align;
    return op;
}

PageOp lineOp(int x1, int y1, int x2, int y2, int penWidth, uint32_t color) {
    PageOp op;
    op.kind = PageOpKind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.penWidth = penWidth;
    op.color = color;
    return op;
}

PageOp imageOp(const PageRect& rect, std::string imagePath) {
    PageOp op;
    op.kind = PageOpKind::Image;
    op.rect = rect;
    op.imagePath = std::move(imagePath);
    return op;
}

double mmToPixels(double mm, int dpi) {
    return mm * dpi * 0.03937007874015748;
}

int fontPixelHeight(int points, int dpi) {
    // MulDiv(points, dpi, 72): the exact quotient rounded half away from zero.
    long long num = static_cast<long long>(points) * dpi;
    long long q = (std::llabs(num) * 2 + 72) / 144;
    return static_cast<int>(num < 0 ? -q : q);
}

int truncPixels(double v) {
    if (!(v == v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

} // namespace tessera
