#pragma once
// The spreadsheet export of the record list (model code): sheet 记录 with the records as the list
// shows them and the file name of each record's photograph, sheet 统计 with the statistics.
// XLSX gets both sheets, CSV the record sheet (common/spreadsheet.h).

#include "common/spreadsheet.h"
#include "width/project/record.h"
#include "width/stats/width_stats.h"

#include <functional>
#include <string>
#include <vector>

namespace fallowmere {

// The path of a record's photograph (GBK name), or "" when it has none (pictureFinderFor).
using PhotoFinder = std::function<std::string(const std::string& gbkName)>;

// Whether a record has a photograph, by the finder (for computeWidthStats).
PhotoTest photoTestOf(const PhotoFinder& finder);

// 组号, 名称, 宽度(mm), 模式, 备注, 时间, 照片: the six texts (UTF-8 from GBK; a width that
// reads as a plain number is a number cell) and the photograph's file name or nothing.
tessera::Sheet widthRecordSheet(const std::vector<const CRecordStru*>& records,
                                const PhotoFinder& photo);

// The figures, the records above each limit, the histogram's bins and the table per group, in
// blocks one under the other (numbers as number cells, widths in mm with three decimals).
tessera::Sheet widthStatsSheet(const WidthStats& stats);

// Writes the export of `records` to `path` as its extension says (.xlsx: both sheets; .csv: the
// record sheet). False with the reason (UTF-8) on failure, the old file then unchanged.
bool writeWidthSpreadsheet(const std::string& path, const std::vector<const CRecordStru*>& records,
                           const WidthStatsOptions& options, const PhotoFinder& photo,
                           std::string* error = nullptr);

} // namespace fallowmere
