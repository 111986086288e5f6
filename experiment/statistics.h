#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/simulation.h"
#include "experiment/run_record.h"

namespace kestravin {

/// The ends counted apart in a summary, in its column order; every other end counts as one
/// more column, "other".
inline constexpr std::array<RunEnd, 3> kNamedEnds = {RunEnd::kTimeLimit, RunEnd::kEfficientPlayer,
                                                     RunEnd::kExtinct};
inline constexpr std::size_t kEndColumns = kNamedEnds.size() + 1;
/// The column of an end: its place in kNamedEnds, or the last for any other.
std::size_t endColumn(RunEnd end);

/// Quantile q (0..1) of sorted values, interpolated linearly between order statistics (the
/// spreadsheets' and R's default). NaN when there are none.
double quantileOfSorted(const std::vector<double>& sorted, double q);

/// Student's t for a two-sided 95 % interval with df degrees of freedom (df >= 1).
double tCritical95(std::int64_t df);

/// The runs of one parameter set in figures.
struct SetSummary {
  std::int64_t runs = 0;
  std::array<std::int64_t, kEndColumns> ends{};  // runs per end column
  // Years to the first perfect player, over the runs that had one; NaN where undefined
  // (no such run; the interval needs two).
  std::int64_t perfectRuns = 0;
  double min, q1, median, q3, max, mean, meanLow, meanHigh;
};

/// Summarises the finished runs of one set.
SetSummary summarize(const std::vector<RunRecord>& runs);

}  // namespace kestravin
