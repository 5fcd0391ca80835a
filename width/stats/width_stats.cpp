#include "width/stats/width_stats.h"

#include "common/cell_escape.h"
#include "common/crt.h"
#include "common/gbk.h"
#include "common/translate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace fallowmere {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string withValue(std::string text, std::string_view value) {
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// Millimetres with three decimals, or "-" for nothing measured.
std::string mmOrDash(bool any, double micrometres) {
    return any ? tessera::formatScaled(micrometres, 3) : "-";
}

std::string printable(std::string_view gbk) {
    return tessera::escapeCell(tessera::gbkToUtf8(gbk));
}

} // namespace

std::optional<int64_t> parseMillimetres(std::string_view text) {
    text = trimmed(text);
    int64_t whole = 0;
    int64_t fraction = 0; // in micrometres
    bool point = false, digits = false, roundUp = false;
    int fractionDigits = 0;
    for (char c : text) {
        if (c == '.') {
            if (point)
                return std::nullopt;
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (!point) {
                whole = whole * 10 + (c - '0');
                if (whole * 1000 > kMaxSettingMicrometres)
                    return std::nullopt;
            } else if (fractionDigits < 3) {
                fraction = fraction * 10 + (c - '0');
                ++fractionDigits;
            } else if (fractionDigits++ == 3) {
                roundUp = c >= '5';
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    for (int i = std::min(fractionDigits, 3); i < 3; ++i)
        fraction *= 10;
    const int64_t um = whole * 1000 + fraction + (roundUp ? 1 : 0);
    if (um > kMaxSettingMicrometres)
        return std::nullopt;
    return um;
}

std::string formatMillimetres(int64_t micrometres, int decimals) {
    long double scaled = static_cast<long double>(micrometres);
    for (int i = decimals; i < 3; ++i)
        scaled /= 10;
    for (int i = 3; i < decimals; ++i)
        scaled *= 10;
    return tessera::formatScaled(scaled, decimals);
}

std::optional<std::vector<int64_t>> parseLimits(std::string_view text, std::string* why) {
    // Separators: blanks, ",", ";", and the full-width "，", "；", "、".
    std::string spaced(text);
    for (std::string_view wide : {"，", "；", "、"})
        for (size_t at; (at = spaced.find(wide)) != std::string::npos;)
            spaced.replace(at, wide.size(), " ");
    for (char& c : spaced)
        if (c == ',' || c == ';' || isBlank(c))
            c = ' ';
    WidthStatsOptions options;
    options.limitsUm.clear();
    size_t start = 0;
    while (start < spaced.size()) {
        const size_t end = std::min(spaced.find(' ', start), spaced.size());
        const std::string_view item = std::string_view(spaced).substr(start, end - start);
        start = end + 1;
        if (item.empty())
            continue;
        const std::optional<int64_t> um = parseMillimetres(item);
        if (!um) {
            if (why)
                *why = withValue(tessera::translate("WidthStats", "“%1”不是以毫米为单位的数值"),
                                 std::string(item));
            return std::nullopt;
        }
        options.limitsUm.push_back(*um);
    }
    if (!normalizeOptions(options, why))
        return std::nullopt;
    return options.limitsUm;
}

std::string formatLimits(const std::vector<int64_t>& limitsUm) {
    std::string text;
    for (int64_t um : limitsUm) {
        if (!text.empty())
            text += ' ';
        text += formatMillimetres(um, 2);
    }
    return text;
}

bool normalizeOptions(WidthStatsOptions& options, std::string* why) {
    auto fail = [why](std::string reason) {
        if (why)
            *why = std::move(reason);
        return false;
    };
    std::vector<int64_t>& limits = options.limitsUm;
    std::sort(limits.begin(), limits.end());
    limits.erase(std::unique(limits.begin(), limits.end()), limits.end());
    if (limits.empty())
        return fail(tessera::translate("WidthStats", "至少需要一个限值"));
    if (limits.size() > static_cast<size_t>(kMaxLimits))
        return fail(tessera::translate("WidthStats", "最多可设五个限值"));
    if (limits.front() < 1 || limits.back() > kMaxSettingMicrometres)
        return fail(tessera::translate("WidthStats", "限值须在 0.001 到 100 mm 之间"));
    if (options.binUm < 1 || options.binUm > kMaxSettingMicrometres)
        return fail(tessera::translate("WidthStats", "分组宽度须在 0.001 到 100 mm 之间"));
    return true;
}

// The atof value of the usual width texts ("0.12", "1.5"): up to 15 digits with at most one
// point and nothing else. The digits make an integer below 2^53 and 10^k is exact, so one
// division gives the correctly rounded value, exactly what strtod gives. nullopt for any other
// text, which then goes through the atof rule itself.
std::optional<double> plainDecimal(std::string_view text) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (text.empty() || text.size() > 16)
        return std::nullopt;
    int64_t digits = 0;
    int count = 0, fraction = -1;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            ++count;
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || count > 15)
        return std::nullopt;
    return static_cast<double>(digits) / kPowers[std::max(fraction, 0)];
}

std::optional<int64_t> measuredMicrometres(std::string_view widthText) {
    const std::optional<double> plain = plainDecimal(widthText);
    const double mm = plain ? *plain : tessera::crtAtof(widthText);
    if (!(mm > 0))
        return std::nullopt;
    const double um = std::round(mm * 1000);
    return um >= static_cast<double>(kMaxWidthMicrometres) ? kMaxWidthMicrometres
                                                           : static_cast<int64_t>(um);
}

WidthStats computeWidthStats(const std::vector<const CRecordStru*>& records,
                             const WidthStatsOptions& options, const PhotoTest& hasPhoto) {
    WidthStats stats;
    stats.options = options;
    stats.records = records.size();
    const int64_t lowest = options.limitsUm.empty() ? 0 : options.limitsUm.front();

    std::vector<int64_t> widths;
    widths.reserve(records.size());
    std::unordered_map<std::string_view, size_t> groupIndex;
    std::vector<tessera::RunningStats> groupWidths;
    // Records of one group usually follow each other: the last group is tried first.
    std::string_view lastGroup;
    size_t last = SIZE_MAX;
    for (const CRecordStru* record : records) {
        if (last == SIZE_MAX || record->strGroup != lastGroup) {
            auto [it, added] = groupIndex.try_emplace(record->strGroup, stats.groups.size());
            if (added) {
                stats.groups.push_back({record->strGroup});
                groupWidths.emplace_back();
            }
            last = it->second;
            lastGroup = record->strGroup;
        }
        WidthGroup& group = stats.groups[last];
        ++group.records;
        if (hasPhoto && hasPhoto(*record))
            ++stats.photos;
        const std::optional<int64_t> um = measuredMicrometres(record->strWidth);
        if (!um)
            continue;
        widths.push_back(*um);
        groupWidths[last].add(*um);
        if (!options.limitsUm.empty() && *um > lowest)
            ++group.over;
    }
    for (size_t g = 0; g < stats.groups.size(); ++g) {
        stats.groups[g].measured = groupWidths[g].count();
        stats.groups[g].maxUm = groupWidths[g].max();
        stats.groups[g].meanUm = groupWidths[g].mean();
    }
    stats.measured = widths.size();

    // Limits and bins before the summary reorders the widths.
    std::vector<size_t> over(options.limitsUm.size(), 0);
    std::vector<WidthBin> bins;
    if (!widths.empty() && options.binUm > 0) {
        const int64_t maxUm = *std::max_element(widths.begin(), widths.end());
        const auto needed = static_cast<size_t>(maxUm / options.binUm) + 1;
        const size_t count = std::min(needed, kMaxBins);
        bins.resize(count);
        for (size_t b = 0; b < count; ++b) {
            bins[b].lowUm = static_cast<int64_t>(b) * options.binUm;
            bins[b].highUm = bins[b].lowUm + options.binUm;
        }
        bins.back().open = needed > kMaxBins;
        for (int64_t um : widths) {
            ++bins[std::min(static_cast<size_t>(um / options.binUm), count - 1)].count;
            // Limits ascend: a width above limit k is above every lower one.
            for (size_t k = 0; k < over.size() && um > options.limitsUm[k]; ++k)
                ++over[k];
        }
    }
    for (size_t k = 0; k < options.limitsUm.size(); ++k) {
        LimitCount limit{options.limitsUm[k], over[k], 0};
        if (!widths.empty())
            limit.percent =
                100.0 * static_cast<double>(over[k]) / static_cast<double>(widths.size());
        stats.over.push_back(limit);
    }
    stats.bins = std::move(bins);
    stats.width = tessera::summarize(widths);
    return stats;
}

std::vector<const CRecordStru*> recordsOf(const RecordRows& rows, bool checkedOnly) {
    std::vector<const CRecordStru*> records;
    records.reserve(checkedOnly ? 0 : rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (!checkedOnly || rows.isChecked(i))
            records.push_back(&rows.record(i));
    return records;
}

std::string formatWidthStatsTsv(const WidthStats& stats) {
    const bool any = stats.measured > 0;
    std::string out;
    out.reserve(256 + stats.bins.size() * 24 + stats.groups.size() * 48);
    auto line = [&out](std::initializer_list<std::string_view> fields) {
        bool first = true;
        for (std::string_view f : fields) {
            if (!first)
                out += '\t';
            out += f;
            first = false;
        }
        out += '\n';
    };
    line({"records", std::to_string(stats.records)});
    line({"measured", std::to_string(stats.measured)});
    line({"photos", std::to_string(stats.photos)});
    line({"min", mmOrDash(any, static_cast<double>(stats.width.min))});
    line({"max", mmOrDash(any, static_cast<double>(stats.width.max))});
    line({"mean", mmOrDash(any, stats.width.mean)});
    line({"median", mmOrDash(any, stats.width.median)});
    line({"stdev", mmOrDash(any, stats.width.stdev)});
    for (const LimitCount& limit : stats.over)
        line({"over", formatMillimetres(limit.limitUm, 2), std::to_string(limit.count),
              any ? tessera::formatFixed(limit.percent, 1) : "-"});
    for (const WidthBin& bin : stats.bins)
        line({"bin", formatMillimetres(bin.lowUm, 2),
              bin.open ? std::string("-") : formatMillimetres(bin.highUm, 2),
              std::to_string(bin.count)});
    for (const WidthGroup& group : stats.groups) {
        const bool measured = group.measured > 0;
        line({"group", printable(group.group), std::to_string(group.records),
              std::to_string(group.measured), mmOrDash(measured, static_cast<double>(group.maxUm)),
              mmOrDash(measured, group.meanUm), std::to_string(group.over)});
    }
    return out;
}

} // namespace fallowmere
