#pragma once

#include <cstdint>

namespace kestravin {

/// A team's statistics at its last statistics pass, the counts of the last year's passes, and
/// the run maxima since the reset.
struct TeamStats {
  std::int32_t maxFitness = 0;      // highest fitness among the living
  std::int32_t bestId = 0;          // the earliest living player with maxFitness; 0 for none
  std::int32_t bestMaxFitness = 0;  // highest maxFitness of the run
  std::int32_t minFitness = 0;      // lowest fitness among the living
  std::int32_t worstId = 0;         // the earliest living player with minFitness; 0 for none
  std::int32_t population = 0;      // living players
  std::int32_t highestPop = 0;      // highest population of the run
  std::int32_t lowestPop = 0;       // lowest population of the run
  std::int32_t births = 0;          // births of the last breeding pass (year 0: the founders)
  std::int32_t maxBirths = 0;
  std::int32_t deaths = 0;  // ageDeaths + fitDeaths of the last year
  std::int32_t maxDeaths = 0;
  std::int32_t ageDeaths = 0;
  std::int32_t maxAgeDeaths = 0;
  std::int32_t fitDeaths = 0;
  std::int32_t maxFitDeaths = 0;
  std::int32_t year = 0;        // years simulated since the reset
  float avgFitness = 0.0f;      // mean fitness of the living; 0 for none
  float bestAvgFitness = 0.0f;  // highest avgFitness of the run
};

}  // namespace kestravin
