#include "engine/team.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/random.h"
#include "support/plain_rules.h"

namespace kestravin {
namespace {

TEST(Team, AnalyseFitString) {
  Team team;
  team.installFitString("AAAA");
  EXPECT_EQ(team.geneMin, 64);
  EXPECT_EQ(team.geneMax, 65);
  EXPECT_EQ(team.geneRange, 1);
  EXPECT_EQ(team.targetFitness, 4);

  team.installFitString("0909");
  EXPECT_EQ(team.geneRange, 9);
  EXPECT_EQ(team.targetFitness, 36);
  EXPECT_EQ(team.chromoLength(), 4);
  EXPECT_EQ(team.chromoSize(), 5);

  // All characters code 0 cannot be lowered: the maximum is raised instead.
  team.installFitString(std::string(3, '\0'));
  EXPECT_EQ(team.geneMin, 0);
  EXPECT_EQ(team.geneMax, 1);
  EXPECT_EQ(team.targetFitness, 3);

  // Codes above 127 are negative signed 8-bit values.
  team.installFitString("\xC3\xA9z");
  EXPECT_EQ(team.geneMin, -87);
  EXPECT_EQ(team.geneMax, 'z');
}

TEST(Team, FitnessCountsTheDistanceFromTheTarget) {
  Team team;
  team.installFitString("0909");
  EXPECT_EQ(test::plainFitness("0909", team), team.targetFitness);
  team.startList();
  char arena[16] = "1909";
  EXPECT_EQ(team.fitnessOf(arena), team.targetFitness - 1);
  EXPECT_EQ(test::plainFitness("1909", team), team.targetFitness - 1);
  EXPECT_EQ(test::plainFitness("9090", team), 0);
}

TEST(Team, FoundersHaveGenesInRangeAndSequentialIds) {
  Team team;
  Random rng;
  rng.randomInit(42);
  team.installFitString("AAAA");
  createTeam(team, 50, rng);
  ASSERT_EQ(team.players.size(), 50u);
  for (std::size_t i = 0; i < team.players.size(); ++i) {
    EXPECT_EQ(team.players[i].id, static_cast<int>(i) + 1);
    for (char c : team.players.chromosomeView(i)) EXPECT_TRUE(c == 'A' || c == '@');
    EXPECT_EQ(team.players.chromosome(i)[4], '\0');
    EXPECT_EQ(team.players[i].fitness, test::plainFitness(team.players.chromosome(i), team));
    const float f = team.players[i].fertility;
    EXPECT_TRUE(f >= 0 && f <= 99 && f == std::trunc(f));
  }
  EXPECT_EQ(team.stats.population, 50);
  EXPECT_EQ(team.stats.births, 50);
  EXPECT_EQ(team.stats.maxBirths, 50);
  EXPECT_EQ(team.nextId, 51);
  EXPECT_EQ(team.players.find(17), 16);
  EXPECT_EQ(team.players.find(51), -1);

  createTeam(team, 0, rng);
  EXPECT_TRUE(team.players.exists());
  EXPECT_EQ(team.players.size(), 0u);
  EXPECT_EQ(team.stats.population, 0);
  EXPECT_EQ(team.stats.births, 0);
  EXPECT_EQ(team.nextId, 1);

  team.players.release();
  EXPECT_FALSE(team.players.exists());
}

TEST(Team, RemovalKeepsTheOrderOfSurvivorsAndTheirChromosomes) {
  Team team;
  Random rng;
  rng.randomInit(7);
  team.installFitString("abcdefgh");
  createTeam(team, 6, rng);
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < team.players.size(); ++i) {
    if (i % 2 != 0) kept.emplace_back(team.players.chromosomeView(i));
  }
  team.players.removeIf([](const Player& p) { return p.id % 2 != 0; });
  ASSERT_EQ(team.players.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(team.players[i].id, static_cast<int>(2 * i + 2));
    EXPECT_EQ(std::string(team.players.chromosomeView(i)), kept[i]);
  }
}

// Every cut of strings from one block to sixteen, across block boundaries, ASCII or not: the
// child is the head's genes before the cut and the tail's after it, scored as any other.
TEST(Team, CrossoverJoinsHeadAndTailAtTheCutAndScoresTheChild) {
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += static_cast<char>(i % 2 == 0 ? 'a' + i % 26 : 200 - i % 90);
  for (const std::size_t length : {1u, 15u, 16u, 17u, 31u, 200u, 255u}) {
    Team team;
    team.installFitString(wide.substr(0, length));
    ASSERT_EQ(team.chromoLength(), static_cast<std::int32_t>(length));
    Random rng;
    rng.randomInit(static_cast<std::uint32_t>(length));
    createTeam(team, 2, rng);
    const std::size_t c = team.players.append();
    const std::string head(team.players.chromosomeView(0));
    const std::string tail(team.players.chromosomeView(1));
    for (std::size_t cut = 0; cut <= length; ++cut) {
      char* child = team.players.chromosome(c);
      const std::int32_t fitness =
          team.crossover(child, team.players.chromosome(0), team.players.chromosome(1), cut);
      const std::string expected = head.substr(0, cut) + tail.substr(cut);
      ASSERT_EQ(std::string(team.players.chromosomeView(c)), expected) << length << " cut " << cut;
      for (std::size_t b = length; b < team.players.stride(); ++b) ASSERT_EQ(child[b], '\0');
      ASSERT_EQ(fitness, test::plainFitness(child, team)) << length << " cut " << cut;
    }
  }
  // A longer string is cut to the longest the parameters allow.
  Team team;
  team.installFitString(wide);
  EXPECT_EQ(team.fitString(), wide.substr(0, 255));
}

}  // namespace
}  // namespace kestravin
