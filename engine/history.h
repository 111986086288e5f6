#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace kestravin {

struct TeamStats;

/// The eight per-year statistics of a run, entry y describing the end of year y and entry 0
/// the founders. Entries above the last recorded year hold no defined value.
class History {
 public:
  /// The arrays in their fixed order; graph k plots array k.
  enum Array : int {
    kMaxFitness,
    kMinFitness,
    kPopulation,
    kBirths,
    kDeaths,
    kAgeDeaths,
    kFitDeaths,
    kAvgFitness,
    kArrayCount
  };

  /// Replaces the arrays by fresh ones of maxGen + 1 entries (none for maxGen < 0).
  void allocHistory(std::int32_t maxGen);
  /// Releases the arrays.
  void freeHistory();
  /// Writes the eight values of stats.year; a year outside the arrays is not written.
  void recordHistory(const TeamStats& stats);

  /// Number of entries per array (0 when released).
  std::int32_t size() const { return size_; }
  bool allocated() const { return size_ > 0; }
  /// Entry y of one of the seven int32 arrays (k < kAvgFitness).
  std::int32_t intEntry(int k, std::int32_t y) const { return ints_[k][y]; }
  /// Entry y of the avgFitness array.
  float avgFitness(std::int32_t y) const { return avg_[y]; }

 private:
  std::int32_t size_ = 0;
  // Left uninitialised, so untouched years cost no resident memory.
  std::array<std::unique_ptr<std::int32_t[]>, kAvgFitness> ints_;
  std::unique_ptr<float[]> avg_;
};

}  // namespace kestravin
