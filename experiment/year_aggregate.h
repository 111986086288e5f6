#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "engine/history.h"
#include "experiment/bytes.h"
#include "experiment/histogram.h"

namespace kestravin {

/// The eight yearly statistics of one parameter set's finished runs, gathered without keeping
/// the runs: per year the values of the runs that reached it, and per year the last values of
/// the runs that ended in it, which stand for those runs in every later year. Merging
/// aggregates of parts of the runs gives the aggregate of all of them, in any order.
class YearAggregate {
 public:
  static constexpr int kStats = History::kArrayCount;
  using Stats = std::array<ValueHistogram, kStats>;
  /// avgFitness is kept in fixed point, in units of 1 / kAvgScale.
  static constexpr double kAvgScale = 4096.0;

  /// Adds a finished run whose history holds years 0..lastYear.
  void addRun(const History& history, std::int32_t lastYear);
  void merge(const YearAggregate& other);

  /// The last year any run reached; -1 when no run was added.
  std::int32_t lastYear() const { return static_cast<std::int32_t>(reached_.size()) - 1; }
  /// Calls visit for every year 0..lastYear() with the statistics over all runs, the runs
  /// that had ended counted with their last values.
  void visitYears(const std::function<void(std::int32_t, const Stats&)>& visit) const;

  void encode(ByteWriter& out) const;
  static YearAggregate decode(ByteReader& in);
  bool operator==(const YearAggregate&) const = default;

 private:
  std::vector<Stats> reached_;           // by year
  std::map<std::int32_t, Stats> ended_;  // by the year the runs ended
};

/// Mean and quartiles of one statistic of a year, in the statistic's own units.
struct YearPoint {
  double mean = 0, q1 = 0, median = 0, q3 = 0;
};
YearPoint describeYear(const YearAggregate::Stats& stats, int stat);

}  // namespace kestravin
