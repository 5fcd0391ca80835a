#pragma once
// The spreadsheet export of a depth window's rows (model code): sheet 数据 with the five cells of
// every row (cells that read as whole numbers are number cells, the rest text as shown), sheet
// 统计 with the statistics. XLSX gets both sheets, CSV the data sheet (common/spreadsheet.h).

#include "common/spreadsheet.h"
#include "depth/document/depth_record.h"
#include "depth/stats/depth_stats.h"

#include <string>
#include <vector>

namespace marrowby {

tessera::Sheet depthDataSheet(const std::vector<DepthRow>& rows);
tessera::Sheet depthStatsSheet(const DepthStats& stats);

// Writes the export of `rows` to `path` as its extension says (.xlsx: both sheets; .csv: the
// data sheet). False with the reason (UTF-8) on failure, the old file then unchanged.
bool writeDepthSpreadsheet(const std::string& path, const std::vector<DepthRow>& rows,
                           std::string* error = nullptr);

} // namespace marrowby
