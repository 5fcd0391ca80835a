#pragma once
// Charts as page operations (common/page.h): a bar chart (histograms, one bar per category) and
// a line chart (a profile over measuring points). Model code: a window paints the operations with
// the painter adapter exactly as the printer, the preview and the PDF do, and tests read them.
//
// A chart fills a rectangle of the device: its title at the top, the y axis title above the
// plot's left edge (texts are never rotated), tick labels left of the y axis, category labels
// under the x axis (as many as fit without overlapping: every k-th when they are dense), the x
// axis title at the bottom. The y axis starts at 0 and ends at a round value (1, 2 or 5 times a
// power of ten per step) at or above the largest value. A chart without values shows "无数据".

#include "common/page.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessera {

// Sizes and colours of a chart on one device; chartStyleFor gives the usual ones.
struct ChartStyle {
    PageFont titleFont;
    PageFont labelFont;
    int axisPen = 1;   // axes and bar outlines
    int gridPen = 1;   // horizontal grid lines at the y ticks
    int dataPen = 1;   // the line of a line chart
    int markerPen = 1; // marker lines (limits)
    int pad = 4;       // space between texts and lines
    int pointSize = 5; // the square drawn at each value of a line chart
    uint32_t barColor = 0x4F81BD;
    uint32_t lineColor = 0x1F5FA8;
    uint32_t gridColor = 0xD9D9D9;
    uint32_t axisColor = kPageBlack;
    uint32_t textColor = kPageBlack;
};

// The style for a device of `dpiX` × `dpiY` pixels per inch (a printer, a PDF, or a window's
// logical resolution): title 10 points bold and labels 8 points in "宋体", axes 0.25 mm, data and
// marker lines 0.35 mm, grid lines 0.1 mm (at least one pixel each), padding 1.2 mm.
ChartStyle chartStyleFor(int dpiX, int dpiY);

// A vertical line across the plot at `position`, counted in bar widths from the left edge of the
// first bar (bar k spans k to k + 1), labelled at its top. Positions outside the bars are not
// drawn.
struct ChartMarker {
    double position = 0;
    std::string label; // UTF-8
    uint32_t color = 0xC00000;
};

struct BarChart {
    std::string title, xTitle, yTitle; // UTF-8
    std::vector<double> values;        // one bar each, from 0 (negative values draw no bar)
    // Labels under the x axis: either one per bar (centred under it) or one per bar edge
    // (values.size() + 1, centred under the edges, for the bins of a histogram).
    std::vector<std::string> labels;
    std::vector<ChartMarker> markers;
    int valueDecimals = 0;  // decimals of the tick labels and of the values above the bars
    bool showValues = true; // each bar's value above it, where it fits
};

struct LineChart {
    std::string title, xTitle, yTitle;
    std::vector<std::string> labels;           // one per point, under the x axis
    std::vector<std::optional<double>> values; // one per point; none: no value (a gap)
    int valueDecimals = 0;
};

// The operations of the chart in `area`, in drawing order.
std::vector<PageOp> drawBarChart(const BarChart& chart, const PageRect& area,
                                 const ChartStyle& style);
std::vector<PageOp> drawLineChart(const LineChart& chart, const PageRect& area,
                                  const ChartStyle& style);

// A round step for an axis from 0 to `maxValue` with about `ticks` steps (1, 2 or 5 times a
// power of ten; 1 for a maximum of 0 or less).
double niceStep(double maxValue, int ticks);

// An estimate of the width of `text` in `font` (Latin characters about half as wide as the font
// is high, others as wide): enough to keep labels from overlapping.
int estimateTextWidth(const std::string& text, const PageFont& font);

} // namespace tessera
