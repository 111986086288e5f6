#include "engine/simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace kestravin {
namespace {

SimParams params(std::int32_t maxGen = 400) {
  SimParams p;
  p.mutation = 10;
  p.mutationDiv = 100;
  p.teamSize = 300;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 30;
  p.fitDeathDiv = 100;
  p.birthChance = 80;
  p.birthChanceDiv = 100;
  p.maxGen = maxGen;
  p.startYear = 2000;
  p.maxPop = 600;
  p.fitString = "Kestravin evolves";
  return p;
}

// Everything a run leaves: its history, its statistics and every living player.
std::string fingerprint(const Simulation& run) {
  std::string out;
  const auto add = [&out](std::int64_t v) { out += std::to_string(v) + ","; };
  const History& h = run.history();
  for (std::int32_t y = 0; y <= run.stats().year; ++y) {
    for (int k = 0; k < History::kAvgFitness; ++k) add(h.intEntry(k, y));
    add(static_cast<std::int64_t>(h.avgFitness(y) * 100));
  }
  const TeamStats& s = run.stats();
  for (std::int32_t v : {s.bestId, s.worstId, s.highestPop, s.lowestPop, s.maxBirths, s.maxDeaths})
    add(v);
  const PlayerList& players = run.team().players;
  for (std::size_t i = 0; i < players.size(); ++i) {
    const Player& p = players[i];
    for (std::int32_t v : {p.id, p.parent1Id, p.parent2Id, p.children, p.fitness, p.age}) add(v);
    out += players.chromosomeView(i);
  }
  return out;
}

std::string runAlone(std::uint32_t seed) {
  Simulation run(params(), seed);
  while (run.end() == RunEnd::kNone) run.advance();
  return fingerprint(run);
}

TEST(Simulation, RunsOnTwoThreadsAtOnceAsAlone) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  GTEST_SKIP() << "this WebAssembly build has no threads";
#endif
  const std::string alone1 = runAlone(11);
  const std::string alone2 = runAlone(12);
  ASSERT_NE(alone1, alone2);
  std::string together1, together2;
  std::thread first([&] { together1 = runAlone(11); });
  std::thread second([&] { together2 = runAlone(12); });
  first.join();
  second.join();
  EXPECT_EQ(together1, alone1);
  EXPECT_EQ(together2, alone2);
}

TEST(Simulation, StartsAtYearZeroAndEndsByTheFirstConditionThatHolds) {
  Simulation run(params(3), 5);
  EXPECT_EQ(run.stats().year, 0);
  EXPECT_EQ(run.stats().population, 300);
  EXPECT_EQ(run.history().intEntry(History::kBirths, 0), 300);
  EXPECT_EQ(run.shownYear(), 2000);
  EXPECT_EQ(run.seed(), 5u);
  int ticks = 0;
  while (run.end() == RunEnd::kNone) run.advance([&] { ++ticks; });
  EXPECT_EQ(run.end(), RunEnd::kTimeLimit);
  EXPECT_EQ(ticks, 15);  // five phases a year
  EXPECT_EQ(run.shownYear(), 2003);

  SimParams empty = params();
  empty.teamSize = 0;
  EXPECT_EQ(Simulation(empty, 1).end(), RunEnd::kExtinct);
  SimParams none = params(0);
  none.teamSize = 0;  // the year limit comes first
  EXPECT_EQ(Simulation(none, 1).end(), RunEnd::kTimeLimit);
  SimParams easy = params();
  easy.fitString = "A";  // a founder matches at once
  EXPECT_EQ(Simulation(easy, 1).end(), RunEnd::kEfficientPlayer);
  easy.maxGen = 0;  // the year limit wins over a perfect player of the same year
  EXPECT_EQ(Simulation(easy, 1).end(), RunEnd::kTimeLimit);
}

}  // namespace
}  // namespace kestravin
