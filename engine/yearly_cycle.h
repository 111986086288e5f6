#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "config/parameters.h"
#include "engine/random.h"

namespace kestravin {

class History;
class Team;

/// Turns a real product into an int32 threshold: nearest float, truncated toward zero to
/// 64 bits (an infinity, a NaN or a magnitude of 2^63 or more giving -2^63), low 32 bits.
std::int32_t realToThreshold(double x);

/// Draws once over the range and succeeds when the draw is below the threshold. A range
/// outside 1..65535 draws nothing and fails.
inline bool chanceTest(Random& rng, const DrawRange& range, std::int32_t threshold) {
  if (!range.valid()) return false;
  return static_cast<std::int32_t>(rng.randomBelow(range)) < threshold;
}

/// Chance bounds (DrawRange::chanceBound) keyed by a small non-negative integer, each
/// computed on first use and kept until clear(). A clear costs only the range of keys used
/// since the last one.
class ThresholdMemo {
 public:
  /// The largest key kept; get() computes the values of larger ones every time.
  static constexpr std::size_t kMaxKey = 1u << 22;

  void clear();

  template <typename Compute>
  std::uint32_t get(std::size_t key, Compute compute) {
    if (key >= values_.size()) {
      if (key > kMaxKey) return compute();
      values_.resize(key + 1 + key / 2, kUnset);
    }
    std::uint32_t& v = values_[key];
    // A value that happens to equal kUnset (never a chance bound) is computed again on
    // every use: the same value, only slower.
    if (v == kUnset) {
      v = compute();
      usedLow_ = std::min(usedLow_, key);
      usedHigh_ = std::max(usedHigh_, key + 1);
    }
    return v;
  }

  /// Computes and keeps the values of keys first..last (first <= last <= 2^22), as get()
  /// would on their first use; compute(key) gives the value of a key.
  template <typename Compute>
  void fill(std::size_t first, std::size_t last, Compute compute) {
    if (last >= values_.size()) values_.resize(last + 1 + last / 2, kUnset);
    for (std::size_t key = first; key <= last; ++key) values_[key] = compute(key);
    usedLow_ = std::min(usedLow_, first);
    usedHigh_ = std::max(usedHigh_, last + 1);
  }

  /// The memo for a loop: the same values as get(), with the table's address held in a
  /// register. It follows the table when get() grows it, and stays valid across clears.
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
      refresh();  // the table may have grown
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
  // Chance bounds are 0, 2^32 - 1 or above 65536.
  static constexpr std::uint32_t kUnset = 1;
  std::vector<std::uint32_t> values_;
  std::size_t usedLow_ = std::numeric_limits<std::size_t>::max();  // keys set since the
  std::size_t usedHigh_ = 0;                                       // last clear, as a range
};

/// Simulates years of the genetic algorithm on a team. Holds only caches of thresholds,
/// which never change a result.
class YearlyCycle {
 public:
  /// Called after each of the first five phases of a year; never after the last one.
  using Progress = std::function<void()>;

  /// Simulates one year: ageing, breeding, deaths, removal of the dead, the statistics
  /// pass, and the history entry of the new year. Once begun, a year runs to its end.
  void runYear(Team& team, const SimParams& params, Random& rng, History& history,
               const Progress& progress);

  /// The breeding pass: birth tests in list order, each with the next player that has not
  /// bred; skipped when the population of the last statistics pass has reached maxPop.
  void breedPlayers(Team& team, const SimParams& params, Random& rng);
  /// The death pass: an age test above ageStart, then a fitness test against last year's
  /// mean fitness.
  void markDeaths(Team& team, const SimParams& params, Random& rng);

 private:
  class DeathTests;
  /// Makes the memos ready for a death pass: age thresholds outlive the year, fitness
  /// thresholds depend on last year's mean.
  void prepareDeathMemos(const Team& team, const SimParams& params);
  /// The death pass and the removal of the dead, as one walk; the survivors' dead flags
  /// are left as they are.
  void removeDeaths(Team& team, const SimParams& params, Random& rng);
  /// The breeding pass, the bred flags already clear.
  void breedClearedPlayers(Team& team, const SimParams& params, Random& rng);

  ThresholdMemo ageMemo_;
  ThresholdMemo fitMemo_;
  std::int32_t ageMemoStart_ = 0;
  std::int32_t ageMemoDeath_ = 0;
  std::int32_t ageMemoDiv_ = 0;
  bool ageMemoValid_ = false;
  std::array<std::uint32_t, 100> birthTable_{};  // chance bounds by whole fertility
  std::int32_t birthTableChance_ = 0;
  std::int32_t birthTableDiv_ = 0;
  bool birthTableValid_ = false;
};

/// Every player ages by one year; the flags of the breeding and death passes are cleared.
void agePlayers(Team& team);
/// Clears every player's bred flag and the births count.
void clearBredFlags(Team& team);
/// One birth from initiator a and partner b (indices): crossover, maybe a mutation; the
/// newborn is appended and its index returned. The list must have room for one more
/// player (Team::reserve) so that a and b stay in place.
std::size_t createChild(Team& team, std::size_t a, std::size_t b, const SimParams& params,
                        Random& rng);
/// Removes the players marked dead, keeping the order of the others.
void removeDead(Team& team);

}  // namespace kestravin
