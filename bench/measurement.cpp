#include "bench/measurement.h"

#include <algorithm>

namespace bench {

double MedianWallNs(const std::vector<Sample>& samples, size_t from, size_t to) {
  if (to <= from) return 0;
  std::vector<int64_t> walls;
  walls.reserve(to - from);
  for (size_t i = from; i < to; ++i) walls.push_back(samples[i].wallNs);
  std::nth_element(walls.begin(), walls.begin() + static_cast<long>(walls.size() / 2), walls.end());
  return static_cast<double>(walls[walls.size() / 2]);
}

std::vector<size_t> TenthEnds(size_t presses) {
  std::vector<size_t> ends;
  size_t parts = std::min<size_t>(10, presses);
  for (size_t i = 1; i <= parts; ++i) ends.push_back(presses * i / parts);
  return ends;
}

}  // namespace bench
