#include "engine/statistics.h"

#include <cstdint>

#include "engine/team.h"

namespace kestravin {

namespace {

[[gnu::always_inline]] inline void summarise(Team& team) {
  TeamStats& s = team.stats;
  const PlayerList& players = team.players;
  const std::size_t n = players.size();
  std::int64_t sum = 0;
  std::int32_t hi = 0, lo = 0, hiId = 0, loId = 0;
  if (n > 0) {
    hi = lo = players[0].fitness;
    hiId = loId = players[0].id;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const Player& p = players[i];
    sum += p.fitness;
    // Strict comparisons keep the earliest player of each extreme. A new extreme is rare,
    // so these stay branches.
    if (__builtin_expect(p.fitness > hi, 0)) {
      hi = p.fitness;
      hiId = p.id;
    }
    if (__builtin_expect(p.fitness < lo, 0)) {
      lo = p.fitness;
      loId = p.id;
    }
  }
  const auto population = static_cast<std::int32_t>(n);
  s.population = population;
  if (population > s.highestPop) s.highestPop = population;
  if (population < s.lowestPop) s.lowestPop = population;
  // The exact sum becomes the nearest float before the division.
  const auto total = static_cast<float>(sum);
  s.avgFitness = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(total) / population);
  if (s.avgFitness > s.bestAvgFitness) s.bestAvgFitness = s.avgFitness;
  s.bestId = hiId;
  s.worstId = loId;
  if (n > 0) {
    s.maxFitness = hi;
    s.minFitness = lo;
  }
  if (s.maxFitness > s.bestMaxFitness) s.bestMaxFitness = s.maxFitness;
}

}  // namespace

void summariseTeam(Team& team) {
  summarise(team);
}

void updateStatistics(Team& team) {
  summarise(team);
  ++team.stats.year;
}

}  // namespace kestravin
