#include "engine/team.h"

#include <algorithm>
#include <cstring>

#include "config/parameters.h"
#include "engine/fp_precision.h"
#include "engine/random.h"
#include "engine/statistics.h"

namespace kestravin {

void Team::installFitString(std::string_view text) {
  // The parameters never hold a longer one, and the crossover counts genes in single bytes.
  fitString_.assign(text.substr(0, kMaxFitStringLength));
  analyseFitString(*this);
}

void Team::startList() {
  players.start(fitString_.size());
  target_.assign(players.stride(), '\0');
  std::memcpy(target_.data(), fitString_.data(), fitString_.size());
}

void analyseFitString(Team& team) {
  const std::string& text = team.fitString();
  if (text.empty()) {
    // Nothing to analyse; keep a usable range so that no draw is ever empty.
    team.geneMin = 0;
    team.geneMax = 1;
    team.geneRange = 1;
    team.targetFitness = 0;
    return;
  }
  std::int32_t lo = genes::code(text[0]);
  std::int32_t hi = lo;
  for (char c : text) {
    lo = std::min(lo, genes::code(c));
    hi = std::max(hi, genes::code(c));
  }
  std::int32_t range = hi - lo;
  if (range == 0) {
    // In 8-bit arithmetic: below code -128 comes 127.
    if (lo != 0) {
      lo = static_cast<std::int8_t>(lo - 1);
    } else {
      hi = 1;
    }
    range = 1;
  }
  team.geneMin = static_cast<std::int8_t>(lo);
  team.geneMax = static_cast<std::int8_t>(hi);
  team.geneRange = range;
  std::int32_t target = 0;
  for (char c : text) {
    const std::int32_t code = genes::code(c);
    target += std::max(std::abs(code - hi), std::abs(code - lo));
  }
  team.targetFitness = target;
}

std::size_t createRandomPlayer(Team& team, Random& rng) {
  const std::size_t index = team.players.append();
  char* genes = team.players.chromosome(index);
  const DrawRange geneDraw(team.geneRange + 1);
  const std::int32_t length = team.chromoLength();
  for (std::int32_t i = 0; i < length; ++i) {
    // Added in 8-bit arithmetic; the sum lies in geneMin..geneMax.
    genes[i] =
        static_cast<char>(team.geneMin + static_cast<std::int32_t>(rng.randomBelow(geneDraw)));
  }
  Player& p = team.players[index];
  p.fitness = team.fitnessOf(genes);
  p.id = team.nextId++;
  p.fertility = static_cast<float>(rng.randomBelow(100));
  return index;
}

void createTeam(Team& team, std::int32_t count, Random& rng) {
  const DoubleArithmetic doubles;
  team.startList();
  team.nextId = 1;
  if (count > 0) team.players.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) createRandomPlayer(team, rng);
  TeamStats& s = team.stats;
  summariseTeam(team);
  s.deaths = s.ageDeaths = s.fitDeaths = 0;
  s.maxDeaths = s.maxAgeDeaths = s.maxFitDeaths = 0;
  s.year = 0;
  s.births = s.maxBirths = count;
  s.bestAvgFitness = s.avgFitness;
  s.bestMaxFitness = s.maxFitness;
  s.highestPop = s.lowestPop = s.population;
}

}  // namespace kestravin
