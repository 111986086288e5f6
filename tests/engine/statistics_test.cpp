#include "engine/statistics.h"

#include <gtest/gtest.h>

#include "engine/history.h"
#include "engine/team.h"

namespace kestravin {
namespace {

// A team whose players have the given fitness values, ids from 1.
Team teamWith(std::initializer_list<int> fitness) {
  Team team;
  team.installFitString("ab");
  team.startList();
  int id = 1;
  for (int f : fitness) {
    const auto i = team.players.append();
    team.players[i].fitness = f;
    team.players[i].id = id++;
  }
  return team;
}

TEST(Statistics, MeanAndExtremesWithTies) {
  Team team = teamWith({1, 2, 2, 1});
  updateStatistics(team);
  EXPECT_FLOAT_EQ(team.stats.avgFitness, 1.5f);
  EXPECT_EQ(team.stats.maxFitness, 2);
  EXPECT_EQ(team.stats.bestId, 2);  // the earliest of the two
  EXPECT_EQ(team.stats.minFitness, 1);
  EXPECT_EQ(team.stats.worstId, 1);
  EXPECT_EQ(team.stats.year, 1);

  Team thirds = teamWith({1, 2, 2});
  summariseTeam(thirds);
  EXPECT_EQ(thirds.stats.avgFitness, static_cast<float>(5.0 / 3.0));
}

TEST(Statistics, SumBecomesAFloatBeforeTheDivision) {
  Team team = teamWith({1 << 24, 1});
  summariseTeam(team);
  // 2^24 + 1 rounds to 2^24, so the mean is 2^23 exactly, not 2^23 + 0.5.
  EXPECT_EQ(team.stats.avgFitness, 8388608.0f);
}

TEST(Statistics, ExtinctTeamKeepsLastExtremesAndMaxima) {
  Team team = teamWith({5, 9});
  updateStatistics(team);
  team.startList();
  updateStatistics(team);
  EXPECT_EQ(team.stats.population, 0);
  EXPECT_EQ(team.stats.avgFitness, 0.0f);
  EXPECT_EQ(team.stats.bestId, 0);
  EXPECT_EQ(team.stats.worstId, 0);
  EXPECT_EQ(team.stats.lowestPop, 0);
  EXPECT_EQ(team.stats.maxFitness, 9);
  EXPECT_EQ(team.stats.minFitness, 5);
  EXPECT_EQ(team.stats.highestPop, 2);
  EXPECT_EQ(team.stats.bestMaxFitness, 9);
  EXPECT_EQ(team.stats.bestAvgFitness, 7.0f);
}

TEST(History, SizedFromMaxGenAndRecordsOnlyInside) {
  History history;
  Team team = teamWith({3, 4});
  updateStatistics(team);
  team.stats.year = 0;
  team.stats.births = 2;
  history.allocHistory(5);
  EXPECT_EQ(history.size(), 6);
  history.recordHistory(team.stats);
  EXPECT_EQ(history.intEntry(History::kPopulation, 0), 2);
  EXPECT_EQ(history.intEntry(History::kBirths, 0), 2);
  EXPECT_EQ(history.avgFitness(0), 3.5f);
  team.stats.year = 6;  // outside: not written, nothing overruns
  history.recordHistory(team.stats);
  history.allocHistory(0);
  EXPECT_EQ(history.size(), 1);
  history.allocHistory(-1);
  EXPECT_FALSE(history.allocated());
  history.recordHistory(team.stats);
}

}  // namespace
}  // namespace kestravin
