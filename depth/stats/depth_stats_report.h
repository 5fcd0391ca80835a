#pragma once
// What the depth statistics window draws and prints: the bar chart of each crack's maximum
// depth, the depth profile of one crack over its measuring points (common/chart.h), and the
// statistics report "裂缝深度统计" (a FlowReport: the figures, the chart of maxima, the tables
// per component and per crack, and every crack's profile, eight to a page). Model code.

#include "common/chart.h"
#include "common/flow_report.h"
#include "common/translate.h"
#include "depth/stats/depth_stats.h"

#include <string>
#include <vector>

namespace marrowby {

// The report's title, the print job's name and the PDF's title.
inline constexpr const char* kDepthStatsTitle =
    TESSERA_TRANSLATE_NOOP("DepthStats", "裂缝深度统计");

// How a crack is named in lists and chart titles: "构件 1 裂缝 2".
std::string crackName(const DepthCrack& crack);

// One bar per crack (its maximum measured depth; none measured: no bar), labelled "C-K".
tessera::BarChart depthMaximaChart(const DepthStats& stats);

// The depth profile of crack `crack` (an index into stats.cracks) over its measuring points in
// row order, labelled with the point numbers; points without a measured depth break the line.
tessera::LineChart depthProfileChart(const DepthStats& stats, const std::vector<DepthRow>& rows,
                                     size_t crack);

// The report of `rows` with their statistics `stats` (computeDepthStats(rows)). Holds a
// reference: `rows` must outlive it and stay unchanged while a job runs.
class DepthStatsReport : public tessera::FlowReport {
public:
    DepthStatsReport(const std::vector<DepthRow>& rows, DepthStats stats);
    DepthStatsReport(const DepthStatsReport&) = delete;
    DepthStatsReport& operator=(const DepthStatsReport&) = delete;
    const DepthStats& stats() const { return stats_; }

private:
    const std::vector<DepthRow>& rows_;
    DepthStats stats_;
};

} // namespace marrowby
