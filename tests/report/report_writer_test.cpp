#include "report/report_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/team.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::HasSubstr;

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
