#include "experiment/statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestravin {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Two-sided 95 % points of Student's t for 1 to 30 degrees of freedom.
constexpr std::array<double, 30> kT95 = {
    12.7062, 4.3027, 3.1824, 2.7764, 2.5706, 2.4469, 2.3646, 2.3060, 2.2622, 2.2281,
    2.2010,  2.1788, 2.1604, 2.1448, 2.1314, 2.1199, 2.1098, 2.1009, 2.0930, 2.0860,
    2.0796,  2.0739, 2.0687, 2.0639, 2.0595, 2.0555, 2.0518, 2.0484, 2.0452, 2.0423};

}  // namespace

std::size_t endColumn(RunEnd end) {
  for (std::size_t k = 0; k < kNamedEnds.size(); ++k) {
    if (kNamedEnds[k] == end) return k;
  }
  return kNamedEnds.size();
}

double quantileOfSorted(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return kNaN;
  const double h = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(h));
  if (below + 1 >= sorted.size()) return sorted[below];
  return sorted[below] + (h - static_cast<double>(below)) * (sorted[below + 1] - sorted[below]);
}

double tCritical95(std::int64_t df) {
  if (df <= 0) return kNaN;
  if (df <= static_cast<std::int64_t>(kT95.size())) return kT95[static_cast<std::size_t>(df - 1)];
  // Beyond the table, the Cornish-Fisher expansion around the normal point; within 1e-4.
  const double z = 1.959963984540054, v = static_cast<double>(df);
  const double z2 = z * z;
  const double g1 = (z2 + 1) * z / 4;
  const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
  const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
  const double g4 = ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) * z / 92160;
  return z + (g1 + (g2 + (g3 + g4 / v) / v) / v) / v;
}

SetSummary summarize(const std::vector<RunRecord>& runs) {
  SetSummary s{};
  std::vector<double> years;
  for (const RunRecord& r : runs) {
    ++s.runs;
    ++s.ends[endColumn(r.end)];
    if (r.perfect()) years.push_back(r.firstPerfectYear);
  }
  std::sort(years.begin(), years.end());
  s.perfectRuns = static_cast<std::int64_t>(years.size());
  s.min = years.empty() ? kNaN : years.front();
  s.max = years.empty() ? kNaN : years.back();
  s.q1 = quantileOfSorted(years, 0.25);
  s.median = quantileOfSorted(years, 0.5);
  s.q3 = quantileOfSorted(years, 0.75);
  s.mean = s.meanLow = s.meanHigh = kNaN;
  if (years.empty()) return s;
  double sum = 0;
  for (double y : years) sum += y;
  const auto n = static_cast<double>(years.size());
  s.mean = sum / n;
  if (years.size() < 2) return s;
  double squares = 0;
  for (double y : years) squares += (y - s.mean) * (y - s.mean);
  const double half = tCritical95(s.perfectRuns - 1) * std::sqrt(squares / (n - 1) / n);
  s.meanLow = s.mean - half;
  s.meanHigh = s.mean + half;
  return s;
}

}  // namespace kestravin
