#include "engine/yearly_cycle.h"

#include <algorithm>
#include <array>
#include <cmath>
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
  if (usedLow_ < usedHigh_) {
    std::fill(values_.begin() + static_cast<std::ptrdiff_t>(usedLow_),
              values_.begin() + static_cast<std::ptrdiff_t>(usedHigh_), kUnset);
  }
  usedLow_ = std::numeric_limits<std::size_t>::max();
  usedHigh_ = 0;
}

namespace {

// The generator's values read in place for the length of a pass, its position held in a
// register instead of being stored and reloaded around every write to the team. A value it
// cannot simply take (the round is spent, or the value is rejected) is drawn through the
// generator itself, so the draws are those of Random::randomBelow, one for one.
class DrawCursor {
 public:
  explicit DrawCursor(Random& rng) : rng_(rng), values_(rng.table().data()), at_(rng.index()) {}
  DrawCursor(const DrawCursor&) = delete;
  DrawCursor& operator=(const DrawCursor&) = delete;
  ~DrawCursor() { rng_.seek(at_); }

  /// Whether the next k values (k in 1..249) are in this round, to be read with peek().
  bool ahead(std::uint32_t k) const { return at_ - 1u < 250u - k; }
  /// The value of the (k+1)-th next draw, for k below what ahead() allowed.
  std::uint32_t peek(std::uint32_t k) const { return values_[at_ + k]; }
  /// Takes k values that ahead() allowed.
  void take(std::uint32_t k) { at_ += k; }

  std::uint32_t below(const DrawRange& range) {
    if (ahead(1) && range.accepts(values_[at_])) return range.reduce(values_[at_++]);
    rng_.seek(at_);
    const std::uint32_t v = rng_.randomBelow(range);
    at_ = rng_.index();
    return v;
  }

  /// chanceTest, from the cursor, with its threshold given as range.chanceBound(threshold).
  bool chance(const DrawRange& range, std::uint32_t bound) {
    if (ahead(1) && range.accepts(values_[at_])) return range.fraction(values_[at_++]) < bound;
    if (!range.valid()) return false;
    rng_.seek(at_);
    const std::uint32_t v = rng_.randomAccepted(range);
    at_ = rng_.index();
    return range.fraction(v) < bound;
  }

 private:
  Random& rng_;
  const std::uint32_t* values_;
  std::uint32_t at_;
};

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

// Inlined into the breeding loop so that the cursor's position stays in a register.
[[gnu::always_inline]] inline std::size_t makeChild(const Team& team, Team::Appender& list,
                                                    std::size_t a, std::size_t b, DrawCursor& draws,
                                                    const BirthRanges& ranges) {
  const std::size_t c = list.append();
  const auto length = static_cast<std::size_t>(team.chromoLength());
  const std::uint32_t cut = draws.below(ranges.cut);
  Player& pa = list.player(a);
  Player& pb = list.player(b);
  char* genes = list.chromosome(c);
  // The parent giving the tail (never empty) also gives the fertility. The cut's parity is
  // a coin toss, so the parents are swapped by arithmetic rather than a branch.
  const bool even = cut % 2 == 0;
  const std::size_t swap = (a ^ b) & (std::size_t{0} - static_cast<std::size_t>(!even));
  const char* head = list.chromosome(a ^ swap);
  const char* tail = list.chromosome(b ^ swap);
  // The bytes after the genes are NUL in both parents, so the child's are too.
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
  child.id = list.takeId();
  child.parent1Id = pa.id;
  child.parent2Id = pb.id;
  list.player(c) = child;
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
  DrawCursor draws(rng);
  Team::Appender list(team);
  return makeChild(team, list, a, b, draws, BirthRanges(team, params));
}

// A function of its own, not inlined into runYear: one body holding all the passes is
// compiled worse.
[[gnu::noinline]] void agePlayers(Team& team) {
  Player* players = team.playerData();
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) {
    ++players[i].age;
    players[i].bred = 0;
    players[i].dead = 0;  // the death walk leaves the survivors' flag as it finds it
  }
}

void clearBredFlags(Team& team) {
  Player* players = team.playerData();
  const std::size_t n = team.size();
  for (std::size_t i = 0; i < n; ++i) players[i].bred = 0;
  team.births = 0;
}

void removeDead(Team& team) {
  team.removeDead();
}

namespace {

std::int32_t birthThresholdFor(double fertility, std::int32_t birthChance) {
  return realToThreshold(((fertility + fertility) * 0.01) * birthChance);
}

}  // namespace

void YearlyCycle::breedPlayers(Team& team, const SimParams& params, Random& rng) {
  clearBredFlags(team);
  breedClearedPlayers(team, params, rng);
}

void YearlyCycle::breedClearedPlayers(Team& team, const SimParams& params, Random& rng) {
  std::int32_t n = 0;
  if (team.population < params.maxPop) {
    // Fertilities are whole numbers 0..99, so their chance bounds are a table, kept for as
    // long as birthChance and birthChanceDiv stay.
    const DrawRange birthRange(params.birthChanceDiv);
    if (!birthTableValid_ || birthTableChance_ != params.birthChance ||
        birthTableDiv_ != params.birthChanceDiv) {
      for (int k = 0; k < 100; ++k) {
        birthTable_[k] = birthRange.chanceBound(birthThresholdFor(k, params.birthChance));
      }
      birthTableChance_ = params.birthChance;
      birthTableDiv_ = params.birthChanceDiv;
      birthTableValid_ = true;
    }
    const std::array<std::uint32_t, 100>& birthTable = birthTable_;
    const BirthRanges ranges(team, params);
    // Each old player takes part in at most one birth, so the list at most doubles; with
    // the room made now no record moves while the pass holds indices into it.
    const std::size_t old = team.size();
    team.reserve(2 * old);
    const Player* players = team.playerData();
    DrawCursor draws(rng);
    Team::Appender list(team);
    // Newborns, appended behind the old players, are aged 0 and so never start a birth;
    // they can be partners.
    for (std::size_t q = 0; q < old; ++q) {
      const Player& initiator = players[q];
      if (initiator.bred != 0 || initiator.age <= 0) continue;
      const float fertility = initiator.fertility;
      // A whole fertility 0..99 survives the round trip through its truncation; the
      // truncation of anything else out of range (a NaN too) is itself out of range.
      const auto whole = static_cast<std::int32_t>(fertility);
      const std::uint32_t bound =
          static_cast<std::uint32_t>(whole) < 100u && static_cast<float>(whole) == fertility
              ? birthTable[static_cast<std::size_t>(whole)]
              : birthRange.chanceBound(birthThresholdFor(fertility, params.birthChance));
      if (!draws.chance(birthRange, bound)) continue;
      // The last record has never bred in this pass, so the search stops there at the latest.
      const std::size_t size = list.size();
      std::size_t p = q + 1 < size ? q + 1 : 0;
      while (p < size && players[p].bred != 0) ++p;
      if (p == q || p == size) continue;
      makeChild(team, list, q, p, draws, ranges);
      ++n;
    }
  }
  team.births = n;
  if (n > team.maxBirths) team.maxBirths = n;
}

namespace {

// The fitness test's threshold, against last year's mean fitness.
std::int32_t fitThresholdFor(float avgFitness, std::int32_t fitness, std::int32_t fitDeath) {
  return realToThreshold((static_cast<double>(avgFitness) / fitness) * fitDeath);
}

}  // namespace

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
  // The fitnesses of last year's survivors lie between last year's lowest and highest, a
  // span a few times narrower than the team. Their bounds are computed here in one tight
  // run: computed on first use, each would also cost a mispredicted branch in the walk.
  // Newborns outside the span take that path.
  const std::int64_t lo = std::max(team.minFitness, 0);
  const std::int64_t hi = team.maxFitness;
  if (lo <= hi && hi <= static_cast<std::int64_t>(ThresholdMemo::kMaxKey) &&
      static_cast<std::size_t>(hi - lo) < team.size()) {
    const float avg = team.avgFitness;
    const DrawRange fitRange(params.fitDeathDiv);
    fitMemo_.fill(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi), [&](std::size_t f) {
      return fitRange.chanceBound(
          fitThresholdFor(avg, static_cast<std::int32_t>(f), params.fitDeath));
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
        avgFitness_(team.avgFitness),  // last year's mean: newborns do not enter it
        ageRange_(params.ageDeathDiv),
        fitRange_(params.fitDeathDiv),
        ageMemo_(cycle.ageMemo_),
        fitBounds_(cycle.fitMemo_) {
    for (std::size_t age = 0; age < youngAges_.size(); ++age) {
      youngAges_[age] = ageBound(static_cast<std::int32_t>(age));
    }
  }

  /// Tests one player, drawing from `draws`: whether it dies. Inlined into the pass, and the
  /// cursor a local of the pass, so that the cursor's position stays in a register.
  [[gnu::always_inline]] bool operator()(const Player& p, DrawCursor& draws) {
    // The chance bounds of every player, older than ageStart or not: they are pure, and
    // having them whatever the age keeps the age out of the branches.
    const auto age = static_cast<std::uint32_t>(p.age);
    const std::uint32_t ageB = age < youngAges_.size() ? youngAges_[age] : ageBound(p.age);
    const std::uint32_t fitB = fitBound(p.fitness);
    const bool older = p.age > ageStart_;
    // The usual player reads the two values it may need and takes one or two of them: the
    // age test's (when older than ageStart) and, unless that kills, the fitness test's.
    // The fitness outcome is a coin toss to the processor and is kept without a branch;
    // age deaths are rare and take a branch, so that where the next player's values lie
    // never waits on this player's draws.
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
    // Near the end of a round, on a value to be rejected, or with an empty range: one draw
    // at a time.
    if (older && draws.chance(ageRange_, ageB)) {
      ++ageDeaths;
      return true;
    }
    return draws.chance(fitRange_, fitB);
  }

  /// Puts the counts into the team, given how many died in all.
  void record(Team& team, std::int32_t deaths) const {
    const std::int32_t fitDeaths = deaths - ageDeaths;
    team.deaths = deaths;
    team.ageDeaths = ageDeaths;
    team.fitDeaths = fitDeaths;
    if (team.deaths > team.maxDeaths) team.maxDeaths = team.deaths;
    if (ageDeaths > team.maxAgeDeaths) team.maxAgeDeaths = ageDeaths;
    if (fitDeaths > team.maxFitDeaths) team.maxFitDeaths = fitDeaths;
  }

  // Only age deaths are counted here, in their rare branch: the fitness deaths are the rest,
  // and one counter fewer in the walk keeps its values in registers.
  std::int32_t ageDeaths = 0;

 private:
  std::uint32_t ageBound(std::int32_t age) {
    return ageMemo_.get(static_cast<std::size_t>(age), [&] {
      return ageRange_.chanceBound(
          realToThreshold((static_cast<double>(age) / ageStart_) * ageDeath_));
    });
  }
  std::uint32_t fitBound(std::int32_t fitness) {
    const auto compute = [&] {
      return fitRange_.chanceBound(fitThresholdFor(avgFitness_, fitness, fitDeath_));
    };
    // A negative fitness becomes a key too large to keep, and is computed each time.
    return fitBounds_.get(static_cast<std::size_t>(fitness), compute);
  }

  const std::int32_t ageStart_;
  const std::int32_t ageDeath_;
  const std::int32_t fitDeath_;
  const float avgFitness_;
  const DrawRange ageRange_;
  const DrawRange fitRange_;
  ThresholdMemo& ageMemo_;
  ThresholdMemo::View fitBounds_;
  // The bounds of the usual ages, at hand without a register for the memo's table.
  std::array<std::uint32_t, 64> youngAges_;
};

void YearlyCycle::markDeaths(Team& team, const SimParams& params, Random& rng) {
  prepareDeathMemos(team, params);
  DeathTests tests(*this, team, params);
  DrawCursor draws(rng);
  Player* players = team.playerData();
  const std::size_t n = team.size();
  std::int32_t deaths = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const bool dies = tests(players[i], draws);
    players[i].dead = dies ? 1 : 0;
    deaths += dies ? 1 : 0;
  }
  tests.record(team, deaths);
}

[[gnu::noinline]] void YearlyCycle::removeDeaths(Team& team, const SimParams& params, Random& rng) {
  prepareDeathMemos(team, params);
  DeathTests tests(*this, team, params);
  DrawCursor draws(rng);
  const std::size_t before = team.size();
  team.removeIf([&](const Player& p) { return tests(p, draws); });
  tests.record(team, static_cast<std::int32_t>(before - team.size()));
}

void YearlyCycle::runYear(Team& team, const SimParams& params, Random& rng, History& history,
                          const Progress& progress) {
  // Ageing also clears the flags of the breeding and death passes, and the death tests and
  // the removal of the dead are one walk, the outcome never stored. Nothing looks at the
  // team between those phases, and together they give what the phases one after another
  // give.
  agePlayers(team);
  progress();
  breedClearedPlayers(team, params, rng);
  progress();
  removeDeaths(team, params, rng);
  progress();
  progress();
  updateStatistics(team);
  progress();
  history.recordHistory(team);
}

}  // namespace kestravin
