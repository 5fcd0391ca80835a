#include "common/chart.h"

#include "common/descriptive_stats.h"
#include "common/translate.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tessera {
namespace {

int atLeastOne(double pixels) {
    return std::max(1, static_cast<int>(std::lround(pixels)));
}

// The frame shared by both kinds of chart: title, axis titles, y ticks with grid lines, axes.
struct Frame {
    PageRect area;
    PageRect plot;
    double top = 1; // the y axis's end value
    bool empty = true;
};

Frame drawFrame(std::vector<PageOp>& ops, const std::string& title, const std::string& xTitle,
                const std::string& yTitle, double maxValue, bool hasValues, int decimals,
                const PageRect& area, const ChartStyle& s, int rightMargin) {
    Frame f;
    f.area = area;
    f.empty = !hasValues;
    const int lineH = s.labelFont.pixelHeight + s.pad;
    int y = area.top;
    if (!title.empty()) {
        const int h = s.titleFont.pixelHeight + 2 * s.pad;
        ops.push_back(textOp({area.left, y, area.right, y + h}, s.titleFont, title,
                             TextAlign::Center, s.textColor));
        y += h;
    }
    const double step = niceStep(maxValue, 5);
    // One step of room above the largest value, for the value written above its bar.
    const int ticks = std::max(1, static_cast<int>(std::floor(maxValue / step + 1e-9)) + 1);
    f.top = ticks * step;
    int labelW = 0;
    for (int t = 0; t <= ticks; ++t)
        labelW = std::max(labelW, estimateTextWidth(formatFixed(t * step, decimals), s.labelFont));
    if (!yTitle.empty()) {
        ops.push_back(textOp({area.left, y, area.right, y + lineH}, s.labelFont, yTitle,
                             TextAlign::Left, s.textColor));
        y += lineH;
    }
    const int bottomTexts = lineH + (xTitle.empty() ? 0 : lineH);
    f.plot = {area.left + labelW + 2 * s.pad, y + s.labelFont.pixelHeight / 2,
              area.right - std::max(s.pad, rightMargin), area.bottom - bottomTexts - s.pad};
    if (f.plot.right <= f.plot.left || f.plot.bottom <= f.plot.top) {
        f.empty = true; // too small to draw anything useful
        return f;
    }
    if (!xTitle.empty())
        ops.push_back(textOp({area.left, area.bottom - lineH, area.right, area.bottom}, s.labelFont,
                             xTitle, TextAlign::Center, s.textColor));
    if (!hasValues) {
        ops.push_back(lineOp(f.plot.left, f.plot.bottom, f.plot.right, f.plot.bottom, s.axisPen,
                             s.axisColor));
        ops.push_back(
            lineOp(f.plot.left, f.plot.top, f.plot.left, f.plot.bottom, s.axisPen, s.axisColor));
        ops.push_back(textOp(f.plot, s.labelFont, translate("Chart", "无数据"), TextAlign::Center,
                             s.textColor));
        return f;
    }
    const int plotH = f.plot.bottom - f.plot.top;
    for (int t = 0; t <= ticks; ++t) {
        const int ty = f.plot.bottom - static_cast<int>(std::lround(plotH * (t * step) / f.top));
        if (t > 0)
            ops.push_back(lineOp(f.plot.left, ty, f.plot.right, ty, s.gridPen, s.gridColor));
        ops.push_back(textOp({area.left, ty - lineH / 2, f.plot.left - s.pad, ty + lineH / 2 + 1},
                             s.labelFont, formatFixed(t * step, decimals), TextAlign::Center,
                             s.textColor));
    }
    return f;
}

void drawAxes(std::vector<PageOp>& ops, const Frame& f, const ChartStyle& s) {
    ops.push_back(
        lineOp(f.plot.left, f.plot.bottom, f.plot.right, f.plot.bottom, s.axisPen, s.axisColor));
    ops.push_back(
        lineOp(f.plot.left, f.plot.top, f.plot.left, f.plot.bottom, s.axisPen, s.axisColor));
}

// Labels under the x axis: label i centred at x(i), every k-th one so that none overlap.
template <class XOf>
void drawXLabels(std::vector<PageOp>& ops, const std::vector<std::string>& labels, XOf xOf,
                 double spacing, const Frame& f, const ChartStyle& s) {
    if (labels.empty() || spacing <= 0)
        return;
    int widest = 0;
    for (const std::string& l : labels)
        widest = std::max(widest, estimateTextWidth(l, s.labelFont));
    const double needed = widest + 2.0 * s.pad;
    const size_t every = std::max<size_t>(1, static_cast<size_t>(std::ceil(needed / spacing)));
    const int half = static_cast<int>(std::ceil(needed / 2));
    const int top = f.plot.bottom + s.pad / 2;
    const int bottom = top + s.labelFont.pixelHeight + s.pad;
    int previousRight = INT_MIN;
    for (size_t i = 0; i < labels.size(); i += every) {
        const int x = static_cast<int>(std::lround(xOf(i)));
        ops.push_back(
            lineOp(x, f.plot.bottom, x, f.plot.bottom + s.pad / 2, s.axisPen, s.axisColor));
        // Labels at the ends are moved inwards rather than cut off at the chart's edges; one
        // that would then cover its neighbour is left out.
        const int left =
            std::clamp(x - half, f.area.left, std::max(f.area.left, f.area.right - 2 * half));
        if (left + s.pad < previousRight) // a pixel or two of rounding is no overlap
            continue;
        previousRight = left + 2 * half;
        ops.push_back(textOp({left, top, left + 2 * half, bottom}, s.labelFont, labels[i],
                             TextAlign::Center, s.textColor));
    }
}

} // namespace

ChartStyle chartStyleFor(int dpiX, int dpiY) {
    ChartStyle s;
    const int dpi = std::max(1, std::min(dpiX, dpiY));
    s.titleFont = {"宋体", fontPixelHeight(10, dpiY), 700};
    s.labelFont = {"宋体", fontPixelHeight(8, dpiY), 400};
    s.axisPen = atLeastOne(mmToPixels(0.25, dpi));
    s.dataPen = atLeastOne(mmToPixels(0.35, dpi));
    s.markerPen = atLeastOne(mmToPixels(0.35, dpi));
    s.gridPen = atLeastOne(mmToPixels(0.1, dpi));
    s.pad = atLeastOne(mmToPixels(1.2, dpi));
    s.pointSize = std::max(3, static_cast<int>(std::lround(mmToPixels(1.2, dpi))));
    return s;
}

double niceStep(double maxValue, int ticks) {
    if (!(maxValue > 0) || ticks < 1)
        return 1;
    const double raw = maxValue / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

int estimateTextWidth(const std::string& text, const PageFont& font) {
    double w = 0;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        w += len == 1 ? 0.55 : 1.0;
        i += len;
    }
    return static_cast<int>(std::ceil(w * font.pixelHeight));
}

std::vector<PageOp> drawBarChart(const BarChart& chart, const PageRect& area, const ChartStyle& s) {
    std::vector<PageOp> ops;
    double maxValue = 0;
    for (double v : chart.values)
        maxValue = std::max(maxValue, v);
    // Labels on the bar edges: room for half the last one right of the plot.
    const bool edgeLabels = chart.labels.size() == chart.values.size() + 1;
    const int rightMargin =
        edgeLabels ? estimateTextWidth(chart.labels.back(), s.labelFont) / 2 + s.pad : 0;
    const Frame f = drawFrame(ops, chart.title, chart.xTitle, chart.yTitle, maxValue,
                              !chart.values.empty(), chart.valueDecimals, area, s, rightMargin);
    if (f.empty)
        return ops;
    const double n = static_cast<double>(chart.values.size());
    const double plotW = f.plot.right - f.plot.left;
    const double barW = plotW / n;
    auto xAt = [&](double position) { return f.plot.left + position * barW; };
    const double gap = barW >= 6 ? barW * 0.1 : 0;
    const int plotH = f.plot.bottom - f.plot.top;
    for (size_t i = 0; i < chart.values.size(); ++i) {
        const double v = chart.values[i];
        if (!(v > 0))
            continue;
        const int h = static_cast<int>(std::lround(plotH * v / f.top));
        const int x0 = static_cast<int>(std::lround(xAt(static_cast<double>(i)) + gap));
        const int x1 = std::max(x0 + 1, static_cast<int>(std::lround(xAt(i + 1.0) - gap)));
        ops.push_back(fillOp({x0, f.plot.bottom - h, x1, f.plot.bottom}, s.barColor));
        if (chart.showValues) {
            const std::string text = formatFixed(v, chart.valueDecimals);
            if (estimateTextWidth(text, s.labelFont) <= barW) {
                const int ty = f.plot.bottom - h - s.labelFont.pixelHeight - s.pad;
                ops.push_back(textOp({static_cast<int>(xAt(static_cast<double>(i))), ty,
                                      static_cast<int>(xAt(i + 1.0)), f.plot.bottom - h},
                                     s.labelFont, text, TextAlign::Center, s.textColor));
            }
        }
    }
    drawAxes(ops, f, s);
    if (edgeLabels)
        drawXLabels(
            ops, chart.labels, [&](size_t i) { return xAt(static_cast<double>(i)); }, barW, f, s);
    else
        drawXLabels(
            ops, chart.labels, [&](size_t i) { return xAt(i + 0.5); }, barW, f, s);
    for (const ChartMarker& m : chart.markers) {
        if (!(m.position >= 0 && m.position <= n))
            continue;
        const int x = static_cast<int>(std::lround(xAt(m.position)));
        ops.push_back(lineOp(x, f.plot.top, x, f.plot.bottom, s.markerPen, m.color));
        if (!m.label.empty()) {
            const int w = estimateTextWidth(m.label, s.labelFont) + s.pad;
            // Beside the line, on its right where there is room, else on its left.
            const bool right = x + s.pad + w <= f.plot.right;
            const int left = right ? x + s.pad : x - s.pad - w;
            ops.push_back(
                textOp({left, f.plot.top, left + w, f.plot.top + s.labelFont.pixelHeight + s.pad},
                       s.labelFont, m.label, TextAlign::Left, m.color));
        }
    }
    return ops;
}

std::vector<PageOp> drawLineChart(const LineChart& chart, const PageRect& area,
                                  const ChartStyle& s) {
    std::vector<PageOp> ops;
    double maxValue = 0;
    bool any = false;
    for (const auto& v : chart.values)
        if (v) {
            any = true;
            maxValue = std::max(maxValue, *v);
        }
    const Frame f = drawFrame(ops, chart.title, chart.xTitle, chart.yTitle, maxValue, any,
                              chart.valueDecimals, area, s, 0);
    if (f.empty)
        return ops;
    const double n = static_cast<double>(chart.values.size());
    const double spacing = (f.plot.right - f.plot.left) / n;
    auto xAt = [&](size_t i) { return f.plot.left + (i + 0.5) * spacing; };
    const int plotH = f.plot.bottom - f.plot.top;
    auto yAt = [&](double v) {
        return f.plot.bottom - static_cast<int>(std::lround(plotH * std::max(0.0, v) / f.top));
    };
    drawAxes(ops, f, s);
    drawXLabels(ops, chart.labels, xAt, spacing, f, s);
    // The line joins neighbouring values; a point without a value breaks it.
    for (size_t i = 1; i < chart.values.size(); ++i)
        if (chart.values[i - 1] && chart.values[i])
            ops.push_back(lineOp(static_cast<int>(std::lround(xAt(i - 1))),
                                 yAt(*chart.values[i - 1]), static_cast<int>(std::lround(xAt(i))),
                                 yAt(*chart.values[i]), s.dataPen, s.lineColor));
    const int half = s.pointSize / 2;
    for (size_t i = 0; i < chart.values.size(); ++i)
        if (chart.values[i]) {
            const int x = static_cast<int>(std::lround(xAt(i)));
            const int y = yAt(*chart.values[i]);
            ops.push_back(fillOp(
                {x - half, y - half, x - half + s.pointSize, y - half + s.pointSize}, s.lineColor));
        }
    return ops;
}

} // namespace tessera
