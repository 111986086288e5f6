#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace kestravin {

/// Turns a real product into an int32 threshold: nearest float, truncated toward zero to
/// 64 bits (an infinity, a NaN or a magnitude of 2^63 or more giving -2^63), low 32 bits.
inline std::int32_t realToThreshold(double x) {
  // Only finite values below 2^63 truncate to a 64-bit integer; the others give -2^63,
  // whose low 32 bits are 0.
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(std::fabs(x) < kTwo63)) return 0;
  const auto rounded = static_cast<float>(x);  // decides borderline cases: 57.99...9 -> 58
  if (!(std::fabs(rounded) < static_cast<float>(kTwo63))) return 0;
  const auto truncated = static_cast<std::int64_t>(rounded);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncated));
}

/// The birth test's threshold of a player with this fertility.
inline std::int32_t birthThreshold(float fertility, std::int32_t birthChance) {
  const double f = fertility;
  return realToThreshold(((f + f) * 0.01) * birthChance);
}

/// The age test's threshold of a player of this age.
inline std::int32_t ageThreshold(std::int32_t age, std::int32_t ageStart, std::int32_t ageDeath) {
  return realToThreshold((static_cast<double>(age) / ageStart) * ageDeath);
}

/// The fitness test's threshold of a player with this fitness, against last year's mean.
inline std::int32_t fitThreshold(float avgFitness, std::int32_t fitness, std::int32_t fitDeath) {
  return realToThreshold((static_cast<double>(avgFitness) / fitness) * fitDeath);
}

/// Chance bounds (DrawRange::chanceBound) keyed by a small non-negative integer, each
/// computed on first use and kept until clear(). A clear costs only the keys used since.
class ThresholdMemo {
 public:
  /// The largest key kept; get() computes the values of larger ones every time.
  static constexpr std::size_t kMaxKey = 1u << 22;

  void clear() {
    if (usedLow_ < usedHigh_) {
      std::fill(values_.begin() + static_cast<std::ptrdiff_t>(usedLow_),
                values_.begin() + static_cast<std::ptrdiff_t>(usedHigh_), kUnset);
    }
    usedLow_ = std::numeric_limits<std::size_t>::max();
    usedHigh_ = 0;
  }
  /// Makes room for keys below `count` (at most kMaxKey + 1), so that get() and fill() of
  /// those keys allocate nothing. Throws std::bad_alloc, changing nothing, without memory.
  void reserveKeys(std::size_t count) {
    count = std::min(count, kMaxKey + 1);
    if (count > values_.size()) values_.resize(count + count / 2, kUnset);
  }

  template <typename Compute>
  std::uint32_t get(std::size_t key, Compute compute) {
    if (key >= values_.size()) {
      if (key > kMaxKey) return compute();
      values_.resize(key + 1 + key / 2, kUnset);
    }
    std::uint32_t& v = values_[key];
    // A value that happens to equal kUnset is computed again on every use: only slower.
    if (v == kUnset) {
      v = compute();
      usedLow_ = std::min(usedLow_, key);
      usedHigh_ = std::max(usedHigh_, key + 1);
    }
    return v;
  }

  /// Computes and keeps the values of keys first..last (first <= last <= kMaxKey);
  /// compute(key) gives the value of a key.
  template <typename Compute>
  void fill(std::size_t first, std::size_t last, Compute compute) {
    if (last >= values_.size()) values_.resize(last + 1 + last / 2, kUnset);
    for (std::size_t key = first; key <= last; ++key) values_[key] = compute(key);
    usedLow_ = std::min(usedLow_, first);
    usedHigh_ = std::max(usedHigh_, last + 1);
  }

  /// The memo for a loop: get() with the table's address held in a register. It follows
  /// the table when get() grows it, and stays valid across clears.
  class View {
   public:
    explicit View(ThresholdMemo& memo) : memo_(memo) { refresh(); }

    template <typename Compute>
    std::uint32_t get(std::size_t key, Compute compute) {
      if (key < size_) {
        const std::uint32_t v = values_[key];
        if (v != kUnset) return v;
      }
      const std::uint32_t v = memo_.get(key, compute);
      refresh();
      return v;
    }

   private:
    void refresh() {
      values_ = memo_.values_.data();
      size_ = memo_.values_.size();
    }
    ThresholdMemo& memo_;
    const std::uint32_t* values_ = nullptr;
    std::size_t size_ = 0;
  };

 private:
  // Chance bounds are 0, 2^32 - 1 or above 65536, never 1.
  static constexpr std::uint32_t kUnset = 1;
  std::vector<std::uint32_t> values_;
  std::size_t usedLow_ = std::numeric_limits<std::size_t>::max();  // keys set since the
  std::size_t usedHigh_ = 0;                                       // last clear
};

}  // namespace kestravin
