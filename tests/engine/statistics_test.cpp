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
    const auto i = team.appendPlayer();
    team.player(i).fitness = f;
    team.player(i).id = id++;
  }
  return team;
}

TEST(Statistics, MeanAndExtremesWithTies) {
  Team team = teamWith({1, 2, 2, 1});
  updateStatistics(team);
  EXPECT_FLOAT_EQ(team.avgFitness, 1.5f);
  EXPECT_EQ(team.maxFitness, 2);
  EXPECT_EQ(team.bestId, 2);  // the earliest of the two
  EXPECT_EQ(team.minFitness, 1);
  EXPECT_EQ(team.worstId, 1);
  EXPECT_EQ(team.year, 1);

  Team thirds = teamWith({1, 2, 2});
  updateMeanFitness(thirds);
  EXPECT_EQ(thirds.avgFitness, static_cast<float>(5.0 / 3.0));
}

TEST(Statistics, SumBecomesAFloatBeforeTheDivision) {
  Team team = teamWith({1 << 24, 1});
  updateMeanFitness(team);
  // 2^24 + 1 rounds to 2^24, so the mean is 2^23 exactly, not 2^23 + 0.5.
  EXPECT_EQ(team.avgFitness, 8388608.0f);
}

TEST(Statistics, ExtinctTeamKeepsLastExtremesAndMaxima) {
  Team team = teamWith({5, 9});
  updateStatistics(team);
  team.startList();
  updateStatistics(team);
  EXPECT_EQ(team.population, 0);
  EXPECT_EQ(team.avgFitness, 0.0f);
  EXPECT_EQ(team.bestId, 0);
  EXPECT_EQ(team.worstId, 0);
  EXPECT_EQ(team.lowestPop, 0);
  EXPECT_EQ(team.maxFitness, 9);
  EXPECT_EQ(team.minFitness, 5);
  EXPECT_EQ(team.highestPop, 2);
  EXPECT_EQ(team.bestMaxFitness, 9);
  EXPECT_EQ(team.bestAvgFitness, 7.0f);
}

TEST(History, SizedFromMaxGenAndRecordsOnlyInside) {
  History history;
  Team team = teamWith({3, 4});
  updateStatistics(team);
  team.year = 0;
  team.births = 2;
  history.allocHistory(5);
  EXPECT_EQ(history.size(), 6);
  history.recordHistory(team);
  EXPECT_EQ(history.intEntry(History::kPopulation, 0), 2);
  EXPECT_EQ(history.intEntry(History::kBirths, 0), 2);
  EXPECT_EQ(history.avgFitness(0), 3.5f);
  team.year = 6;  // outside: not written, nothing overruns
  history.recordHistory(team);
  history.allocHistory(0);
  EXPECT_EQ(history.size(), 1);
  history.allocHistory(-1);
  EXPECT_FALSE(history.allocated());
  history.recordHistory(team);
}

}  // namespace
}  // namespace kestravin
