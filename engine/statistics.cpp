#include "engine/statistics.h"

#include <cstdint>

#include "engine/team.h"

namespace kestravin {

void countPopulation(Team& team) {
  const auto n = static_cast<std::int32_t>(team.size());
  team.population = n;
  if (n > team.highestPop) team.highestPop = n;
  if (n < team.lowestPop) team.lowestPop = n;
}

void updateMeanFitness(Team& team) {
  std::int64_t sum = 0;
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) sum += team.player(i).fitness;
  // The exact sum becomes the nearest float before the division.
  const auto s = static_cast<float>(sum);
  countPopulation(team);
  team.avgFitness =
      team.population == 0 ? 0.0f : static_cast<float>(static_cast<double>(s) / team.population);
  if (team.avgFitness > team.bestAvgFitness) team.bestAvgFitness = team.avgFitness;
}

namespace {

// The id of the earliest player whose fitness beats all before it under `better`.
template <typename Better>
void findExtreme(const Team& team, std::int32_t& value, std::int32_t& id, Better better) {
  if (team.empty()) {
    id = 0;
    return;
  }
  std::int32_t heldValue = team.player(0).fitness;
  std::int32_t heldId = team.player(0).id;
  const std::size_t n = team.size();
  for (std::size_t i = 1; i < n; ++i) {
    const Player& p = team.player(i);
    if (better(p.fitness, heldValue)) {
      heldValue = p.fitness;
      heldId = p.id;
    }
  }
  value = heldValue;
  id = heldId;
}

}  // namespace

void updateMaxFitness(Team& team) {
  findExtreme(team, team.maxFitness, team.bestId, [](auto a, auto b) { return a > b; });
  if (team.maxFitness > team.bestMaxFitness) team.bestMaxFitness = team.maxFitness;
}

void updateMinFitness(Team& team) {
  findExtreme(team, team.minFitness, team.worstId, [](auto a, auto b) { return a < b; });
}

void updateStatistics(Team& team) {
  // One walk gives what the three passes give: the same sum, and strict comparisons keep
  // the earliest player of each extreme.
  std::int64_t sum = 0;
  const std::size_t n = team.size();
  std::int32_t hi = 0, lo = 0, hiId = 0, loId = 0;
  if (n > 0) {
    hi = lo = team.player(0).fitness;
    hiId = loId = team.player(0).id;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const Player& p = team.player(i);
    sum += p.fitness;
    // A new extreme is rare after the first players, so these stay branches: a select
    // would chain every player's comparison to the one before.
    if (__builtin_expect(p.fitness > hi, 0)) {
      hi = p.fitness;
      hiId = p.id;
    }
    if (__builtin_expect(p.fitness < lo, 0)) {
      lo = p.fitness;
      loId = p.id;
    }
  }
  const auto s = static_cast<float>(sum);
  countPopulation(team);
  team.avgFitness =
      team.population == 0 ? 0.0f : static_cast<float>(static_cast<double>(s) / team.population);
  if (team.avgFitness > team.bestAvgFitness) team.bestAvgFitness = team.avgFitness;
  team.bestId = hiId;
  team.worstId = loId;
  if (n > 0) {
    team.maxFitness = hi;
    team.minFitness = lo;
  }
  if (team.maxFitness > team.bestMaxFitness) team.bestMaxFitness = team.maxFitness;
  ++team.year;
}

}  // namespace kestravin
