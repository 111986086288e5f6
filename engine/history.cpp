#include "engine/history.h"

#include "engine/team_stats.h"

namespace kestravin {

void History::allocHistory(std::int32_t maxGen) {
  freeHistory();
  if (maxGen < 0) return;
  const std::size_t n = static_cast<std::size_t>(maxGen) + 1;
  for (auto& array : ints_) array.reset(new std::int32_t[n]);
  avg_.reset(new float[n]);
  size_ = static_cast<std::int32_t>(n);
}

void History::freeHistory() {
  for (auto& array : ints_) array.reset();
  avg_.reset();
  size_ = 0;
}

void History::recordHistory(const TeamStats& stats) {
  const std::int32_t y = stats.year;
  if (y < 0 || y >= size_) return;
  ints_[kMaxFitness][y] = stats.maxFitness;
  ints_[kMinFitness][y] = stats.minFitness;
  ints_[kPopulation][y] = stats.population;
  ints_[kBirths][y] = stats.births;
  ints_[kDeaths][y] = stats.deaths;
  ints_[kAgeDeaths][y] = stats.ageDeaths;
  ints_[kFitDeaths][y] = stats.fitDeaths;
  avg_[y] = stats.avgFitness;
}

}  // namespace kestravin
