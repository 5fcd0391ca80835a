#include "width/stats/width_sheets.h"

#include "common/descriptive_stats.h"
#include "common/file_name.h"
#include "common/gbk.h"
#include "common/text.h"
#include "common/translate.h"

namespace fallowmere {
namespace {

std::string tr(const char* source) {
    return tessera::translate("WidthSheets", source);
}

std::string withValue(std::string text, std::string_view value) {
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

tessera::SheetCell utf8Cell(std::string_view gbk) {
    return tessera::textCell(tessera::gbkToUtf8(gbk));
}

// A width in mm with three decimals, or an empty cell when nothing is measured.
tessera::SheetCell mmCell(bool any, double micrometres) {
    return any ? tessera::cellFromText(tessera::formatScaled(micrometres, 3))
               : tessera::textCell("");
}

// A limit or bin bound in mm with two decimals.
tessera::SheetCell mmCell2(int64_t micrometres) {
    return tessera::cellFromText(formatMillimetres(micrometres, 2));
}

std::vector<tessera::SheetCell> texts(std::initializer_list<std::string> items) {
    std::vector<tessera::SheetCell> row;
    for (const std::string& t : items)
        row.push_back(tessera::textCell(t));
    return row;
}

} // namespace

PhotoTest photoTestOf(const PhotoFinder& finder) {
    if (!finder)
        return {};
    return [finder](const CRecordStru& r) { return !finder(r.strName).empty(); };
}

tessera::Sheet widthRecordSheet(const std::vector<const CRecordStru*>& records,
                                const PhotoFinder& photo) {
    tessera::Sheet sheet;
    sheet.name = tr("记录");
    sheet.columnWidths = {10, 14, 10, 10, 16, 20, 18};
    sheet.rows.reserve(records.size() + 1);
    sheet.addRow(texts(
        {tr("组号"), tr("名称"), tr("宽度(mm)"), tr("模式"), tr("备注"), tr("时间"), tr("照片")}));
    for (const CRecordStru* r : records) {
        std::vector<tessera::SheetCell> row;
        row.reserve(7);
        row.push_back(utf8Cell(r->strGroup));
        row.push_back(utf8Cell(r->strName));
        row.push_back(tessera::cellFromText(tessera::gbkToUtf8(r->strWidth)));
        row.push_back(utf8Cell(r->strMode));
        row.push_back(utf8Cell(r->strRemark));
        row.push_back(utf8Cell(r->strTime));
        const std::string path = photo ? photo(r->strName) : std::string();
        row.push_back(tessera::textCell(
            path.empty() ? std::string() : tessera::displayPath(tessera::fileNameOf(path))));
        sheet.addRow(std::move(row));
    }
    return sheet;
}

tessera::Sheet widthStatsSheet(const WidthStats& s) {
    using tessera::integerCell;
    using tessera::numberCell;
    using tessera::textCell;
    const bool any = s.measured > 0;
    tessera::Sheet sheet;
    sheet.name = tr("统计");
    sheet.columnWidths = {22, 14, 14, 16, 16, 14};
    sheet.addRow(texts({tr("项目"), tr("数值")}));
    sheet.addRow({textCell(tr("记录数")), integerCell(static_cast<long long>(s.records))});
    sheet.addRow(
        {textCell(tr("已测宽度的记录数")), integerCell(static_cast<long long>(s.measured))});
    sheet.addRow({textCell(tr("有照片的记录数")), integerCell(static_cast<long long>(s.photos))});
    sheet.addRow({textCell(tr("最小宽度(mm)")), mmCell(any, static_cast<double>(s.width.min))});
    sheet.addRow({textCell(tr("最大宽度(mm)")), mmCell(any, static_cast<double>(s.width.max))});
    sheet.addRow({textCell(tr("平均宽度(mm)")), mmCell(any, s.width.mean)});
    sheet.addRow({textCell(tr("宽度中位数(mm)")), mmCell(any, s.width.median)});
    sheet.addRow({textCell(tr("宽度标准差(mm)")), mmCell(any, s.width.stdev)});

    sheet.addRow({});
    sheet.addRow(texts({tr("限值(mm)"), tr("超限条数"), tr("占已测比例(%)")}));
    for (const LimitCount& l : s.over)
        sheet.addRow({mmCell2(l.limitUm), integerCell(static_cast<long long>(l.count)),
                      any ? numberCell(l.percent, 1) : textCell("")});

    sheet.addRow({});
    sheet.addRow(texts({tr("宽度下限(mm)"), tr("宽度上限(mm)"), tr("条数")}));
    for (const WidthBin& b : s.bins)
        sheet.addRow({mmCell2(b.lowUm), b.open ? textCell("") : mmCell2(b.highUm),
                      integerCell(static_cast<long long>(b.count))});

    sheet.addRow({});
    const std::string overTitle =
        s.options.limitsUm.empty()
            ? tr("超限条数")
            : withValue(tr("超过 %1 mm"), formatMillimetres(s.options.limitsUm.front(), 2));
    sheet.addRow(texts(
        {tr("组号"), tr("记录数"), tr("已测"), tr("最大宽度(mm)"), tr("平均宽度(mm)"), overTitle}));
    for (const WidthGroup& g : s.groups) {
        const bool measured = g.measured > 0;
        sheet.addRow({utf8Cell(g.group), integerCell(static_cast<long long>(g.records)),
                      integerCell(static_cast<long long>(g.measured)),
                      mmCell(measured, static_cast<double>(g.maxUm)), mmCell(measured, g.meanUm),
                      integerCell(static_cast<long long>(g.over))});
    }
    return sheet;
}

bool writeWidthSpreadsheet(const std::string& path, const std::vector<const CRecordStru*>& records,
                           const WidthStatsOptions& options, const PhotoFinder& photo,
                           std::string* error) {
    const tessera::SpreadsheetKind kind = tessera::spreadsheetKindOf(path);
    tessera::Workbook book;
    book.push_back(widthRecordSheet(records, photo));
    if (kind == tessera::SpreadsheetKind::Xlsx)
        book.push_back(widthStatsSheet(computeWidthStats(records, options, photoTestOf(photo))));
    return tessera::writeSpreadsheet(path, kind, book, error);
}

} // namespace fallowmere
