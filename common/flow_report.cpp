#include "common/flow_report.h"

#include "common/translate.h"

#include <algorithm>
#include <cmath>

namespace tessera {
namespace {

constexpr double kCellPadMm = 1.5;
constexpr double kRulePenMm = 0.2;
constexpr double kFooterTopMm = 278;
constexpr double kFooterBottomMm = 284;

struct Scale {
    const PageDevice& device;
    int x(double mm) const { return truncPixels(mmToPixels(mm, device.dpiX)); }
    int y(double mm) const { return truncPixels(mmToPixels(mm, device.dpiY)); }
    PageRect rect(double l, double t, double r, double b) const { return {x(l), y(t), x(r), y(b)}; }
    PageFont font(int points, int weight) const {
        return {"宋体", fontPixelHeight(points, device.dpiY), weight};
    }
    int pen() const {
        return std::max(1, static_cast<int>(std::lround(mmToPixels(kRulePenMm, device.dpiX))));
    }
};

// Column edges in millimetres, the columns narrowed in proportion when they are too wide.
std::vector<double> columnEdges(const std::vector<FlowColumn>& columns) {
    double total = 0;
    for (const FlowColumn& c : columns)
        total += std::max(0.0, c.widthMm);
    const double width = FlowReport::kRightMm - FlowReport::kLeftMm;
    const double factor = total > width ? width / total : 1.0;
    std::vector<double> edges{FlowReport::kLeftMm};
    for (const FlowColumn& c : columns)
        edges.push_back(edges.back() + std::max(0.0, c.widthMm) * factor);
    return edges;
}

void drawTableRow(std::vector<PageOp>& ops, const Scale& s, const std::vector<FlowColumn>& columns,
                  const std::vector<double>& edges, const std::vector<std::string>& texts,
                  double top, double bottom, const PageFont& font) {
    for (size_t c = 0; c < columns.size() && c < texts.size(); ++c) {
        const bool left = columns[c].align == TextAlign::Left;
        ops.push_back(textOp(s.rect(edges[c] + (left ? kCellPadMm : 0), top, edges[c + 1], bottom),
                             font, texts[c], columns[c].align));
    }
}

} // namespace

FlowReport::FlowReport(std::string title) : title_(std::move(title)) {
    pages_.emplace_back();
}

void FlowReport::breakPage() {
    if (y_ > kContentTopMm) {
        pages_.emplace_back();
        y_ = kContentTopMm;
    }
}

void FlowReport::placeHeading() {
    if (!pendingHeading_)
        return;
    const size_t heading = *pendingHeading_;
    pendingHeading_.reset();
    place(heading, 0, 1, kHeadingMm);
}

void FlowReport::reserve(double neededMm) {
    if (neededMm + (pendingHeading_ ? kHeadingMm : 0) > room())
        breakPage();
    placeHeading();
}

void FlowReport::place(size_t item, size_t first, size_t count, double heightMm) {
    pages_.back().push_back({item, first, count, y_});
    y_ += heightMm;
}

void FlowReport::addHeading(std::string text) {
    reserve(0); // two headings in a row: the first stands alone
    Item item;
    item.kind = Kind::Heading;
    item.text = std::move(text);
    items_.push_back(std::move(item));
    pendingHeading_ = items_.size() - 1;
}

void FlowReport::addText(std::string text) {
    Item item;
    item.kind = Kind::Text;
    item.text = std::move(text);
    items_.push_back(std::move(item));
    reserve(kTextLineMm);
    place(items_.size() - 1, 0, 1, kTextLineMm);
}

void FlowReport::addTable(std::vector<FlowColumn> columns, size_t rowCount, RowTexts rows) {
    Item item;
    item.kind = Kind::Table;
    item.columns = std::move(columns);
    item.count = rowCount;
    item.rows = std::move(rows);
    items_.push_back(std::move(item));
    const size_t index = items_.size() - 1;
    size_t done = 0;
    do {
        reserve(kTableHeaderMm + (rowCount ? kTableRowMm : 0));
        const double space = room() - kTableHeaderMm;
        const size_t fit =
            std::max<size_t>(1, static_cast<size_t>(std::floor(space / kTableRowMm + 1e-9)));
        const size_t n = std::min(rowCount - done, fit);
        place(index, done, n, kTableHeaderMm + n * kTableRowMm);
        done += n;
        if (done < rowCount)
            breakPage();
    } while (done < rowCount);
    y_ += kGapMm;
}

void FlowReport::addBlock(double heightMm, Drawer draw) {
    Item item;
    item.kind = Kind::Block;
    item.heightMm = heightMm;
    item.draw = std::move(draw);
    items_.push_back(std::move(item));
    reserve(heightMm);
    place(items_.size() - 1, 0, 1, heightMm);
    y_ += kGapMm;
}

void FlowReport::addGrid(size_t count, int columns, double cellHeightMm, CellDrawer draw) {
    Item item;
    item.kind = Kind::Grid;
    item.count = count;
    item.gridColumns = std::max(1, columns);
    item.heightMm = cellHeightMm;
    item.drawCell = std::move(draw);
    items_.push_back(std::move(item));
    const size_t index = items_.size() - 1;
    const auto perRow = static_cast<size_t>(items_.back().gridColumns);
    for (size_t first = 0; first < count; first += perRow) {
        reserve(cellHeightMm);
        place(index, first, std::min(perRow, count - first), cellHeightMm);
    }
    y_ += kGapMm;
}

const std::vector<FlowReport::Placement>& FlowReport::placements(int page) const {
    static const std::vector<Placement> none;
    return page >= 1 && page <= pageCount() ? pages_[static_cast<size_t>(page - 1)] : none;
}

std::vector<PageOp> FlowReport::layoutPage(const PageDevice& device, int page) const {
    std::vector<PageOp> ops;
    const Scale s{device};
    ops.push_back(fillOp({0, 0, device.width, device.height}, kPageWhite));
    if (page < 1 || page > pageCount())
        return ops;
    ops.push_back(
        textOp(s.rect(kLeftMm, kTitleTopMm, kRightMm, kTitleTopMm + 10), s.font(15, 700), title_));
    const PageFont headingFont = s.font(11, 700);
    const PageFont headerFont = s.font(10, 700);
    const PageFont bodyFont = s.font(10, 400);
    const int pen = s.pen();
    for (const Placement& p : pages_[static_cast<size_t>(page - 1)]) {
        const Item& item = items_[p.item];
        switch (item.kind) {
        case Kind::Heading:
            ops.push_back(textOp(s.rect(kLeftMm, p.topMm + 2, kRightMm, p.topMm + kHeadingMm),
                                 headingFont, item.text, TextAlign::Left));
            break;
        case Kind::Text:
            ops.push_back(textOp(s.rect(kLeftMm, p.topMm, kRightMm, p.topMm + kTextLineMm),
                                 bodyFont, item.text, TextAlign::Left));
            break;
        case Kind::Table: {
            const std::vector<double> edges = columnEdges(item.columns);
            std::vector<std::string> titles;
            for (const FlowColumn& c : item.columns)
                titles.push_back(c.title);
            const double bottom = p.topMm + kTableHeaderMm + p.count * kTableRowMm;
            drawTableRow(ops, s, item.columns, edges, titles, p.topMm, p.topMm + kTableHeaderMm,
                         headerFont);
            for (size_t k = 0; k < p.count; ++k) {
                const double top = p.topMm + kTableHeaderMm + k * kTableRowMm;
                drawTableRow(ops, s, item.columns, edges, item.rows(p.first + k), top,
                             top + kTableRowMm, bodyFont);
            }
            // Rules: above the header, under it, under every row; the column edges.
            for (size_t k = 0; k <= p.count + 1; ++k) {
                const double y =
                    k == 0 ? p.topMm : p.topMm + kTableHeaderMm + (k - 1) * kTableRowMm;
                ops.push_back(lineOp(s.x(edges.front()), s.y(y), s.x(edges.back()), s.y(y), pen));
            }
            for (double x : edges)
                ops.push_back(lineOp(s.x(x), s.y(p.topMm), s.x(x), s.y(bottom), pen));
            break;
        }
        case Kind::Block:
            item.draw(ops, device, s.rect(kLeftMm, p.topMm, kRightMm, p.topMm + item.heightMm));
            break;
        case Kind::Grid: {
            const double cellW = (kRightMm - kLeftMm) / item.gridColumns;
            for (size_t k = 0; k < p.count; ++k) {
                const double left = kLeftMm + static_cast<double>(k) * cellW;
                item.drawCell(ops, device,
                              s.rect(left, p.topMm, left + cellW, p.topMm + item.heightMm),
                              p.first + k);
            }
            break;
        }
        }
    }
    std::string footer = translate("FlowReport", "第 %1 页，共 %2 页");
    auto fill = [&footer](std::string_view mark, int value) {
        if (const size_t at = footer.find(mark); at != std::string::npos)
            footer.replace(at, mark.size(), std::to_string(value));
    };
    fill("%1", page);
    fill("%2", pageCount());
    ops.push_back(
        textOp(s.rect(kLeftMm, kFooterTopMm, kRightMm, kFooterBottomMm), s.font(9, 400), footer));
    return ops;
}

int PageSequence::pageCount(const PageDevice& device) const {
    int n = 0;
    for (const PageSource* part : parts_)
        n += part->pageCount(device);
    return n;
}

std::vector<PageOp> PageSequence::layoutPage(const PageDevice& device, int page) const {
    for (const PageSource* part : parts_) {
        const int count = part->pageCount(device);
        if (page <= count)
            return part->layoutPage(device, page);
        page -= count;
    }
    return {};
}

} // namespace tessera
