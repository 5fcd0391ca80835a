#include "depth/stats/depth_stats.h"

#include "common/crt.h"

#include <unordered_map>

namespace marrowby {
namespace {

std::string depthText(bool any, double value) {
    return any ? tessera::formatFixed(value, 1) : "-";
}

uint64_t crackKey(int32_t component, int32_t crack) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(component)) << 32) |
           static_cast<uint32_t>(crack);
}

} // namespace

DepthStats computeDepthStats(const std::vector<DepthRow>& rows) {
    DepthStats stats;
    stats.rows = rows.size();
    std::vector<int64_t> depths;
    depths.reserve(rows.size());
    std::unordered_map<int32_t, size_t> componentIndex;
    std::unordered_map<uint64_t, size_t> crackIndex;
    std::vector<uint32_t> rowCrack(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        const DepthRow& row = rows[r];
        const int32_t component = tessera::crtAtoi(row.cell(0));
        const int32_t crack = tessera::crtAtoi(row.cell(1));
        const int32_t depth = tessera::crtAtoi(row.cell(3));

        auto [c, newComponent] = componentIndex.try_emplace(component, stats.components.size());
        if (newComponent) {
            stats.components.emplace_back();
            stats.components.back().component = component;
        }
        DepthComponent& comp = stats.components[c->second];
        auto [k, newCrack] =
            crackIndex.try_emplace(crackKey(component, crack), stats.cracks.size());
        if (newCrack) {
            stats.cracks.emplace_back();
            stats.cracks.back().component = component;
            stats.cracks.back().crack = crack;
            ++comp.cracks;
        }
        DepthCrack& cr = stats.cracks[k->second];
        ++comp.points;
        ++cr.points;
        rowCrack[r] = static_cast<uint32_t>(k->second);
        if (depth > 0) {
            depths.push_back(depth);
            comp.depth.add(depth);
            cr.depth.add(depth);
        }
    }
    stats.measured = depths.size();
    stats.depth = tessera::summarize(depths);

    // Rows grouped by crack, each crack's rows in row order (a counting sort).
    size_t offset = 0;
    for (DepthCrack& cr : stats.cracks) {
        cr.firstRow = offset;
        offset += cr.points;
    }
    stats.crackRows.resize(rows.size());
    std::vector<size_t> next(stats.cracks.size());
    for (size_t k = 0; k < stats.cracks.size(); ++k)
        next[k] = stats.cracks[k].firstRow;
    for (size_t r = 0; r < rows.size(); ++r)
        stats.crackRows[next[rowCrack[r]]++] = static_cast<uint32_t>(r);
    return stats;
}

std::vector<DepthRow> rowsAt(const std::vector<DepthRow>& rows,
                             const std::vector<size_t>& indices) {
    std::vector<DepthRow> out;
    out.reserve(indices.size());
    for (size_t i : indices)
        if (i < rows.size())
            out.push_back(rows[i]);
    return out;
}

std::vector<DepthProfilePoint> depthProfile(const DepthStats& stats,
                                            const std::vector<DepthRow>& rows, size_t crack) {
    std::vector<DepthProfilePoint> points;
    if (crack >= stats.cracks.size())
        return points;
    const DepthCrack& cr = stats.cracks[crack];
    points.reserve(cr.points);
    for (size_t i = cr.firstRow; i < cr.firstRow + cr.points; ++i) {
        const uint32_t r = stats.crackRows[i];
        if (r >= rows.size())
            break; // rows changed since the statistics were made
        const int32_t depth = tessera::crtAtoi(rows[r].cell(3));
        points.push_back({tessera::crtAtoi(rows[r].cell(2)), depth, depth > 0});
    }
    return points;
}

std::string formatDepthStatsTsv(const DepthStats& stats) {
    const bool any = stats.measured > 0;
    std::string out;
    out.reserve(128 + stats.components.size() * 32 + stats.cracks.size() * 40);
    auto add = [&out](const std::string& name, std::initializer_list<std::string> fields) {
        out += name;
        for (const std::string& f : fields) {
            out += '\t';
            out += f;
        }
        out += '\n';
    };
    add("rows", {std::to_string(stats.rows)});
    add("measured", {std::to_string(stats.measured)});
    add("min", {depthText(any, static_cast<double>(stats.depth.min))});
    add("max", {depthText(any, static_cast<double>(stats.depth.max))});
    add("mean", {depthText(any, stats.depth.mean)});
    add("median", {depthText(any, stats.depth.median)});
    add("stdev", {depthText(any, stats.depth.stdev)});
    for (const DepthComponent& c : stats.components) {
        const bool m = c.depth.count() > 0;
        add("component",
            {std::to_string(c.component), std::to_string(c.cracks), std::to_string(c.points),
             depthText(m, static_cast<double>(c.depth.max())), depthText(m, c.depth.mean())});
    }
    for (const DepthCrack& k : stats.cracks) {
        const bool m = k.depth.count() > 0;
        add("crack",
            {std::to_string(k.component), std::to_string(k.crack), std::to_string(k.points),
             depthText(m, static_cast<double>(k.depth.min())),
             depthText(m, static_cast<double>(k.depth.max())), depthText(m, k.depth.mean())});
    }
    return out;
}

} // namespace marrowby
