#pragma once
// The crack depth data report "裂缝测深仪数据报告" as model code: the page count
// and the drawing operations of one page (common/page.h), in device pixels, computed from the
// device's resolution and printable size. The shared painter adapter and print driver draw and
// print it.
//
// Text encoding: the operations carry UTF-8. The rows' cells are GBK bytes of the depth window; the
// layout converts them with tessera::gbkToUtf8, so bytes that are not valid GBK show as U+FFFD
// and everything else prints exactly as the list shows it. The adapter only turns UTF-8 into
// QString.

#include "common/page.h"
#include "depth/document/depth_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace marrowby {

// Rows on a page whose printable area is tall enough for them (A4 portrait).
inline constexpr int kDepthRowsPerPage = 50;

// Rows on one page of `device`: 50 where the printable area holds them, else as many as fit
// above its bottom edge (at least one), so that a landscape page or a small paper never puts a
// row below the page.
int depthRowsPerPage(const tessera::PageDevice& device);

// The job's last page: N ÷ rowsPerPage + 1 (integer division), so 50 rows on pages of 50 give
// two pages.
int depthReportPageCount(size_t rowCount, int rowsPerPage = kDepthRowsPerPage);

// The report's constants and derived sizes for one device; exposed for tests and for anyone
// who wants to place something relative to the table.
struct DepthReportGeometry {
    int left = 0;        // trunc(L)
    int right = 0;       // trunc(R)
    int widths[5] = {};  // trunc(W × 0.1), ..., trunc(W × 0.4)
    int columnX[6] = {}; // the six vertical lines: L, L + w1, ..., L + w1..w4, R
    int cellLeft[5] = {};
    int cellRight[5] = {};
    tessera::PageFont titleFont, headerFont, bodyFont;
};
DepthReportGeometry depthReportGeometry(const tessera::PageDevice& device);

// The operations of page `page` (from 1), in drawing order: white fill of the printable area,
// title, line above the header, the five header texts, for each data row its line and its five
// texts, the bottom line, the six vertical lines. Page p holds the rows from
// (p − 1) × depthRowsPerPage(device) on. A page past the last one (or below 1) has no data rows.
std::vector<tessera::PageOp> layoutDepthReportPage(const tessera::PageDevice& device, int page,
                                                   const std::vector<DepthRow>& rows);

// The report of a window's rows as a page source for the print driver and the PDF writer.
// Holds a reference: `rows` must outlive it and stay unchanged while a job runs.
class DepthReport : public tessera::PageSource {
public:
    explicit DepthReport(const std::vector<DepthRow>& rows) : rows_(rows) {}
    int pageCount(const tessera::PageDevice& device) const override {
        return depthReportPageCount(rows_.size(), depthRowsPerPage(device));
    }
    std::vector<tessera::PageOp> layoutPage(const tessera::PageDevice& device,
                                            int page) const override {
        return layoutDepthReportPage(device, page, rows_);
    }

private:
    const std::vector<DepthRow>& rows_;
};

// Document name and PDF title of the report's print jobs.
inline constexpr const char* kDepthReportTitle = "裂缝测深仪数据报告";

} // namespace marrowby
