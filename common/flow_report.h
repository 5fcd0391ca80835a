#pragma once
// A report whose content flows over as many A4 pages as it needs: headings, lines of text, ruled
// tables that continue on the next page with their header repeated, fixed-height blocks (charts)
// and grids of equal cells (small charts). Model code; a PageSource for the print driver and the
// PDF writer.
//
// Every page carries the report's title at the top and "第 k 页，共 n 页" at the bottom. The
// layout is in millimetres from the printable area's top-left corner (content from 15 to 195 mm
// across and from 28 to 274 mm down), so the page breaks do not depend on the device and the
// page count is the same on every device. It is meant for A4 portrait: on a smaller or a
// landscape page the bottom of the content is cut off.
//
// A heading stays on the page of what follows it; a block or a grid row that does not fit on
// the rest of a page starts the next one; a table fills the rest of a page and goes on on the
// next.

#include "common/page.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessera {

struct FlowColumn {
    std::string title; // UTF-8
    double widthMm = 20;
    TextAlign align = TextAlign::Center;
};

class FlowReport : public PageSource {
public:
    // The texts of row `row` of a table (UTF-8), one per column; asked for while a page is laid
    // out, so large tables need not be held as texts.
    using RowTexts = std::function<std::vector<std::string>(size_t row)>;
    // Draws a block into `area` (device pixels).
    using Drawer = std::function<void(std::vector<PageOp>& ops, const PageDevice& device,
                                      const PageRect& area)>;
    // Draws cell `index` of a grid into `area`.
    using CellDrawer = std::function<void(std::vector<PageOp>& ops, const PageDevice& device,
                                          const PageRect& area, size_t index)>;

    static constexpr double kLeftMm = 15;
    static constexpr double kRightMm = 195;
    static constexpr double kTitleTopMm = 14;
    static constexpr double kContentTopMm = 28;
    static constexpr double kContentBottomMm = 274;
    static constexpr double kHeadingMm = 9;
    static constexpr double kTextLineMm = 6;
    static constexpr double kTableHeaderMm = 7;
    static constexpr double kTableRowMm = 6;
    static constexpr double kGapMm = 4; // after every table, block and grid

    explicit FlowReport(std::string title);

    const std::string& title() const { return title_; }

    void addHeading(std::string text);
    void addText(std::string text);
    // A ruled table; columns wider together than the content are narrowed in proportion.
    void addTable(std::vector<FlowColumn> columns, size_t rowCount, RowTexts rows);
    void addBlock(double heightMm, Drawer draw);
    // `count` cells, `columns` to a row, each `cellHeightMm` high and as wide as the content
    // divided by `columns`.
    void addGrid(size_t count, int columns, double cellHeightMm, CellDrawer draw);

    // The pages do not depend on the device (the layout is in millimetres on A4 portrait).
    int pageCount() const { return static_cast<int>(pages_.size()); }
    int pageCount(const PageDevice&) const override { return pageCount(); }
    std::vector<PageOp> layoutPage(const PageDevice& device, int page) const override;

    // Where the pieces went, for tests: on page `page` (from 1), each placed piece's item (in
    // the order added), its first row or cell, its count, and its top in millimetres.
    struct Placement {
        size_t item = 0;
        size_t first = 0;
        size_t count = 0;
        double topMm = 0;
    };
    const std::vector<Placement>& placements(int page) const;

private:
    enum class Kind { Heading, Text, Table, Block, Grid };
    struct Item {
        Kind kind = Kind::Text;
        std::string text;
        std::vector<FlowColumn> columns;
        size_t count = 0;
        RowTexts rows;
        double heightMm = 0;
        Drawer draw;
        int gridColumns = 1;
        CellDrawer drawCell;
    };

    // Starts a new page unless the current one is still empty.
    void breakPage();
    double room() const { return kContentBottomMm - y_; }
    // Places a waiting heading at the cursor.
    void placeHeading();
    // Makes room for `neededMm` (plus a waiting heading) on this page, or breaks the page.
    void reserve(double neededMm);
    void place(size_t item, size_t first, size_t count, double heightMm);

    std::string title_;
    std::vector<Item> items_;
    std::vector<std::vector<Placement>> pages_;
    double y_ = kContentTopMm;
    std::optional<size_t> pendingHeading_; // a heading waiting for what follows it
};

// One report after another, as one job (a statistics report before the record pages).
class PageSequence : public PageSource {
public:
    explicit PageSequence(std::vector<const PageSource*> parts) : parts_(std::move(parts)) {}
    int pageCount(const PageDevice& device) const override;
    std::vector<PageOp> layoutPage(const PageDevice& device, int page) const override;

private:
    std::vector<const PageSource*> parts_;
};

} // namespace tessera
