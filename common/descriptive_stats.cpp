#include "common/descriptive_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tessera {

Summary summarize(std::vector<int64_t>& values) {
    Summary s;
    s.count = values.size();
    if (values.empty())
        return s;
    long double sum = 0;
    s.min = s.max = values.front();
    for (int64_t v : values) {
        sum += v;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
    }
    const long double mean = sum / static_cast<long double>(values.size());
    s.mean = static_cast<double>(mean);
    // Second pass over the deviations: no cancellation, and equal values give exactly 0.
    long double squares = 0;
    for (int64_t v : values) {
        const long double d = static_cast<long double>(v) - mean;
        squares += d * d;
    }
    s.stdev = static_cast<double>(std::sqrt(squares / static_cast<long double>(values.size())));

    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid),
                     values.end());
    const int64_t upper = values[mid];
    if (values.size() % 2 == 1) {
        s.median = static_cast<double>(upper);
    } else {
        // The lower middle value is the largest of the half below the upper one.
        const int64_t lower =
            *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
        s.median = static_cast<double>((static_cast<long double>(lower) + upper) / 2);
    }
    return s;
}

std::string formatScaled(long double scaled, int decimals) {
    decimals = std::clamp(decimals, 0, 9);
    if (!std::isfinite(scaled))
        return scaled != scaled ? "-" : (scaled > 0 ? "inf" : "-inf");
    const long double rounded = std::round(std::fabs(scaled)); // halves away from zero
    // Beyond 2^63 whole units the text is of no use anyway; keep it finite and positive.
    const unsigned long long whole =
        rounded >= 9.2e18L ? 9200000000000000000ULL : static_cast<unsigned long long>(rounded);
    unsigned long long unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    std::string text = (scaled < 0 && whole != 0) ? "-" : "";
    text += std::to_string(whole / unit);
    if (decimals > 0) {
        std::string fraction = std::to_string(whole % unit);
        text += '.';
        text.append(static_cast<size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::string formatFixed(double value, int decimals) {
    long double scaled = value;
    for (int i = 0; i < std::clamp(decimals, 0, 9); ++i)
        scaled *= 10;
    return formatScaled(scaled, decimals);
}

} // namespace tessera
