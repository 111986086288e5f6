#include "engine/yearly_cycle.h"

#include <array>
#include <cmath>
#include <algorithm>
#include <cstring>

#include "engine/history.h"
#include "engine/statistics.h"
#include "engine/team.h"

namespace kestravin {

std::int32_t realToThreshold(double x) {
  // Only finite values below 2^63 can truncate to a 64-bit integer; the others give -2^63,
  // whose low 32 bits are 0. Converting them first would also be undefined.
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(std::fabs(x) < kTwo63)) return 0;
  const auto rounded = static_cast<float>(x);  // decides borderline cases: 57.99...9 -> 58
  if (!(std::fabs(rounded) < static_cast<float>(kTwo63))) return 0;
  const auto truncated = static_cast<std::int64_t>(rounded);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncated));
}

void ThresholdMemo::clear() {
  if (++stamp_ == 0) {
    // After 2^32 clears the stamps would repeat; start the table afresh.
    entries_.assign(entries_.size(), Entry{});
    stamp_ = 1;
  }
}

namespace {

// The draw ranges of one birth, prepared once per breeding pass.
struct BirthRanges {
  DrawRange cut;
  DrawRange mutation;
  DrawRange position;
  DrawRange gene;

  BirthRanges(const Team& team, const SimParams& params)
      : cut(team.chromoLength()),
        mutation(params.mutationDiv),
        position(team.chromoLength() + 1),
        gene(team.geneRange + 1) {}
};

std::size_t makeChild(Team& team, std::size_t a, std::size_t b, const SimParams& params,
                      Random& rng, const BirthRanges& ranges) {
  const std::size_t c = team.appendPlayer();
  const auto length = static_cast<std::size_t>(team.chromoLength());
  const std::uint32_t cut = rng.randomBelow(ranges.cut);
  Player& pa = team.player(a);
  Player& pb = team.player(b);
  Player& child = team.player(c);
  char* genes = team.chromosome(c);
  // The parent giving the tail (never empty) also gives the fertility.
  const bool even = cut % 2 == 0;
  const char* head = team.chromosome(even ? a : b);
  const char* tail = team.chromosome(even ? b : a);
  // Block by block: whole blocks before or after the cut, bytes in the block it falls in.
  // The bytes after the genes are NUL in both parents, so the child's are too.
  const std::size_t stride = team.stride();
  for (std::size_t o = 0; o < stride; o += Team::kBlock) {
    const std::size_t fromHead = cut <= o ? 0 : std::min<std::size_t>(cut - o, Team::kBlock);
    blendGeneBlock(genes + o, head + o, tail + o, fromHead);
  }
  child.fertility = even ? pb.fertility : pa.fertility;
  child.lastMutation = 0;
  if (chanceTest(rng, ranges.mutation, params.mutation)) {
    const std::uint32_t pos = rng.randomBelow(ranges.position);
    if (pos < length) {
      genes[pos] = static_cast<char>(team.geneMin + static_cast<std::int32_t>(rng.randomBelow(ranges.gene)));
      child.lastMutation = static_cast<std::int32_t>(pos) + 1;
    } else {
      child.fertility = static_cast<float>(rng.randomBelow(100));
      child.lastMutation = 88;
    }
  }
  child.fitness = team.arenaFitness(genes);
  child.id = team.nextId++;
  child.parent1Id = pa.id;
  child.parent2Id = pb.id;
  ++pa.children;
  pa.bred = 1;
  ++pb.children;
  pb.bred = 1;
  return c;
}

}  // namespace

std::size_t createChild(Team& team, std::size_t a, std::size_t b, const SimParams& params,
                        Random& rng) {
  team.reserve(team.size() + 1);
  return makeChild(team, a, b, params, rng, BirthRanges(team, params));
}

void agePlayers(Team& team) {
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) ++team.player(i).age;
}

void clearBredFlags(Team& team) {
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) team.player(i).bred = 0;
  team.births = 0;
}

void removeDead(Team& team) { team.removeDead(); }

namespace {

std::int32_t birthThresholdFor(double fertility, std::int32_t birthChance) {
  return realToThreshold(((fertility + fertility) * 0.01) * birthChance);
}

}  // namespace

void YearlyCycle::breedPlayers(Team& team, const SimParams& params, Random& rng) {
  clearBredFlags(team);
  std::int32_t n = 0;
  if (team.population < params.maxPop) {
    // Fertilities are whole numbers 0..99, so their thresholds are a table of the pass.
    std::array<std::int32_t, 100> birthTable;
    for (int k = 0; k < 100; ++k) birthTable[k] = birthThresholdFor(k, params.birthChance);
    const DrawRange birthRange(params.birthChanceDiv);
    const BirthRanges ranges(team, params);
    // Each old player takes part in at most one birth, so the list at most doubles; with
    // the room made now no record moves while the pass holds indices into it.
    team.reserve(2 * team.size());
    for (std::size_t q = 0; q < team.size(); ++q) {
      const Player& initiator = team.player(q);
      if (initiator.bred != 0 || initiator.age <= 0) continue;
      const float fertility = initiator.fertility;
      const bool whole = fertility >= 0.0f && fertility < 100.0f &&
                         fertility == static_cast<float>(static_cast<int>(fertility));
      const std::int32_t threshold = whole ? birthTable[static_cast<int>(fertility)]
                                           : birthThresholdFor(fertility, params.birthChance);
      if (!chanceTest(rng, birthRange, threshold)) continue;
      // The last record has never bred in this pass, so the search stops there at the latest.
      std::size_t p = q + 1 < team.size() ? q + 1 : 0;
      while (p < team.size() && team.player(p).bred != 0) ++p;
      if (p == q || p == team.size()) continue;
      makeChild(team, q, p, params, rng, ranges);
      ++n;
    }
  }
  team.births = n;
  if (n > team.maxBirths) team.maxBirths = n;
}

void YearlyCycle::markDeaths(Team& team, const SimParams& params, Random& rng) {
  const std::int32_t ageStart = params.ageStart;
  const std::int32_t ageDeath = params.ageDeath;
  const std::int32_t fitDeath = params.fitDeath;
  const float avgFitness = team.avgFitness;  // last year's mean: newborns do not enter it
  // Age thresholds depend only on the age and two parameters, so they outlive the year.
  if (!ageMemoValid_ || ageMemoStart_ != ageStart || ageMemoDeath_ != ageDeath) {
    ageMemo_.clear();
    ageMemoStart_ = ageStart;
    ageMemoDeath_ = ageDeath;
    ageMemoValid_ = true;
  }
  fitMemo_.clear();
  const DrawRange ageRange(params.ageDeathDiv);
  const DrawRange fitRange(params.fitDeathDiv);
  std::int32_t a = 0;
  std::int32_t f = 0;
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) {
    Player& p = team.player(i);
    if (p.age > ageStart) {
      const std::int32_t age = p.age;
      const std::int32_t threshold = ageMemo_.get(static_cast<std::size_t>(age), [&] {
        return realToThreshold((static_cast<double>(age) / ageStart) * ageDeath);
      });
      if (chanceTest(rng, ageRange, threshold)) {
        p.dead = 1;
        ++a;
        continue;  // no fitness test, no second draw
      }
    }
    const std::int32_t fitness = p.fitness;
    const auto compute = [&] {
      return realToThreshold((static_cast<double>(avgFitness) / fitness) * fitDeath);
    };
    const std::int32_t threshold =
        fitness >= 0 ? fitMemo_.get(static_cast<std::size_t>(fitness), compute) : compute();
    // Stored without a branch: the outcome is a coin toss to the processor.
    const bool dies = chanceTest(rng, fitRange, threshold);
    p.dead = dies ? 1 : 0;
    f += dies ? 1 : 0;
  }
  team.deaths = a + f;
  team.ageDeaths = a;
  team.fitDeaths = f;
  if (team.deaths > team.maxDeaths) team.maxDeaths = team.deaths;
  if (a > team.maxAgeDeaths) team.maxAgeDeaths = a;
  if (f > team.maxFitDeaths) team.maxFitDeaths = f;
}

void YearlyCycle::runYear(Team& team, const SimParams& params, Random& rng, History& history,
                          const Progress& progress) {
  agePlayers(team);
  progress();
  breedPlayers(team, params, rng);
  progress();
  markDeaths(team, params, rng);
  progress();
  removeDead(team);
  progress();
  updateStatistics(team);
  progress();
  history.recordHistory(team);
}

}  // namespace kestravin
