#include "depth/report/report_page.h"

#include "common/gbk.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace marrowby {
namespace {

using tessera::fontPixelHeight;
using tessera::mmToPixels;
using tessera::PageDevice;
using tessera::PageFont;
using tessera::PageOp;
using tessera::PageRect;

int trunc(double v) {
    return tessera::truncPixels(v);
}

// Millimetre constants of the page.
constexpr double kLeft = 15;   // L
constexpr double kRight = 190; // R
constexpr double kTop = 14;    // T
constexpr double kRowH = 5;    // H
constexpr double kLineE = 0.5; // E
constexpr double kTitleWidth = 170;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kPenWidth = 2;

// Title and requested font faces (UTF-8); the column titles come from kColumnTitles.
constexpr const char* kTitle = kDepthReportTitle;
constexpr const char* kSongTi = "宋体";
constexpr const char* kArial = "Arial";

std::string toUtf8(std::string_view gbk) {
    for (unsigned char c : gbk)
        if (c >= 0x80)
            return tessera::gbkToUtf8(gbk);
    return std::string(gbk); // digits and ASCII: nothing to convert
}

PageOp text(PageRect rect, const PageFont& font, std::string s) {
    return tessera::textOp(rect, font, std::move(s));
}

PageOp line(int x1, int y1, int x2, int y2) {
    return tessera::lineOp(x1, y1, x2, y2, kPenWidth);
}

} // namespace

int depthRowsPerPage(const PageDevice& device) {
    // Row k's text cell ends at T + (5 + k) × H; the rows whose cells end inside the printable
    // area fit.
    int rows = 1;
    while (rows < kDepthRowsPerPage &&
           trunc(mmToPixels(kTop + (5 + rows) * kRowH, device.dpiY)) <= device.height)
        ++rows;
    return rows;
}

int depthReportPageCount(size_t rowCount, int rowsPerPage) {
    size_t pages = rowCount / static_cast<size_t>(std::max(1, rowsPerPage)) + 1;
    return pages > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(pages);
}

DepthReportGeometry depthReportGeometry(const PageDevice& device) {
    DepthReportGeometry g;
    const double left = mmToPixels(kLeft, device.dpiX);
    g.left = trunc(left);
    g.right = trunc(mmToPixels(kRight, device.dpiX));
    // W = R − L (175 mm) in pixels; the factors exactly as the original wrote them.
    const double w = mmToPixels(kRight - kLeft, device.dpiX);
    const double factors[5] = {0.1, 0.1, 0.1, 0.30000000000000004, 0.4};
    for (int i = 0; i < 5; ++i)
        g.widths[i] = trunc(w * factors[i]);

    // Cells: the first from trunc(L) to trunc(L + w1), each further one as wide as its width.
    g.cellLeft[0] = g.left;
    g.cellRight[0] = trunc(left + g.widths[0]);
    for (int i = 1; i < 5; ++i) {
        g.cellLeft[i] = g.cellRight[i - 1];
        g.cellRight[i] = g.cellLeft[i] + g.widths[i];
    }
    // Vertical lines: L, then the exact L plus the sums of the truncated widths, truncated once
    // more, then R.
    g.columnX[0] = g.left;
    long long sum = 0;
    for (int i = 1; i <= 4; ++i) {
        sum += g.widths[i - 1];
        g.columnX[i] = trunc(left + static_cast<double>(sum));
    }
    g.columnX[5] = g.right;

    g.titleFont = {kSongTi, fontPixelHeight(15, device.dpiY), 700};
    g.headerFont = {kSongTi, fontPixelHeight(10, device.dpiY), 700};
    g.bodyFont = {kArial, fontPixelHeight(10, device.dpiY), 400};
    return g;
}

std::vector<PageOp> layoutDepthReportPage(const PageDevice& device, int page,
                                          const std::vector<DepthRow>& rows) {
    const DepthReportGeometry g = depthReportGeometry(device);
    auto y = [&](double mm) { return trunc(mmToPixels(mm, device.dpiY)); };
    auto x = [&](double mm) { return trunc(mmToPixels(mm, device.dpiX)); };

    std::vector<PageOp> ops;
    ops.reserve(2 + 1 + 5 + kDepthRowsPerPage * 6 + 1 + 6);

    // 1. White printable area.
    ops.push_back(tessera::fillOp({0, 0, device.width, device.height}, kWhite));

    // 3. Title over L .. L + 170 and T .. T + 2H.
    ops.push_back(
        text({g.left, y(kTop), x(kLeft + kTitleWidth), y(kTop + 2 * kRowH)}, g.titleFont, kTitle));

    // 4. Line above the header row.
    ops.push_back(
        line(g.left, y(kTop + 3 * kRowH - kLineE), g.right, y(kTop + 3 * kRowH - kLineE)));

    // 6. Header row.
    const int headerTop = y(kTop + 3 * kRowH);
    const int headerBottom = y(kTop + 4 * kRowH);
    for (int c = 0; c < DepthRow::kCells; ++c)
        ops.push_back(text({g.cellLeft[c], headerTop, g.cellRight[c], headerBottom}, g.headerFont,
                           std::string(kColumnTitles[static_cast<size_t>(c)])));

    // 7. Data rows.
    const int perPage = depthRowsPerPage(device);
    int n = 0;
    if (page >= 1) {
        const size_t first = static_cast<size_t>(page - 1) * static_cast<size_t>(perPage);
        for (int k = 0; k < perPage; ++k) {
            const size_t r = first + static_cast<size_t>(k);
            if (r >= rows.size())
                break;
            const int ly = y(kTop + (4 + k) * kRowH - kLineE);
            ops.push_back(line(g.left, ly, g.right, ly));
            const int top = y(kTop + (4 + k) * kRowH);
            const int bottom = y(kTop + (5 + k) * kRowH);
            for (int c = 0; c < DepthRow::kCells; ++c)
                ops.push_back(text({g.cellLeft[c], top, g.cellRight[c], bottom}, g.bodyFont,
                                   toUtf8(rows[r].cell(c))));
            ++n;
        }
    }

    // 8. Bottom line and the six verticals from the line above the header down to it.
    const int bottomY = y(kTop + (4 + n) * kRowH - kLineE);
    ops.push_back(line(g.left, bottomY, g.right, bottomY));
    const int topY = y(kTop + 3 * kRowH - kLineE);
    for (int i = 0; i < 6; ++i)
        ops.push_back(line(g.columnX[i], topY, g.columnX[i], bottomY));
    return ops;
}

} // namespace marrowby
