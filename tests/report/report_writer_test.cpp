#include "report/report_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/random.h"
#include "engine/simulation.h"
#include "engine/team.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(ReportBlock, EmptyPopulationHasOnlyTheStatistics) {
  Team team;
  team.installFitString("ab");
  team.startList();
  team.stats.year = 5;
  team.stats.avgFitness = 12.5f;
  EXPECT_EQ(formatReportBlock(team, 888),
            "**** Team Info, Year 893 ****\r\n"
            "Max Fitness=0 Min Fitness=0 Avg Fitness=12.50\r\n"
            "Total population=0 Births=0\r\n"
            "Age Deaths=0 Fitness Deaths=0 Total Deaths=0\r\n"
            "Best Fitness=0 Best Avg Fitness=0.00\r\n"
            "Highest population=0 Lowest Population=0\r\n\r\n");
}

TEST(ReportBlock, PlayerLinesArePaddedUnderTheRule) {
  Team team;
  team.installFitString("abcde");
  team.startList();
  auto add = [&](const char* genes, int id, int fitness, float fertility) {
    const auto i = team.players.append();
    std::memcpy(team.players.chromosome(i), genes, std::strlen(genes));
    Player& p = team.players[i];
    p.id = id;
    p.fitness = fitness;
    p.age = 3;
    p.lastMutation = 88;
    p.fertility = fertility;
    p.children = 2;
  };
  add("abcde", 7, 42, 42);
  add("xyzzy", 123456, 1000, 5);
  const std::string block = formatReportBlock(team, 0);
  EXPECT_THAT(block,
              HasSubstr(" ID    FIT    AGE    MUT    FERT    KIDS    CHROMO\r\n"
                        "----  -----  -----  -----  ------  ------  --------\r\n"
                        "7     42     3      88     42.00   2       abcde               \r\n"
                        "123456 1000     3      88     5.00    2       xyzzy               \r\n"
                        "\r\n*******************************\r\n\r\n"));
  // Every line break is CR LF.
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (block[i] == '\n') {
      ASSERT_TRUE(i > 0 && block[i - 1] == '\r');
    }
  }
}

// Every LF byte in a report is preceded by the CR it was stored with, whatever the genes.
void expectEveryLineFeedAfterACarriageReturn(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "byte " << i;
    }
  }
}

// Genes of code 10 are stored as CR LF, as every line break; code 13 stays as it is, and a
// gene of code 0 ends the printed chromosome, its padding counting only what was printed.
TEST(ReportBlock, ControlCodeGenesAsTextModeStoresThem) {
  Team team;
  team.installFitString("Kestrel\x8a");  // codes -118..115: 0, 10 and 13 are genes
  ASSERT_LE(team.geneMin, 0);
  ASSERT_GE(team.geneMax, 13);
  team.startList();
  const auto add = [&](std::string genes, int id) {
    const auto i = team.players.append();
    std::memcpy(team.players.chromosome(i), genes.data(), genes.size());
    team.players[i].id = id;
  };
  add(std::string("ab\ncd\re\0xyz", 11), 1);
  add("\n\n", 2);
  const std::string block = formatReportBlock(team, 0);
  EXPECT_THAT(block, HasSubstr("1     0      0      0      0.00    0       ab\r\ncd\re" +
                               std::string(13, ' ') + "\r\n"));
  EXPECT_THAT(block, HasSubstr("2     0      0      0      0.00    0       \r\n\r\n" +
                               std::string(18, ' ') + "\r\n"));
  expectEveryLineFeedAfterACarriageReturn(block);

  // A whole run whose genes range over the control codes.
  SimParams p;
  p.mutation = 30;
  p.mutationDiv = 100;
  p.teamSize = 200;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 30;
  p.fitDeathDiv = 100;
  p.birthChance = 80;
  p.birthChanceDiv = 100;
  p.maxGen = 30;
  p.maxPop = 400;
  p.fitString = "Kestrel\x8a";
  Simulation run(p, 3);
  std::string report = formatReportBlock(run.team(), 0);
  bool lineFeeds = false, returns = false;
  while (run.end() == RunEnd::kNone) {
    run.advance();
    report.append(formatReportBlock(run.team(), 0));
    for (std::size_t i = 0; i < run.team().players.size(); ++i) {
      const std::string_view genes = run.team().players.chromosomeView(i);
      lineFeeds |= genes.find('\n') != std::string_view::npos;
      returns |= genes.find('\r') != std::string_view::npos;
    }
  }
  ASSERT_TRUE(lineFeeds && returns) << "the run had genes of codes 10 and 13";
  expectEveryLineFeedAfterACarriageReturn(report);
}

// A fitness string of one repeated code -128: the gene range wraps in 8 bits to 127..-128,
// and no fitness is negative.
TEST(ReportBlock, FitnessStringOfCodeMinus128) {
  Team team;
  team.installFitString("\x80\x80\x80\x80");
  EXPECT_EQ(team.geneMin, 127);
  EXPECT_EQ(team.geneMax, -128);
  EXPECT_EQ(team.geneRange, 1);
  EXPECT_EQ(team.targetFitness, 4 * 255);
  Random rng;
  rng.randomInit(9);
  createTeam(team, 40, rng);
  for (std::size_t i = 0; i < team.players.size(); ++i) {
    int matching = 0;
    for (const char gene : team.players.chromosomeView(i)) {
      ASSERT_TRUE(gene == '\x7f' || gene == '\x80');
      matching += gene == '\x80';
    }
    EXPECT_EQ(team.players[i].fitness, 255 * matching);  // 0 for a gene of 127, 255 for -128
  }
  const std::string block = formatReportBlock(team, 0);
  EXPECT_THAT(block, Not(HasSubstr("Fitness=-")));
  EXPECT_THAT(block, HasSubstr("Max Fitness=" + std::to_string(team.stats.maxFitness) + " "));
  EXPECT_GE(team.stats.minFitness, 0);
}

class ReportFolder : public ::testing::Test {
 protected:
  void SetUp() override { folder = test::freshTestFolder("kestravin-report"); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

TEST_F(ReportFolder, NamesSkipWhatExistsAndAreNeverReused) {
  std::ofstream(folder / "generation 0.txt") << "old";
  std::ofstream(folder / "generation 1.txt") << "old";
  std::filesystem::create_directory(folder / "generation 2.txt");
  ReportWriter writer(folder);
  ASSERT_TRUE(writer.openReport());
  EXPECT_EQ(writer.name(), "generation 3.txt");
  EXPECT_TRUE(writer.closeReport());
  std::filesystem::remove(folder / "generation 0.txt");
  ASSERT_TRUE(writer.openReport());
  EXPECT_EQ(writer.name(), "generation 4.txt");
  EXPECT_EQ(writer.reportCounter(), 5);
  EXPECT_TRUE(writer.closeReport());
  EXPECT_TRUE(writer.closeReport());  // closing twice is harmless
}

TEST_F(ReportFolder, FailuresAreReadable) {
  ReportWriter missing(folder / "no such folder");
  EXPECT_FALSE(missing.openReport());
  EXPECT_EQ(missing.error(),
            "The report generation 0.txt could not be created: No such file or directory");
  EXPECT_FALSE(missing.isOpen());
  EXPECT_EQ(missing.reportCounter(), 1);  // the failed name counts as tried

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  ReportWriter full;
  full.setFixedPath("/dev/full");
  ASSERT_TRUE(full.openReport());
  Team team;
  team.installFitString("ab");
  team.startList();
  full.writeReportBlock(team, 0);
  EXPECT_FALSE(full.closeReport());
  EXPECT_EQ(full.error(), "The report /dev/full could not be written: No space left on device");
}

}  // namespace
}  // namespace kestravin
