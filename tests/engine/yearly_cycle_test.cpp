#include "engine/yearly_cycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/draw_cursor.h"
#include "engine/fp_precision.h"
#include "engine/history.h"
#include "engine/random.h"
#include "engine/simulation.h"
#include "engine/team.h"
#include "support/plain_rules.h"

namespace kestravin {
namespace {

using test::chanceTest;

TEST(RealToThreshold, FloatRoundingDecidesBorderlines) {
  EXPECT_EQ(birthThreshold(29.0f, 100), 58);  // 57.99999999999999
  EXPECT_EQ(ageThreshold(7, 5, 45), 63);      // 62.99999999999999
  EXPECT_EQ(fitThreshold(50.0f, 40, 4), 5);
  EXPECT_EQ(realToThreshold(2.9), 2);
  EXPECT_EQ(realToThreshold(-2.9), -2);
  EXPECT_EQ(realToThreshold(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(realToThreshold(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(realToThreshold(std::nan("")), 0);
  EXPECT_EQ(realToThreshold(1e300), 0);
  EXPECT_EQ(realToThreshold(9.3e18), 0);  // at or beyond 2^63
  // The low 32 bits of the 64-bit value: 2^32 + 2^31 reads as -2^31.
  EXPECT_EQ(realToThreshold(6442450944.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(realToThreshold(4294967296.0 * 3), 0);
  // Divisions by zero: an infinite or undefined quotient never lets the event happen.
  EXPECT_EQ(ageThreshold(7, 0, 45), 0);
  EXPECT_EQ(fitThreshold(50.0f, 0, 4), 0);
  EXPECT_EQ(fitThreshold(0.0f, 0, 4), 0);
}

#if defined(__i386__) || defined(__x86_64__)
// Whether the x87 unit honours its precision control (a processor does; an emulator may not).
bool x87RoundsToDoubles() {
  volatile long double one = 1.0L;
  volatile long double tiny = 0x1p-60L;
  volatile long double sum = 0;
  {
    const X87DoublePrecision doubles;
    sum = one + tiny;  // stored inside the scope, or the addition may move out of it
  }
  return sum == one;
}
#endif

// A borderline fitness threshold: 6259.9f / 42900 * 39666 is 5787.99975585937 in doubles, just
// below a float midpoint; computed in 64-bit precision it rounds up to 5788.
TEST(RealToThreshold, DoublePrecisionOnEveryUnit) {
  volatile float avg = 6259.9f;
  volatile std::int32_t fitness = 42900, fitDeath = 39666;
  volatile std::int32_t threshold = 0;
  {
    const DoubleArithmetic doubles;  // as the engine computes
    threshold = fitThreshold(avg, fitness, fitDeath);
  }
  EXPECT_EQ(threshold, 5787);
#if defined(__i386__) || defined(__x86_64__)
  if (!x87RoundsToDoubles()) GTEST_SKIP() << "this x87 unit ignores its precision control";
  const long double extended = (static_cast<long double>(avg) / fitness) * fitDeath;
  EXPECT_EQ(static_cast<std::int64_t>(static_cast<float>(extended)), 5788);
  volatile float rounded = 0;
  {
    const X87DoublePrecision doubles;
    rounded = static_cast<float>((static_cast<long double>(avg) / fitness) * fitDeath);
  }
  EXPECT_EQ(static_cast<std::int64_t>(rounded), 5787);
#endif
}

TEST(ChanceTest, DrawsOnceAndComparesSigned) {
  Random rng, mirror;
  rng.randomInit(8);
  mirror.randomInit(8);
  const DrawRange ten(10);
  {
    DrawCursor draws(rng);
    EXPECT_FALSE(draws.chance(ten, ten.chanceBound(0)));
    EXPECT_TRUE(draws.chance(ten, ten.chanceBound(10)));
    EXPECT_FALSE(draws.chance(ten, ten.chanceBound(-5)));
  }
  mirror.randomNext();
  mirror.randomNext();
  mirror.randomNext();
  EXPECT_EQ(rng.index(), mirror.index());
  {
    // An unusable range draws nothing and fails, whatever the threshold.
    DrawCursor draws(rng);
    EXPECT_FALSE(draws.chance(DrawRange(0), DrawRange(0).chanceBound(1000)));
    EXPECT_FALSE(draws.chance(DrawRange(70000), DrawRange(70000).chanceBound(1000)));
  }
  EXPECT_EQ(rng.index(), mirror.index());
  // Every outcome is the plain rule's, wherever the round stands.
  for (const std::int32_t threshold : {-1, 0, 1, 3, 7, 9, 10, 11}) {
    Random expected = rng;
    DrawCursor draws(rng);
    for (int k = 0; k < 300; ++k) {
      ASSERT_EQ(draws.chance(DrawRange(7), DrawRange(7).chanceBound(threshold)),
                chanceTest(expected, DrawRange(7), threshold));
    }
  }
}

// A team of founders with chosen fertility and age, ready for a breeding pass.
struct Fixture {
  Team team;
  Random rng;
  SimParams params;
  YearlyCycle cycle;

  explicit Fixture(int players, std::string fit = "AAAA") {
    rng.randomInit(1);
    params.fitString = fit;
    params.mutation = 0;
    params.mutationDiv = 1;
    params.birthChance = 1000;  // threshold far above the range: every test succeeds
    params.birthChanceDiv = 1;
    params.maxPop = 1000;
    params.ageDeathDiv = params.fitDeathDiv = 1;
    team.installFitString(fit);
    createTeam(team, players, rng);
    for (std::size_t i = 0; i < team.players.size(); ++i) {
      team.players[i].fertility = 50;
      team.players[i].age = 1;
    }
  }

  Player& player(std::size_t i) { return team.players[i]; }
  TeamStats& stats() { return team.stats; }
  // The breeding pass, with the flags cleared as the year's ageing leaves them.
  void breed() {
    for (std::size_t i = 0; i < team.players.size(); ++i) team.players[i].bred = 0;
    cycle.breedPlayers(team, params, rng);
  }
  // The ids of the players left, in list order.
  std::vector<std::int32_t> ids() const {
    std::vector<std::int32_t> out;
    for (std::size_t i = 0; i < team.players.size(); ++i) out.push_back(team.players[i].id);
    return out;
  }
};

// A year computes its thresholds in doubles on any unit; an x87 unit left at 64-bit precision
// gives other thresholds in these borderline cases.
TEST(YearlyCycle, ThresholdsInDoublesOnEveryUnit) {
  // Births: 1.28 * -1677721700 is -(2^31 + 128) and a little more, which doubles round to the
  // float midpoint and then to -2^31 (never); kept exact, it rounds to -2^31 - 256, whose low
  // 32 bits are 2^31 - 256 (always). Fertilities 63 and 65 lie clear of the border.
  for (const auto& [fertility, births] : {std::pair{63.0f, 0}, {64.0f, 0}, {65.0f, 1}}) {
    Fixture f(2);
    f.params.birthChance = -1677721700;
    for (std::size_t i = 0; i < 2; ++i) f.player(i).fertility = fertility;
    History history;
    history.allocHistory(1);
    f.cycle.runYear(f.team, f.params, f.rng, history, {});
    EXPECT_EQ(f.stats().births, births) << "fertility " << fertility;
    EXPECT_EQ(f.stats().deaths, 0);
  }

  // Deaths: 6259.9f / 42900 * 39666 gives the threshold 5787 in doubles, 5788 otherwise (see
  // above). Over a range of 5788, the draw 5787 spares the player only at 5787; the case with
  // the threshold 5788 itself checks that the draw is the deciding one.
  const DrawRange range(5788);
  std::uint32_t seed = 1;
  for (;; ++seed) {
    Random r;
    r.randomInit(seed);
    if (r.randomBelow(range) == 5787) break;
  }
  std::string fit;
  for (int i = 0; i < 200; ++i) fit += i % 2 == 0 ? '\x80' : '\x7f';  // target 200 * 255
  struct Case {
    float avgFitness;
    std::int32_t fitness, fitDeath, deaths;
  };
  for (const Case c : {Case{6259.9f, 42900, 39666, 0}, Case{5788.0f, 1, 1, 1}}) {
    Fixture f(1, fit);
    f.player(0).fitness = c.fitness;
    f.stats().avgFitness = c.avgFitness;
    f.params.maxPop = 0;        // no breeding pass: the fitness test is the year's only draw
    f.params.ageStart = 10000;  // and there is no age test
    f.params.fitDeath = c.fitDeath;
    f.params.fitDeathDiv = 5788;
    History history;
    history.allocHistory(1);
    f.rng.randomInit(seed);
    f.cycle.runYear(f.team, f.params, f.rng, history, {});
    EXPECT_EQ(f.stats().fitDeaths, c.deaths) << "fitness " << c.fitness;
  }
}

TEST(Breeding, NewbornsArePartnersButNeverInitiators) {
  Fixture f(3);
  f.breed();
  ASSERT_EQ(f.team.players.size(), 5u);
  EXPECT_EQ(f.stats().births, 2);
  const Player& p4 = f.player(3);
  const Player& p5 = f.player(4);
  EXPECT_EQ(p4.id, 4);
  EXPECT_EQ(p4.parent1Id, 1);
  EXPECT_EQ(p4.parent2Id, 2);
  EXPECT_EQ(p4.children, 1);  // partner of P3 in its first year
  EXPECT_EQ(p5.parent1Id, 3);
  EXPECT_EQ(p5.parent2Id, 4);
  EXPECT_EQ(p5.children, 0);
  EXPECT_EQ(f.player(1).children, 1);
  EXPECT_EQ(f.team.nextId, 6);
}

// A pass has at most one birth per two players, rounded up: the room the year reserves.
TEST(Breeding, AtMostOneBirthPerTwoPlayersRoundedUp) {
  for (int players = 1; players <= 9; ++players) {
    Fixture f(players);
    f.breed();
    const int most = players == 1 ? 0 : (players + 1) / 2;
    EXPECT_EQ(f.stats().births, most) << players << " players";
    EXPECT_EQ(f.team.players.size(), static_cast<std::size_t>(players + most));
  }
}

// Ids near the top of 32 bits: the last year that may run hands out ids up to 2^31 - 2, and
// the counter itself never passes 2^31 - 1.
TEST(Breeding, IdsStopShortOfTheTopOf32Bits) {
  constexpr std::int32_t kTop = std::numeric_limits<std::int32_t>::max();
  Fixture f(100);
  f.stats().population = 100;
  f.team.nextId = kTop - 50;
  EXPECT_FALSE(idsRunOut(f.stats(), f.team.nextId, f.params.maxPop));
  EXPECT_TRUE(idsRunOut(f.stats(), f.team.nextId + 1, f.params.maxPop));
  EXPECT_FALSE(idsRunOut(f.stats(), f.team.nextId + 1, 100)) << "no breeding at the cap";
  f.breed();
  EXPECT_EQ(f.stats().births, 50);
  EXPECT_EQ(f.team.players[149].id, kTop - 1);
  EXPECT_EQ(f.team.nextId, kTop);
}

TEST(Breeding, LastPlayerSearchesFromTheHead) {
  Fixture f(3);
  f.player(0).fertility = 0;  // threshold 0: fails
  f.player(1).fertility = 0;
  f.breed();
  ASSERT_EQ(f.team.players.size(), 4u);
  EXPECT_EQ(f.player(3).parent1Id, 3);
  EXPECT_EQ(f.player(3).parent2Id, 1);
}

TEST(Breeding, LonePlayerAndPopulationCap) {
  Fixture lone(1);
  lone.breed();
  EXPECT_EQ(lone.team.players.size(), 1u);
  EXPECT_EQ(lone.stats().births, 0);

  Fixture capped(3);
  capped.params.maxPop = 3;
  const auto before = capped.rng.index();
  capped.breed();
  EXPECT_EQ(capped.stats().births, 0);
  EXPECT_EQ(capped.rng.index(), before);  // no birth test drawn

  Fixture below(3);
  below.params.maxPop = 4;
  below.breed();
  EXPECT_EQ(below.stats().births, 2);  // the pass runs in full past the cap
}

// The cycle keeps thresholds from pass to pass; a changed parameter must not find old ones.
TEST(YearlyCycle, KeptThresholdsFollowChangedParameters) {
  Fixture f(4);
  f.breed();
  EXPECT_EQ(f.stats().births, 2);  // birthChance 1000: every test succeeds
  f.params.birthChance = 0;        // no test can succeed now
  f.breed();
  EXPECT_EQ(f.stats().births, 0);
  f.params.birthChance = 30;  // threshold 30: every draw of a range of 1 is below it
  f.breed();
  EXPECT_EQ(f.stats().births, 2);
  f.params.birthChanceDiv = 65535;  // the same threshold, now 30 in 65535
  f.breed();
  EXPECT_EQ(f.stats().births, 0);

  // The age thresholds of one cycle, for fresh teams of three players aged 5.
  YearlyCycle cycle;
  SimParams params = Fixture(0).params;
  params.ageStart = 1;
  params.ageDeath = 0;  // thresholds 0: nobody dies of age
  params.fitDeath = 0;
  const auto agePass = [&] {
    Fixture old(3);
    for (std::size_t i = 0; i < 3; ++i) old.player(i).age = 5;
    cycle.removeDeaths(old.team, params, old.rng);
    return old.stats().ageDeaths;
  };
  EXPECT_EQ(agePass(), 0);
  params.ageDeath = 1000;  // now far above the range: all of them die of age
  EXPECT_EQ(agePass(), 3);
  params.ageDeathDiv = 65535;  // the same thresholds, 5000 in 65535
  int ageDeaths = 0;
  for (int pass = 0; pass < 20; ++pass) {
    Fixture old(3);
    for (int k = 0; k < pass * 3; ++k) old.rng.randomNext();
    for (std::size_t i = 0; i < 3; ++i) old.player(i).age = 5;
    cycle.removeDeaths(old.team, params, old.rng);
    ageDeaths += old.stats().ageDeaths;
  }
  EXPECT_GT(ageDeaths, 0);
  EXPECT_LT(ageDeaths, 20);  // about 60 tests, each about 1 in 13
}

TEST(Breeding, FertilityThresholdWithDivisorOne) {
  Fixture f(4);
  f.params.birthChance = 1;  // threshold = fertility / 50, truncated
  for (std::size_t i = 0; i < 4; ++i) f.player(i).fertility = i % 2 == 0 ? 49.0f : 50.0f;
  f.breed();
  // Only players 2 and 4 pass; 2 breeds with 3, then 4 with the newborn 5 after it.
  ASSERT_EQ(f.stats().births, 2);
  EXPECT_EQ(f.player(4).parent1Id, 2);
  EXPECT_EQ(f.player(4).parent2Id, 3);
  EXPECT_EQ(f.player(5).parent1Id, 4);
  EXPECT_EQ(f.player(5).parent2Id, 5);
}

// Whole fertilities take their bounds from a table; any other value, odd or out of range,
// must be tested as the rules say, with its own threshold.
TEST(Breeding, EveryFertilityIsTestedWithItsOwnThreshold) {
  const float inf = std::numeric_limits<float>::infinity();
  for (const std::int32_t chance : {60, 10000}) {
    for (const float fertility : {0.0f, -0.0f, 0.5f, 37.0f, 99.0f, 99.5f, 100.0f, 150.0f, -1.0f,
                                  -0.5f, 49.999f, 1e9f, inf, -inf, std::nanf("")}) {
      int births = 0;
      for (int offset = 0; offset < 60; ++offset) {
        Fixture f(2);
        f.params.birthChance = chance;
        f.params.birthChanceDiv = 100;
        f.player(0).fertility = fertility;
        f.player(1).age = 0;  // only player 0 starts a birth
        for (int k = 0; k < offset; ++k) f.rng.randomNext();
        Random expected = f.rng;
        const double doubled = static_cast<double>(fertility) * 2;
        const bool born =
            chanceTest(expected, DrawRange(100), realToThreshold((doubled * 0.01) * chance));
        f.breed();
        ASSERT_EQ(f.stats().births, born ? 1 : 0)
            << "fertility " << fertility << " chance " << chance << " offset " << offset;
        births += f.stats().births;
      }
      if (chance == 60 && (fertility == 37.0f || fertility == 49.999f)) {
        EXPECT_GT(births, 0) << fertility;  // both outcomes seen
        EXPECT_LT(births, 60) << fertility;
      }
    }
  }
}

// One birth of player 1 (initiator) and player 2 (partner): the birth test of a range of
// one draws first, then the birth's own draws.
struct Birth : Fixture {
  Birth(std::string fit, const char* a, const char* b) : Fixture(0, fit) {
    team.startList();
    for (const char* genes : {a, b}) {
      const auto i = team.players.append();
      std::memcpy(team.players.chromosome(i), genes, std::strlen(genes));
      Player& p = team.players[i];
      p.id = static_cast<int>(i) + 1;
      p.age = i == 0 ? 1 : 0;
      p.fertility = i == 0 ? 10.0f : 20.0f;
      p.fitness = team.fitnessOf(team.players.chromosome(i));
    }
    team.nextId = 3;
  }
  const Player& child() { return team.players[2]; }
};

TEST(Breeding, CrossoverTakesTheTailParentsFertility) {
  // Each cut position of the 4-gene crossover, found by trying seeds.
  bool seen[4] = {};
  const char* expected[4] = {"BBBB", "BAAA", "AABB", "BBBA"};
  const float fertility[4] = {20, 10, 20, 10};
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    Birth f("ABAB", "AAAA", "BBBB");
    f.rng.randomInit(seed);
    Random probe = f.rng;
    probe.randomBelow(1);  // the birth test
    const auto cut = probe.randomBelow(4);
    f.breed();
    ASSERT_EQ(f.team.players.size(), 3u);
    EXPECT_EQ(std::string(f.team.players.chromosomeView(2)), expected[cut]);
    EXPECT_EQ(f.child().fertility, fertility[cut]);
    EXPECT_EQ(f.child().lastMutation, 0);
    EXPECT_EQ(f.child().fitness, test::plainFitness(f.team.players.chromosome(2), f.team));
    seen[cut] = true;
  }
  for (bool s : seen) EXPECT_TRUE(s);
}

TEST(Breeding, MutationOfGeneOrFertility) {
  int fertilityMutations = 0;
  for (std::uint32_t seed = 0; seed < 100; ++seed) {
    Birth f("AAAA", "AAAA", "@@@@");
    f.params.mutation = 1;  // every birth mutates
    f.rng.randomInit(seed);
    f.breed();
    ASSERT_EQ(f.team.players.size(), 3u);
    const int m = f.child().lastMutation;
    ASSERT_TRUE((m >= 1 && m <= 4) || m == 88);
    if (m == 88) ++fertilityMutations;
    EXPECT_EQ(f.child().fitness, test::plainFitness(f.team.players.chromosome(2), f.team));
  }
  EXPECT_GT(fertilityMutations, 0);
}

TEST(Deaths, AgeAndFitnessTests) {
  Fixture f(4, "0909");
  f.params.ageStart = 5;
  f.params.ageDeath = 0;  // threshold 0: nobody dies of age
  f.params.fitDeath = 1;
  f.params.fitDeathDiv = 1;
  // With divisor 1 exactly the players with 0 < fitness <= average die of low fitness.
  const int fitness[4] = {0, 10, 20, 30};
  for (int i = 0; i < 4; ++i) f.player(i).fitness = fitness[i];
  f.stats().avgFitness = 20;
  f.cycle.removeDeaths(f.team, f.params, f.rng);
  EXPECT_EQ(f.ids(), (std::vector<std::int32_t>{1, 4}));
  EXPECT_EQ(f.stats().fitDeaths, 2);
  EXPECT_EQ(f.stats().deaths, 2);

  // An age test that always succeeds takes the place of the fitness test.
  Fixture old(2, "0909");
  old.params.ageStart = 1;
  old.params.ageDeath = 1;
  old.params.fitDeath = 1000;
  old.player(0).age = 2;  // threshold 2 over range 1: dies of age
  old.player(1).age = 1;  // equal to ageStart: no age test
  old.stats().avgFitness = 1;
  old.cycle.removeDeaths(old.team, old.params, old.rng);
  EXPECT_EQ(old.stats().ageDeaths, 1);
  EXPECT_EQ(old.stats().fitDeaths, 1);
  EXPECT_EQ(old.stats().maxDeaths, 2);
  EXPECT_TRUE(old.team.players.empty());
}

// The death pass reads the generator's values ahead; it must take exactly the draws of one
// test at a time, wherever the round stands and whatever the ranges reject.
TEST(Deaths, SameDrawsAsOneTestAtATime) {
  struct Ranges {
    std::int32_t ageDeathDiv, fitDeathDiv;
  };
  for (const Ranges r :
       {Ranges{100, 100}, Ranges{50000, 33000}, Ranges{0, 100}, Ranges{100, 70000}, Ranges{1, 1}}) {
    for (int offset = 0; offset < 250; offset += 7) {
      Fixture f(600, "The quick brown fox");
      f.params.ageStart = 3;
      f.params.ageDeath = r.ageDeathDiv / 4;
      f.params.ageDeathDiv = r.ageDeathDiv;
      f.params.fitDeath = r.fitDeathDiv / 3;
      f.params.fitDeathDiv = r.fitDeathDiv;
      for (std::size_t i = 0; i < f.team.players.size(); ++i) {
        f.player(i).age = static_cast<std::int32_t>(f.rng.randomBelow(9));
        if (i % 50 == 0) f.player(i).fitness = -5;  // below any memo
      }
      f.stats().avgFitness = 500.5f;
      for (int k = 0; k < offset; ++k) f.rng.randomNext();
      Random expected = f.rng;
      const DrawRange ageRange(r.ageDeathDiv), fitRange(r.fitDeathDiv);
      std::vector<std::int32_t> survivors;
      for (std::size_t i = 0; i < f.team.players.size(); ++i) {
        const Player& p = f.player(i);
        const std::int32_t ageT = ageThreshold(p.age, f.params.ageStart, f.params.ageDeath);
        const std::int32_t fitT = fitThreshold(f.stats().avgFitness, p.fitness, f.params.fitDeath);
        const bool byAge = p.age > f.params.ageStart && chanceTest(expected, ageRange, ageT);
        if (!byAge && !chanceTest(expected, fitRange, fitT)) survivors.push_back(p.id);
      }
      f.cycle.removeDeaths(f.team, f.params, f.rng);
      ASSERT_EQ(f.ids(), survivors) << "offset " << offset;
      EXPECT_EQ(f.rng.index(), expected.index()) << "offset " << offset;
      EXPECT_EQ(f.rng.randomNext(), expected.randomNext()) << "offset " << offset;
    }
  }
}

TEST(ThresholdMemo, KeepsValuesUntilClearedWhateverTheyAre) {
  ThresholdMemo memo;
  int computed = 0;
  const auto value = [&](std::uint32_t v) {
    return [&computed, v] {
      ++computed;
      return v;
    };
  };
  EXPECT_EQ(memo.get(7, value(70)), 70u);
  EXPECT_EQ(memo.get(7, value(9)), 70u);  // kept: not computed again
  EXPECT_EQ(computed, 1);
  // The memo's own mark of an empty entry (1, never a chance bound) is a value like any
  // other, even if it is not kept; so are both ends of the range.
  std::size_t key = 3;
  for (const std::uint32_t v : {1u, 0u, 0xFFFFFFFFu}) {
    EXPECT_EQ(memo.get(key, value(v)), v);
    EXPECT_EQ(memo.get(key, value(v)), v);
    ++key;
  }
  {
    ThresholdMemo::View view(memo);
    EXPECT_EQ(view.get(7, value(9)), 70u);
    EXPECT_EQ(view.get(100000, value(5)), 5u);  // grows the table under the view
    EXPECT_EQ(view.get(100000, value(9)), 5u);
    EXPECT_EQ(view.get(std::size_t{1} << 30, value(9)), 9u);  // too far out to keep
    EXPECT_EQ(view.get(std::size_t{1} << 30, value(10)), 10u);
  }
  memo.clear();
  computed = 0;
  EXPECT_EQ(memo.get(7, value(71)), 71u);
  EXPECT_EQ(memo.get(100000, value(6)), 6u);
  EXPECT_EQ(computed, 2);
}

TEST(ThresholdMemo, FilledValuesAreKeptAndClearedAsComputedOnes) {
  ThresholdMemo memo;
  int computed = 0;
  const auto never = [&] {
    ++computed;
    return 9u;
  };
  EXPECT_EQ(memo.get(3, [] { return 30u; }), 30u);
  memo.fill(1000, 1010, [](std::size_t key) { return static_cast<std::uint32_t>(key) * 2; });
  EXPECT_EQ(memo.get(1000, never), 2000u);
  EXPECT_EQ(memo.get(1010, never), 2020u);
  EXPECT_EQ(memo.get(3, never), 30u);
  EXPECT_EQ(computed, 0);
  {
    ThresholdMemo::View view(memo);
    EXPECT_EQ(view.get(1005, never), 2010u);
    EXPECT_EQ(computed, 0);
  }
  // Refilling overwrites; a clear forgets the filled keys along with the computed ones.
  memo.fill(1005, 1005, [](std::size_t) { return 7u; });
  EXPECT_EQ(memo.get(1005, never), 7u);
  memo.clear();
  EXPECT_EQ(memo.get(1000, [] { return 5u; }), 5u);
  EXPECT_EQ(memo.get(3, [] { return 6u; }), 6u);
  EXPECT_EQ(computed, 0);
}

TEST(YearlyCycle, EmptyTeamAndProgressCalls) {
  Fixture f(0);
  History history;
  history.allocHistory(3);
  int calls = 0;
  f.stats().births = f.stats().deaths = 7;
  f.cycle.runYear(f.team, f.params, f.rng, history, [&] { ++calls; });
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(f.stats().births, 0);
  EXPECT_EQ(f.stats().deaths, 0);
  EXPECT_EQ(f.stats().year, 1);
  EXPECT_EQ(history.intEntry(History::kPopulation, 1), 0);
}

}  // namespace
}  // namespace kestravin
