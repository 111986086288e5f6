#include "engine/history.h"

#include "engine/team.h"

namespace kestravin {

void History::allocHistory(std::int32_t maxGen) {
  freeHistory();
  if (maxGen < 0) return;
  const std::size_t n = static_cast<std::size_t>(maxGen) + 1;
  for (auto& array : ints_) array = std::make_unique_for_overwrite<std::int32_t[]>(n);
  avg_ = std::make_unique_for_overwrite<float[]>(n);
  size_ = static_cast<std::int32_t>(n);
}

void History::freeHistory() {
  for (auto& array : ints_) array.reset();
  avg_.reset();
  size_ = 0;
}

void History::recordHistory(const Team& team) {
  const std::int32_t y = team.year;
  if (y < 0 || y >= size_) return;
  ints_[kMaxFitness][y] = team.maxFitness;
  ints_[kMinFitness][y] = team.minFitness;
  ints_[kPopulation][y] = team.population;
  ints_[kBirths][y] = team.births;
  ints_[kDeaths][y] = team.deaths;
  ints_[kAgeDeaths][y] = team.ageDeaths;
  ints_[kFitDeaths][y] = team.fitDeaths;
  avg_[y] = team.avgFitness;
}

}  // namespace kestravin
