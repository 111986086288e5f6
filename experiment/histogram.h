#pragma once

#include <cstdint>
#include <vector>

#include "experiment/bytes.h"

namespace kestravin {

/// Counts of int32 values in at most kMaxBins bins, for quartiles in bounded memory. The bins
/// are exact values while the values take few enough distinct values, and otherwise ranges of
/// 2, 4, 8, ... values: the narrowest width that needs no more bins. So the state depends only
/// on the values added, not on their order or on how histograms were merged.
class ValueHistogram {
 public:
  static constexpr std::size_t kMaxBins = 128;

  /// Adds count copies of value.
  void add(std::int32_t value, std::uint32_t count = 1);
  /// Adds every value of another histogram.
  void merge(const ValueHistogram& other);

  std::uint64_t count() const;
  /// The exact sum of the values added.
  std::int64_t sum() const { return sum_; }
  /// Whether each bin is one value, so that quantiles are exact.
  bool exact() const { return shift_ == 0; }
  /// Quantile q (0..1) interpolated linearly between order statistics, as spreadsheets do;
  /// within a wider bin its values are taken as evenly spread. NaN when empty.
  double quantile(double q) const;

  void encode(ByteWriter& out) const;
  static ValueHistogram decode(ByteReader& in);
  bool operator==(const ValueHistogram&) const = default;

 private:
  struct Bin {
    std::int32_t key;  // value >> shift_
    std::uint32_t count;
    bool operator==(const Bin&) const = default;
  };
  void insert(std::int32_t key, std::uint32_t count);
  void widen(int shift);
  double orderStatistic(std::uint64_t rank) const;

  std::vector<Bin> bins_;  // by key
  std::int64_t sum_ = 0;
  std::uint8_t shift_ = 0;
};

}  // namespace kestravin
