#include "depth/stats/depth_stats_report.h"

#include "common/descriptive_stats.h"

namespace marrowby {
namespace {

std::string tr(const char* source) {
    return tessera::translate("DepthStats", source);
}

std::string fill(std::string text, std::initializer_list<std::string> values) {
    int n = 1;
    for (const std::string& v : values) {
        const std::string mark = "%" + std::to_string(n++);
        if (const size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), v);
    }
    return text;
}

std::string depthText(bool any, double value, int decimals) {
    return any ? tessera::formatFixed(value, decimals) : "-";
}

constexpr double kChartHeightMm = 75;
constexpr double kProfileHeightMm = 58;
constexpr int kProfileColumns = 2;

void appendOps(std::vector<tessera::PageOp>& ops, std::vector<tessera::PageOp> drawn) {
    ops.insert(ops.end(), std::make_move_iterator(drawn.begin()),
               std::make_move_iterator(drawn.end()));
}

} // namespace

std::string crackName(const DepthCrack& crack) {
    return fill(tr("构件 %1 裂缝 %2"),
                {std::to_string(crack.component), std::to_string(crack.crack)});
}

tessera::BarChart depthMaximaChart(const DepthStats& stats) {
    tessera::BarChart chart;
    chart.title = tr("各裂缝最大深度");
    chart.xTitle = tr("构件号-裂缝号");
    chart.yTitle = tr("深度");
    chart.values.reserve(stats.cracks.size());
    chart.labels.reserve(stats.cracks.size());
    for (const DepthCrack& k : stats.cracks) {
        chart.values.push_back(k.depth.count() ? static_cast<double>(k.depth.max()) : 0.0);
        chart.labels.push_back(std::to_string(k.component) + "-" + std::to_string(k.crack));
    }
    return chart;
}

tessera::LineChart depthProfileChart(const DepthStats& stats, const std::vector<DepthRow>& rows,
                                     size_t crack) {
    tessera::LineChart chart;
    chart.xTitle = tr("测点号");
    chart.yTitle = tr("深度");
    if (crack >= stats.cracks.size())
        return chart;
    chart.title = fill(tr("%1 深度曲线"), {crackName(stats.cracks[crack])});
    for (const DepthProfilePoint& p : depthProfile(stats, rows, crack)) {
        chart.labels.push_back(std::to_string(p.point));
        chart.values.push_back(p.measured ? std::optional<double>(p.depth) : std::nullopt);
    }
    return chart;
}

DepthStatsReport::DepthStatsReport(const std::vector<DepthRow>& rows, DepthStats stats)
    : tessera::FlowReport(tr(kDepthStatsTitle)), rows_(rows), stats_(std::move(stats)) {
    const DepthStats* s = &stats_; // the member outlives the report's pages
    const bool any = s->measured > 0;
    const tessera::Summary& d = s->depth;

    addHeading(tr("概况"));
    std::vector<std::vector<std::string>> summary = {
        {tr("行数"), std::to_string(s->rows), tr("已测深度"), std::to_string(s->measured)},
        {tr("最小深度"), depthText(any, static_cast<double>(d.min), 0), tr("最大深度"),
         depthText(any, static_cast<double>(d.max), 0)},
        {tr("平均深度"), depthText(any, d.mean, 1), tr("中位数"), depthText(any, d.median, 1)},
        {tr("标准差"), depthText(any, d.stdev, 1), tr("裂缝数"), std::to_string(s->cracks.size())},
    };
    addTable({{tr("项目"), 40}, {tr("数值"), 50}, {tr("项目"), 40}, {tr("数值"), 50}},
             summary.size(), [summary](size_t row) { return summary[row]; });

    const tessera::BarChart maxima = depthMaximaChart(*s);
    addBlock(kChartHeightMm, [maxima](std::vector<tessera::PageOp>& ops,
                                      const tessera::PageDevice& device,
                                      const tessera::PageRect& area) {
        appendOps(ops, tessera::drawBarChart(maxima, area,
                                             tessera::chartStyleFor(device.dpiX, device.dpiY)));
    });

    addHeading(tr("构件统计"));
    addTable({{tr("构件号"), 30},
              {tr("裂缝数"), 30},
              {tr("测点数"), 30},
              {tr("最大深度"), 30},
              {tr("平均深度"), 30}},
             s->components.size(), [s](size_t row) {
                 const DepthComponent& c = s->components[row];
                 const bool m = c.depth.count() > 0;
                 return std::vector<std::string>{
                     std::to_string(c.component), std::to_string(c.cracks),
                     std::to_string(c.points), depthText(m, static_cast<double>(c.depth.max()), 0),
                     depthText(m, c.depth.mean(), 1)};
             });

    addHeading(tr("裂缝统计"));
    addTable({{tr("构件号"), 28},
              {tr("裂缝号"), 28},
              {tr("测点数"), 28},
              {tr("最小深度"), 28},
              {tr("最大深度"), 28},
              {tr("平均深度"), 28}},
             s->cracks.size(), [s](size_t row) {
                 const DepthCrack& k = s->cracks[row];
                 const bool m = k.depth.count() > 0;
                 return std::vector<std::string>{
                     std::to_string(k.component),
                     std::to_string(k.crack),
                     std::to_string(k.points),
                     depthText(m, static_cast<double>(k.depth.min()), 0),
                     depthText(m, static_cast<double>(k.depth.max()), 0),
                     depthText(m, k.depth.mean(), 1)};
             });

    addHeading(tr("裂缝深度曲线"));
    const std::vector<DepthRow>* data = &rows_;
    addGrid(s->cracks.size(), kProfileColumns, kProfileHeightMm,
            [s, data](std::vector<tessera::PageOp>& ops, const tessera::PageDevice& device,
                      const tessera::PageRect& area, size_t index) {
                const tessera::ChartStyle style = tessera::chartStyleFor(device.dpiX, device.dpiY);
                const tessera::PageRect inner{area.left + style.pad, area.top,
                                              area.right - style.pad, area.bottom - style.pad};
                appendOps(
                    ops, tessera::drawLineChart(depthProfileChart(*s, *data, index), inner, style));
            });
}

} // namespace marrowby
