#include "depth/stats/depth_sheets.h"

#include "common/descriptive_stats.h"
#include "common/gbk.h"
#include "common/translate.h"

namespace marrowby {
namespace {

std::string tr(const char* source) {
    return tessera::translate("DepthSheets", source);
}

std::vector<tessera::SheetCell> texts(std::initializer_list<std::string> items) {
    std::vector<tessera::SheetCell> row;
    for (const std::string& t : items)
        row.push_back(tessera::textCell(t));
    return row;
}

tessera::SheetCell count(size_t n) {
    return tessera::integerCell(static_cast<long long>(n));
}

// A depth with `decimals` places, or an empty cell when nothing is measured.
tessera::SheetCell depthCell(bool any, double value, int decimals) {
    return any ? tessera::cellFromText(tessera::formatFixed(value, decimals))
               : tessera::textCell("");
}

} // namespace

tessera::Sheet depthDataSheet(const std::vector<DepthRow>& rows) {
    tessera::Sheet sheet;
    sheet.name = tr("数据");
    sheet.columnWidths = {10, 10, 10, 12, 24};
    sheet.rows.reserve(rows.size() + 1);
    sheet.addRow(texts({tr("构件号"), tr("裂缝号"), tr("测点号"), tr("裂缝深度值"), tr("备注")}));
    for (const DepthRow& row : rows) {
        std::vector<tessera::SheetCell> cells;
        cells.reserve(DepthRow::kCells);
        for (int c = 0; c < 4; ++c)
            cells.push_back(tessera::cellFromText(tessera::gbkToUtf8(row.cell(c))));
        cells.push_back(tessera::textCell(tessera::gbkToUtf8(row.cell(4))));
        sheet.addRow(std::move(cells));
    }
    return sheet;
}

tessera::Sheet depthStatsSheet(const DepthStats& s) {
    using tessera::textCell;
    const bool any = s.measured > 0;
    const tessera::Summary& d = s.depth;
    tessera::Sheet sheet;
    sheet.name = tr("统计");
    sheet.columnWidths = {14, 12, 12, 12, 12, 12};
    sheet.addRow(texts({tr("项目"), tr("数值")}));
    sheet.addRow({textCell(tr("行数")), count(s.rows)});
    sheet.addRow({textCell(tr("已测深度的行数")), count(s.measured)});
    sheet.addRow({textCell(tr("最小深度")), depthCell(any, static_cast<double>(d.min), 0)});
    sheet.addRow({textCell(tr("最大深度")), depthCell(any, static_cast<double>(d.max), 0)});
    sheet.addRow({textCell(tr("平均深度")), depthCell(any, d.mean, 1)});
    sheet.addRow({textCell(tr("深度中位数")), depthCell(any, d.median, 1)});
    sheet.addRow({textCell(tr("深度标准差")), depthCell(any, d.stdev, 1)});

    sheet.addRow({});
    sheet.addRow(texts({tr("构件号"), tr("裂缝数"), tr("测点数"), tr("最大深度"), tr("平均深度")}));
    for (const DepthComponent& c : s.components) {
        const bool m = c.depth.count() > 0;
        sheet.addRow({tessera::integerCell(c.component), count(c.cracks), count(c.points),
                      depthCell(m, static_cast<double>(c.depth.max()), 0),
                      depthCell(m, c.depth.mean(), 1)});
    }

    sheet.addRow({});
    sheet.addRow(texts({tr("构件号"), tr("裂缝号"), tr("测点数"), tr("最小深度"), tr("最大深度"),
                        tr("平均深度")}));
    for (const DepthCrack& k : s.cracks) {
        const bool m = k.depth.count() > 0;
        sheet.addRow({tessera::integerCell(k.component), tessera::integerCell(k.crack),
                      count(k.points), depthCell(m, static_cast<double>(k.depth.min()), 0),
                      depthCell(m, static_cast<double>(k.depth.max()), 0),
                      depthCell(m, k.depth.mean(), 1)});
    }
    return sheet;
}

bool writeDepthSpreadsheet(const std::string& path, const std::vector<DepthRow>& rows,
                           std::string* error) {
    const tessera::SpreadsheetKind kind = tessera::spreadsheetKindOf(path);
    tessera::Workbook book;
    book.push_back(depthDataSheet(rows));
    if (kind == tessera::SpreadsheetKind::Xlsx)
        book.push_back(depthStatsSheet(computeDepthStats(rows)));
    return tessera::writeSpreadsheet(path, kind, book, error);
}

} // namespace marrowby
