#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "config/parameters.h"
#include "engine/thresholds.h"

namespace kestravin {

class History;
class Random;
class Team;

/// Simulates years of the genetic algorithm on a team. Holds only caches of thresholds,
/// which never change a result.
class YearlyCycle {
 public:
  /// Called, when set, after each of the first five phases of a year; never after the last.
  using Progress = std::function<void()>;

  /// Simulates one year: ageing, breeding, deaths and the removal of the dead, the
  /// statistics pass, and the history entry of the new year. Once begun, a year runs to its
  /// end. When the year's memory cannot be had it throws std::bad_alloc before it changes
  /// anything.
  void runYear(Team& team, const SimParams& params, Random& rng, History& history,
               const Progress& progress);

  /// Every player ages by one year; the flags of the year's passes are cleared.
  static void agePlayers(Team& team);
  /// The breeding pass, the bred flags clear: birth tests in list order, each with the next
  /// player that has not bred; skipped when the population of the last statistics pass has
  /// reached maxPop.
  void breedPlayers(Team& team, const SimParams& params, Random& rng);
  /// The death pass and the removal of the dead, in one walk: an age test above ageStart,
  /// then, unless that kills, a fitness test against last year's mean fitness.
  void removeDeaths(Team& team, const SimParams& params, Random& rng);

 private:
  class DeathTests;
  /// Makes room for the year's newborns and thresholds, so that the passes allocate nothing.
  void prepareYear(Team& team, const SimParams& params);
  /// Makes the memos ready for a death pass: age thresholds outlive the year, fitness
  /// thresholds depend on last year's mean.
  void prepareDeathMemos(const Team& team, const SimParams& params);
  const std::array<std::uint32_t, 100>& birthBounds(const SimParams& params);

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

}  // namespace kestravin
