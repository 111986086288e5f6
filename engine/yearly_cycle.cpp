#include "engine/yearly_cycle.h"

#include <algorithm>

#include "engine/draw_cursor.h"
#include "engine/fp_precision.h"
#include "engine/history.h"
#include "engine/random.h"
#include "engine/statistics.h"
#include "engine/team.h"

namespace kestravin {

namespace {

// The population cap: a breeding pass takes place only below maxPop, as the last statistics
// pass counted the population.
bool breeds(const Team& team, const SimParams& params) {
  return team.stats.population < params.maxPop;
}

// Room for a breeding pass: each player takes part in at most one birth, so the list at most
// doubles.
std::size_t mostAfterBreeding(std::size_t old) {
  return 2 * old;
}

// The draw ranges of one birth, prepared once per breeding pass.
struct BirthRanges {
  DrawRange cut;
  DrawRange mutation;
  DrawRange position;
  DrawRange gene;
  DrawRange fertility;
  std::uint32_t mutationBound;

  BirthRanges(const Team& team, const SimParams& params)
      : cut(team.chromoLength()),
        mutation(params.mutationDiv),
        position(team.chromoLength() + 1),
        gene(team.geneRange + 1),
        fertility(100),
        mutationBound(mutation.chanceBound(params.mutation)) {}
};

// One birth from initiator a and partner b: crossover, maybe a mutation of a gene or of the
// fertility; the newborn is appended. Inlined so that the cursor stays in a register.
[[gnu::always_inline]] inline void createChild(const Team& team, PlayerList::Appender& list,
                                               std::size_t a, std::size_t b, std::int32_t& nextId,
                                               DrawCursor& draws, const BirthRanges& ranges) {
  const std::size_t c = list.append();
  const auto length = static_cast<std::size_t>(team.chromoLength());
  const std::uint32_t cut = draws.below(ranges.cut);
  Player& pa = list.player(a);
  Player& pb = list.player(b);
  char* genes = list.chromosome(c);
  // The parent giving the tail (never empty) also gives the fertility: b for an even cut,
  // a for an odd one. The cut's parity is a coin toss, so the swap is arithmetic.
  const bool even = cut % 2 == 0;
  const std::size_t swap = (a ^ b) & (std::size_t{0} - static_cast<std::size_t>(!even));
  const char* head = list.chromosome(a ^ swap);
  const char* tail = list.chromosome(b ^ swap);
  std::int32_t fitness = team.crossover(genes, head, tail, cut);
  // The record is made whole here and stored once: its slot holds a dead record's bytes.
  Player child;
  child.fertility = list.player(b ^ swap).fertility;
  if (draws.chance(ranges.mutation, ranges.mutationBound)) {
    const std::uint32_t pos = draws.below(ranges.position);
    if (pos < length) {
      const char gene =
          static_cast<char>(team.geneMin + static_cast<std::int32_t>(draws.below(ranges.gene)));
      fitness += team.geneFitnessChange(pos, genes[pos], gene);
      genes[pos] = gene;
      child.lastMutation = static_cast<std::int16_t>(pos + 1);
    } else {
      child.fertility = static_cast<float>(draws.below(ranges.fertility));
      child.lastMutation = 88;
    }
  }
  child.fitness = fitness;
  child.id = nextId++;
  child.parent1Id = pa.id;
  child.parent2Id = pb.id;
  list.player(c) = child;
  ++pa.children;
  pa.bred = 1;
  ++pb.children;
  pb.bred = 1;
}

}  // namespace

// Not inlined into runYear: one body holding all the passes is compiled worse.
[[gnu::noinline]] void YearlyCycle::agePlayers(Team& team) {
  Player* players = team.players.data();
  const std::size_t n = team.players.size();
  for (std::size_t i = 0; i < n; ++i) {
    ++players[i].age;
    players[i].bred = 0;
    players[i].dead = 0;
  }
}

const std::array<std::uint32_t, 100>& YearlyCycle::birthBounds(const SimParams& params) {
  // Fertilities are whole numbers 0..99, so their chance bounds are a table, kept for as
  // long as birthChance and birthChanceDiv stay.
  if (!birthTableValid_ || birthTableChance_ != params.birthChance ||
      birthTableDiv_ != params.birthChanceDiv) {
    const DrawRange birthRange(params.birthChanceDiv);
    for (int k = 0; k < 100; ++k) {
      birthTable_[k] =
          birthRange.chanceBound(birthThreshold(static_cast<float>(k), params.birthChance));
    }
    birthTableChance_ = params.birthChance;
    birthTableDiv_ = params.birthChanceDiv;
    birthTableValid_ = true;
  }
  return birthTable_;
}

void YearlyCycle::breedPlayers(Team& team, const SimParams& params, Random& rng) {
  std::int32_t n = 0;
  if (breeds(team, params)) {
    const std::array<std::uint32_t, 100>& birthTable = birthBounds(params);
    const DrawRange birthRange(params.birthChanceDiv);
    const BirthRanges ranges(team, params);
    // With this room no record moves while the pass holds indices into the list.
    const std::size_t old = team.players.size();
    team.players.reserve(mostAfterBreeding(old));
    const Player* players = team.players.data();
    std::int32_t nextId = team.nextId;
    DrawCursor draws(rng);
    PlayerList::Appender list(team.players);
    // Newborns, appended behind the old players, are aged 0 and so never start a birth;
    // they can be partners.
    for (std::size_t q = 0; q < old; ++q) {
      const Player& initiator = players[q];
      if (initiator.bred != 0 || initiator.age <= 0) continue;
      const float fertility = initiator.fertility;
      // A whole fertility 0..99 survives the round trip through its truncation; anything
      // else (a NaN too) truncates out of range and takes its own threshold.
      const auto whole = static_cast<std::int32_t>(fertility);
      const std::uint32_t bound =
          static_cast<std::uint32_t>(whole) < 100u && static_cast<float>(whole) == fertility
              ? birthTable[static_cast<std::size_t>(whole)]
              : birthRange.chanceBound(birthThreshold(fertility, params.birthChance));
      if (!draws.chance(birthRange, bound)) continue;
      // The last record has never bred in this pass, so the search stops there at the latest.
      const std::size_t size = list.size();
      std::size_t p = q + 1 < size ? q + 1 : 0;
      while (p < size && players[p].bred != 0) ++p;
      if (p == q || p == size) continue;
      createChild(team, list, q, p, nextId, draws, ranges);
      ++n;
    }
    team.nextId = nextId;
  }
  team.stats.births = n;
  if (n > team.stats.maxBirths) team.stats.maxBirths = n;
}

void YearlyCycle::prepareDeathMemos(const Team& team, const SimParams& params) {
  if (!ageMemoValid_ || ageMemoStart_ != params.ageStart || ageMemoDeath_ != params.ageDeath ||
      ageMemoDiv_ != params.ageDeathDiv) {
    ageMemo_.clear();
    ageMemoStart_ = params.ageStart;
    ageMemoDeath_ = params.ageDeath;
    ageMemoDiv_ = params.ageDeathDiv;
    ageMemoValid_ = true;
  }
  fitMemo_.clear();
  // Last year's survivors have fitnesses between last year's lowest and highest, a span
  // narrower than the team: their bounds are computed here in one run rather than on first
  // use in the walk. Newborns outside the span are computed there.
  const std::int64_t lo = std::max(team.stats.minFitness, 0);
  const std::int64_t hi = team.stats.maxFitness;
  if (lo <= hi && hi <= static_cast<std::int64_t>(ThresholdMemo::kMaxKey) &&
      static_cast<std::size_t>(hi - lo) < team.players.size()) {
    const float avg = team.stats.avgFitness;
    const DrawRange fitRange(params.fitDeathDiv);
    fitMemo_.fill(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi), [&](std::size_t f) {
      return fitRange.chanceBound(fitThreshold(avg, static_cast<std::int32_t>(f), params.fitDeath));
    });
  }
}

// The death tests of one pass, player by player in list order: an age test above ageStart,
// then, unless that kills, a fitness test against last year's mean fitness.
class YearlyCycle::DeathTests {
 public:
  DeathTests(YearlyCycle& cycle, const Team& team, const SimParams& params)
      : ageStart_(params.ageStart),
        ageDeath_(params.ageDeath),
        fitDeath_(params.fitDeath),
        avgFitness_(team.stats.avgFitness),  // last year's mean: newborns do not enter it
        ageRange_(params.ageDeathDiv),
        fitRange_(params.fitDeathDiv),
        ageMemo_(cycle.ageMemo_),
        fitBounds_(cycle.fitMemo_) {
    for (std::size_t age = 0; age < youngAges_.size(); ++age) {
      youngAges_[age] = ageBound(static_cast<std::int32_t>(age));
    }
  }

  /// Whether player p dies, drawing from `draws`. Inlined into the walk with the cursor a
  /// local of it, so that the cursor's position stays in a register.
  [[gnu::always_inline]] bool operator()(const Player& p, DrawCursor& draws) {
    // Both bounds are pure, so they are taken whatever the age, keeping it out of branches.
    const auto age = static_cast<std::uint32_t>(p.age);
    const std::uint32_t ageB = age < youngAges_.size() ? youngAges_[age] : ageBound(p.age);
    const std::uint32_t fitB = fitBound(p.fitness);
    const bool older = p.age > ageStart_;
    // The usual player reads the one or two values it needs straight from the round: the
    // fitness outcome without a branch, the rare age death on one.
    if (draws.ahead(2)) {
      const std::uint32_t first = draws.peek(0);
      const std::uint32_t fitValue = older ? draws.peek(1) : first;
      if ((ageRange_.accepts(first) | !older) & fitRange_.accepts(fitValue)) {
        if (older && ageRange_.fraction(first) < ageB) {
          draws.take(1);
          ++ageDeaths;
          return true;
        }
        draws.take(1u + static_cast<std::uint32_t>(older));
        return fitRange_.fraction(fitValue) < fitB;
      }
    }
    // Near the end of a round, on a value to be rejected, or with an empty range.
    if (older && draws.chance(ageRange_, ageB)) {
      ++ageDeaths;
      return true;
    }
    return draws.chance(fitRange_, fitB);
  }

  /// Puts the counts into the team, given how many died in all.
  void record(TeamStats& stats, std::int32_t deaths) const {
    const std::int32_t fitDeaths = deaths - ageDeaths;
    stats.deaths = deaths;
    stats.ageDeaths = ageDeaths;
    stats.fitDeaths = fitDeaths;
    if (deaths > stats.maxDeaths) stats.maxDeaths = deaths;
    if (ageDeaths > stats.maxAgeDeaths) stats.maxAgeDeaths = ageDeaths;
    if (fitDeaths > stats.maxFitDeaths) stats.maxFitDeaths = fitDeaths;
  }

  // Only the rare age deaths are counted in the walk; the fitness deaths are the rest.
  std::int32_t ageDeaths = 0;

 private:
  std::uint32_t ageBound(std::int32_t age) {
    return ageMemo_.get(static_cast<std::size_t>(age), [&] {
      return ageRange_.chanceBound(ageThreshold(age, ageStart_, ageDeath_));
    });
  }
  std::uint32_t fitBound(std::int32_t fitness) {
    // A negative fitness becomes a key too large to keep, and is computed each time.
    return fitBounds_.get(static_cast<std::size_t>(fitness), [&] {
      return fitRange_.chanceBound(fitThreshold(avgFitness_, fitness, fitDeath_));
    });
  }

  const std::int32_t ageStart_;
  const std::int32_t ageDeath_;
  const std::int32_t fitDeath_;
  const float avgFitness_;
  const DrawRange ageRange_;
  const DrawRange fitRange_;
  ThresholdMemo& ageMemo_;
  ThresholdMemo::View fitBounds_;
  std::array<std::uint32_t, 64> youngAges_;  // the usual ages' bounds, without the memo
};

[[gnu::noinline]] void YearlyCycle::removeDeaths(Team& team, const SimParams& params, Random& rng) {
  prepareDeathMemos(team, params);
  DeathTests tests(*this, team, params);
  DrawCursor draws(rng);
  const std::size_t before = team.players.size();
  team.players.removeIf([&](const Player& p) { return tests(p, draws); });
  tests.record(team.stats, static_cast<std::int32_t>(before - team.players.size()));
}

void YearlyCycle::prepareYear(Team& team, const SimParams& params) {
  if (breeds(team, params)) team.players.reserve(mostAfterBreeding(team.players.size()));
  // Ages are at most the years simulated, and the young ones are always looked up.
  ageMemo_.reserveKeys(std::max<std::size_t>(static_cast<std::size_t>(team.stats.year) + 2, 64));
  fitMemo_.reserveKeys(static_cast<std::size_t>(std::max(team.targetFitness, 0)) + 1);
}

void YearlyCycle::runYear(Team& team, const SimParams& params, Random& rng, History& history,
                          const Progress& progress) {
  const auto tick = [&progress] {
    if (progress) progress();
  };
  const DoubleArithmetic doubles;
  prepareYear(team, params);
  agePlayers(team);
  tick();
  breedPlayers(team, params, rng);
  tick();
  removeDeaths(team, params, rng);
  // The death pass and the removal of the dead are one walk; each is still a phase.
  tick();
  tick();
  updateStatistics(team);
  tick();
  history.recordHistory(team.stats);
}

}  // namespace kestravin
