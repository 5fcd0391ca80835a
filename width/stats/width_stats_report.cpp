#include "width/stats/width_stats_report.h"

#include "common/descriptive_stats.h"
#include "common/gbk.h"
#include "common/translate.h"

#include <algorithm>
#include <cmath>

namespace fallowmere {
namespace {

std::string tr(const char* source) {
    return tessera::translate("WidthStats", source);
}

std::string withValue(std::string text, std::string_view value) {
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

std::string mmText(bool any, double micrometres) {
    return any ? tessera::formatScaled(micrometres, 3) + " mm" : "-";
}

constexpr double kChartHeightMm = 75;

} // namespace

tessera::BarChart widthHistogram(const WidthStats& stats) {
    tessera::BarChart chart;
    chart.title = tr("宽度分布");
    chart.xTitle = tr("裂缝宽度（mm）");
    chart.yTitle = tr("条数");
    if (stats.bins.empty())
        return chart;
    const int64_t bin = stats.options.binUm;
    size_t shown = stats.bins.size();
    if (!stats.bins.back().open && !stats.options.limitsUm.empty() && bin > 0)
        shown = std::max(shown, static_cast<size_t>(stats.options.limitsUm.back() / bin) + 1);
    shown = std::min(shown, std::max(kMaxBins, stats.bins.size()));
    for (size_t b = 0; b < shown; ++b) {
        chart.values.push_back(b < stats.bins.size() ? static_cast<double>(stats.bins[b].count)
                                                     : 0.0);
        chart.labels.push_back(formatMillimetres(static_cast<int64_t>(b) * bin, 2));
    }
    chart.labels.push_back(stats.bins.back().open && shown == stats.bins.size()
                               ? "∞"
                               : formatMillimetres(static_cast<int64_t>(shown) * bin, 2));
    for (int64_t limit : stats.options.limitsUm)
        chart.markers.push_back({static_cast<double>(limit) / static_cast<double>(bin),
                                 formatMillimetres(limit, 2) + " mm"});
    return chart;
}

WidthStatsReport::WidthStatsReport(WidthStats stats, const InspectionInfo& info)
    : tessera::FlowReport(tr(kWidthStatsTitle)), stats_(std::move(stats)) {
    const WidthStats& s = stats_;
    const bool any = s.measured > 0;

    std::string project;
    if (!info.projectName.empty())
        project += tr("工程名称：") + tessera::gbkToUtf8(info.projectName);
    if (!info.company.empty())
        project +=
            (project.empty() ? "" : "    ") + tr("测量单位：") + tessera::gbkToUtf8(info.company);
    if (!project.empty())
        addText(project);

    addHeading(tr("概况"));
    std::vector<std::vector<std::string>> summary = {
        {tr("记录数"), std::to_string(s.records), tr("已测宽度"), std::to_string(s.measured)},
        {tr("有照片"), std::to_string(s.photos), tr("最小宽度"),
         mmText(any, static_cast<double>(s.width.min))},
        {tr("最大宽度"), mmText(any, static_cast<double>(s.width.max)), tr("平均宽度"),
         mmText(any, s.width.mean)},
        {tr("中位数"), mmText(any, s.width.median), tr("标准差"), mmText(any, s.width.stdev)},
    };
    addTable({{tr("项目"), 40}, {tr("数值"), 50}, {tr("项目"), 40}, {tr("数值"), 50}},
             summary.size(), [summary](size_t row) { return summary[row]; });

    addHeading(tr("超限统计"));
    const std::vector<LimitCount> over = s.over;
    addTable({{tr("限值（mm）"), 40}, {tr("超限条数"), 40}, {tr("占已测比例"), 50}}, over.size(),
             [over, any](size_t row) {
                 const LimitCount& l = over[row];
                 return std::vector<std::string>{
                     formatMillimetres(l.limitUm, 2), std::to_string(l.count),
                     any ? tessera::formatFixed(l.percent, 1) + " %" : "-"};
             });

    const tessera::BarChart chart = widthHistogram(s);
    addBlock(kChartHeightMm, [chart](std::vector<tessera::PageOp>& ops,
                                     const tessera::PageDevice& device,
                                     const tessera::PageRect& area) {
        const auto drawn =
            tessera::drawBarChart(chart, area, tessera::chartStyleFor(device.dpiX, device.dpiY));
        ops.insert(ops.end(), drawn.begin(), drawn.end());
    });

    addHeading(tr("分组统计"));
    const std::string overTitle =
        s.options.limitsUm.empty()
            ? tr("超限条数")
            : withValue(tr("超过 %1 mm"), formatMillimetres(s.options.limitsUm.front(), 2));
    const WidthStats* data = &stats_; // the member outlives the report's pages
    addTable({{tr("组号"), 40, tessera::TextAlign::Left},
              {tr("记录数"), 25},
              {tr("已测"), 25},
              {tr("最大宽度（mm）"), 32},
              {tr("平均宽度（mm）"), 32},
              {overTitle, 26}},
             s.groups.size(), [data](size_t row) {
                 const WidthGroup& g = data->groups[row];
                 const bool measured = g.measured > 0;
                 return std::vector<std::string>{
                     tessera::gbkToUtf8(g.group),
                     std::to_string(g.records),
                     std::to_string(g.measured),
                     measured ? tessera::formatScaled(static_cast<double>(g.maxUm), 3) : "-",
                     measured ? tessera::formatScaled(g.meanUm, 3) : "-",
                     std::to_string(g.over)};
             });
}

} // namespace fallowmere
