#include "bench/Stats.h"

#include <algorithm>
#include <cmath>

double Timings::min() const
{
    return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

double Timings::max() const
{
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

double Timings::quantile(const std::vector<double> &values, double q)
{
    if (values.empty())
        return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const double rank = q * double(sorted.size() - 1);
    const auto below = size_t(std::floor(rank));
    const size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - double(below)) * (sorted[above] - sorted[below]);
}
