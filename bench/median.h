#pragma once

#include <algorithm>
#include <vector>

namespace lumio::bench {

// The middle value of a benchmark's rounds (the mean of the two middle ones for an even
// count), so that one disturbed round does not move the figure.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace lumio::bench
