#pragma once
// Statistics of crack widths over the records the user sees: counts, the width's minimum,
// maximum, mean, median and standard deviation, the records above each limit, a histogram and a
// table per group. Model code: the statistics window, the statistics report, the spreadsheet
// export and `fallowmere-cli stats` all compute them here.
//
// A width is its text read by the atof rule; it is measured when that is greater than 0. Widths
// are compared and binned in whole micrometres (the value rounded to 0.001 mm), so 0.15 with bins
// of 0.05 lies in [0.15, 0.20), and a width equal to a limit does not exceed it.

#include "common/descriptive_stats.h"
#include "width/list/record_rows.h"
#include "width/project/record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

inline constexpr int kMinLimits = 1;
inline constexpr int kMaxLimits = 5;
// Limits and bin widths are whole micrometres from 1 µm up to 100 mm.
inline constexpr int64_t kMaxSettingMicrometres = 100'000;
// Widths beyond this (a kilometre) are taken as this, so sums and bins stay finite.
inline constexpr int64_t kMaxWidthMicrometres = 1'000'000'000;
// The histogram has at most this many bins; the last one then holds every width from its lower
// bound up ("open").
inline constexpr size_t kMaxBins = 1000;

// The limits (ascending, each once) and the bin width, in micrometres.
struct WidthStatsOptions {
    std::vector<int64_t> limitsUm{200, 300};
    int64_t binUm = 50;

    bool operator==(const WidthStatsOptions&) const = default;
};

// A length in millimetres as typed ("0.2", "0.20", "1", ".25"): digits with at most one decimal
// point and at least one digit, surrounding blanks ignored, rounded to whole micrometres (half
// up). nullopt for anything else or a value beyond 100 mm.
std::optional<int64_t> parseMillimetres(std::string_view text);

// Micrometres as millimetres with `decimals` places (rounded half away from zero): (200, 2)
// gives "0.20", (150, 3) gives "0.150".
std::string formatMillimetres(int64_t micrometres, int decimals);

// Limits typed as one text ("0.2 0.3", "0.20，0.30", "0.2、0.3"): values separated by blanks,
// commas (",", "，"), semicolons or "、". On success the limits ascending, each once; else
// nullopt with the reason (Chinese) in `why`: a value that is not a length, a limit of 0, none,
// or more than five different ones.
std::optional<std::vector<int64_t>> parseLimits(std::string_view text, std::string* why = nullptr);
// The limits as the statistics window shows them: "0.20 0.30".
std::string formatLimits(const std::vector<int64_t>& limitsUm);

// Checks and tidies options given one by one (the tool's --limit and --bin): limits sorted and
// each kept once, 1 to 5 of them, each and the bin width from 1 µm to 100 mm. False with the
// reason (Chinese) otherwise.
bool normalizeOptions(WidthStatsOptions& options, std::string* why = nullptr);

// The width of a record in whole micrometres when it is measured (its atof value greater than
// 0), else nullopt.
std::optional<int64_t> measuredMicrometres(std::string_view widthText);

struct LimitCount {
    int64_t limitUm = 0;
    size_t count = 0;   // measured records above the limit
    double percent = 0; // 100 × count ÷ measured (0 when nothing is measured)
};

struct WidthBin {
    int64_t lowUm = 0;
    int64_t highUm = 0; // exclusive; for an open bin the bound it would have had
    size_t count = 0;
    bool open = false; // the last bin of a capped histogram: every width from lowUm up
};

struct WidthGroup {
    std::string group; // GBK bytes, as in the list
    size_t records = 0;
    size_t measured = 0;
    int64_t maxUm = 0; // over the measured records (0 when none)
    double meanUm = 0; // over the measured records (0 when none)
    size_t over = 0;   // measured records above the lowest limit
};

struct WidthStats {
    WidthStatsOptions options;
    size_t records = 0;
    size_t measured = 0;
    size_t photos = 0;
    tessera::Summary width;       // micrometres, over the measured records
    std::vector<LimitCount> over; // one per limit, ascending
    std::vector<WidthBin>
        bins; // from 0 up to the bin of the maximum; none when nothing is measured
    std::vector<WidthGroup> groups; // in the order groups first appear
};

// Whether a record has a photograph (the pick's lookup); none given: no record has one.
using PhotoTest = std::function<bool(const CRecordStru&)>;

// The statistics of `records` (the list's rows in their order) for `options` (normalized).
WidthStats computeWidthStats(const std::vector<const CRecordStru*>& records,
                             const WidthStatsOptions& options, const PhotoTest& hasPhoto = {});

// The rows a statistics window works on: every row, or the checked rows, top to bottom.
std::vector<const CRecordStru*> recordsOf(const RecordRows& rows, bool checkedOnly);

// The statistics as `fallowmere-cli stats` prints them: TSV in UTF-8, one item a line (records,
// measured, photos; min, max, mean, median, stdev in mm with three decimals or "-"; one `over`
// line per limit; one `bin` line per bin; one `group` line per group with its name escaped as
// the tool's cells are).
std::string formatWidthStatsTsv(const WidthStats& stats);

} // namespace fallowmere
