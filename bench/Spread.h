// The min, median and max of a benchmark's alternating runs: what every comparison prints.
#pragma once

#include <algorithm>
#include <vector>

namespace bench {

struct Spread {
    double min, median, max;
};

inline Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median =
        values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {values.front(), median, values.back()};
}

} // namespace bench
