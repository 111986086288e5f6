#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace kestravin {

class Team;

/// The fitness figures of the statistics pass, gathered player by player in list order by
/// whichever pass walks the list.
class FitnessTally {
 public:
  /// Counts a player when `counted`, without a branch on that.
  void add(std::int32_t fitness, std::int32_t id, bool counted = true) {
    // Masks rather than a choice, which the compiler might turn into a branch.
    const auto mask = -static_cast<std::int64_t>(counted);
    sum_ += static_cast<std::int64_t>(fitness) & mask;
    count_ += static_cast<std::size_t>(counted);
    // Strict comparisons keep the earliest player of each extreme. A new extreme is rare
    // after the first players, so these are branches: selecting without one would chain
    // every player's comparison to the one before.
    if (__builtin_expect(fitness > hi_, 0) && counted) {
      hi_ = fitness;
      hiId_ = id;
    }
    if (__builtin_expect(fitness < lo_, 0) && counted) {
      lo_ = fitness;
      loId_ = id;
    }
  }

 private:
  friend void finishStatistics(Team& team, const FitnessTally& tally);
  std::int64_t sum_ = 0;
  std::size_t count_ = 0;
  // Wider than any fitness, so the first player counted always sets both.
  std::int64_t hi_ = std::numeric_limits<std::int64_t>::min();
  std::int64_t lo_ = std::numeric_limits<std::int64_t>::max();
  std::int32_t hiId_ = 0;
  std::int32_t loId_ = 0;
};

/// Sets population, and raises highestPop / lowers lowestPop on a strictly greater /
/// smaller value.
void countPopulation(Team& team);

/// Sets avgFitness (0 for an empty team; the exact sum rounded to float, then divided in
/// double) and raises bestAvgFitness; counts the population on the way.
void updateMeanFitness(Team& team);

/// Sets maxFitness and bestId (the earliest player with it; an empty team keeps maxFitness
/// and gets bestId 0) and raises bestMaxFitness.
void updateMaxFitness(Team& team);

/// Sets minFitness and worstId, as updateMaxFitness does for the highest.
void updateMinFitness(Team& team);

/// The end-of-year statistics pass: mean, highest, lowest; then year + 1.
void updateStatistics(Team& team);

/// What updateStatistics does with the figures of the living, tallied by another pass.
void finishStatistics(Team& team, const FitnessTally& tally);

}  // namespace kestravin
