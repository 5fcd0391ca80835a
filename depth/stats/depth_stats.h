#pragma once
// Statistics of crack depths over a depth window's rows: counts, the depth's minimum, maximum,
// mean, median and standard deviation, a table per component and per crack, and the rows of
// each crack for its depth profile. Model code: the statistics window, the statistics report,
// the spreadsheet export and `marrowby-cli stats` all compute them here.
//
// Component, crack and depth are the cells read by the atoi rule (what a DM file stores); a
// depth is measured when it is greater than 0. A crack is a pair (component, crack).

#include "common/descriptive_stats.h"
#include "depth/document/depth_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace marrowby {

struct DepthComponent {
    int32_t component = 0;
    size_t cracks = 0;           // distinct crack numbers
    size_t points = 0;           // rows
    tessera::RunningStats depth; // over the measured rows
};

struct DepthCrack {
    int32_t component = 0;
    int32_t crack = 0;
    size_t points = 0;           // rows
    tessera::RunningStats depth; // over the measured rows
    size_t firstRow = 0;         // where its rows begin in DepthStats::crackRows
};

struct DepthStats {
    size_t rows = 0;
    size_t measured = 0;
    tessera::Summary depth;                 // over the measured rows
    std::vector<DepthComponent> components; // in order of first appearance
    std::vector<DepthCrack> cracks;         // in order of first appearance
    // The row indices of every crack, crack by crack (in the order of `cracks`), each crack's
    // rows in row order: crack k's rows are crackRows[firstRow .. firstRow + points).
    std::vector<uint32_t> crackRows;
};

// The statistics of `rows` (a window's rows, all or the selected ones, in list order).
DepthStats computeDepthStats(const std::vector<DepthRow>& rows);

// The rows at `indices` (a window's selected rows), in the order given.
std::vector<DepthRow> rowsAt(const std::vector<DepthRow>& rows, const std::vector<size_t>& indices);

// A depth profile: the crack's measuring points in row order, the point number (atoi) as the
// label and the depth when it is measured.
struct DepthProfilePoint {
    int32_t point = 0;
    int32_t depth = 0;
    bool measured = false;
};
std::vector<DepthProfilePoint> depthProfile(const DepthStats& stats,
                                            const std::vector<DepthRow>& rows, size_t crack);

// The statistics as `marrowby-cli stats` prints them: TSV in UTF-8, one item a line: rows,
// measured, min, max, mean, median, stdev (depths with one decimal, "-" when nothing is
// measured), one `component` line per component (C CRACKS POINTS MAX MEAN) and one `crack` line
// per crack (C K POINTS MIN MAX MEAN).
std::string formatDepthStatsTsv(const DepthStats& stats);

} // namespace marrowby
