#pragma once
// Descriptive statistics of whole-number measurements (micrometres of a crack width, depth
// values of the depth meter) and the decimal formatting of their results. Model code.
//
// Values are whole numbers in the measurement's smallest unit, so minimum, maximum and counts are
// exact, and the mean, median and standard deviation are formed from exact sums.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessera {

struct Summary {
    size_t count = 0;
    int64_t min = 0;
    int64_t max = 0;
    double mean = 0;   // arithmetic mean
    double median = 0; // the middle value; of an even count the mean of the two middle values
    double stdev = 0;  // population standard deviation (divided by the count)

    bool empty() const { return count == 0; }
};

// The summary of `values` (any order; the vector is reordered while the median is found).
// An empty vector gives an empty summary.
Summary summarize(std::vector<int64_t>& values);

// Count, maximum and sum of values added one by one (the figures of a group's table row).
class RunningStats {
public:
    void add(int64_t value) {
        if (count_ == 0 || value > max_)
            max_ = value;
        if (count_ == 0 || value < min_)
            min_ = value;
        sum_ += value;
        ++count_;
    }
    size_t count() const { return count_; }
    int64_t min() const { return min_; }
    int64_t max() const { return max_; }
    double mean() const { return count_ ? static_cast<double>(sum_ / count_) : 0.0; }

private:
    size_t count_ = 0;
    int64_t min_ = 0;
    int64_t max_ = 0;
    long double sum_ = 0; // exact up to 2^64
};

// `scaled` (a value times 10^decimals, e.g. micrometres for millimetres with 3 decimals) rounded
// to a whole number, halves away from zero, and written with `decimals` places: (150.5, 3) gives
// "0.151", (-7, 1) gives "-0.7". Unlike printf("%.3f"), the rounding is decimal: 0.1505 mm
// rounds up. `decimals` is 0 to 9.
std::string formatScaled(long double scaled, int decimals);

// `value` with `decimals` places, rounded as formatScaled does: (12.25, 1) gives "12.3".
std::string formatFixed(double value, int decimals);

} // namespace tessera
