#pragma once
// What the statistics window draws and prints of crack widths: the histogram as a chart
// (common/chart.h) and the statistics report "裂缝宽度统计" (a FlowReport: the figures, the
// records above each limit, the histogram and the table per group; one page, more when the
// groups need them). Model code.

#include "common/chart.h"
#include "common/flow_report.h"
#include "common/translate.h"
#include "width/picture/inspection_report.h"
#include "width/stats/width_stats.h"

#include <string>

namespace fallowmere {

// The report's title, the print job's name and the PDF's title.
inline constexpr const char* kWidthStatsTitle =
    TESSERA_TRANSLATE_NOOP("WidthStats", "裂缝宽度统计");

// The histogram: one bar per bin, labelled at the bin edges in mm, and one red line per limit.
// The bins shown go on past the maximum (empty) up to the bin above the highest limit, so that
// every limit line is on the chart. No measured record: a chart with no bars ("无数据").
tessera::BarChart widthHistogram(const WidthStats& stats);

// The report of `stats`. The inspection information (GBK, as read from the settings file) gives
// a line with the project and the company above the figures when either is set.
class WidthStatsReport : public tessera::FlowReport {
public:
    explicit WidthStatsReport(WidthStats stats, const InspectionInfo& info = {});
    // The pages refer to the statistics held here.
    WidthStatsReport(const WidthStatsReport&) = delete;
    WidthStatsReport& operator=(const WidthStatsReport&) = delete;
    const WidthStats& stats() const { return stats_; }

private:
    WidthStats stats_;
};

} // namespace fallowmere
