#include "cli/simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/sim_options.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Simulator : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::freshTestFolder("kestravin-sim"); }
  void TearDown() override { fs::remove_all(dir); }

  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return runSimulator(args, out, err, false);
  }
  fs::path write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  }

  fs::path dir;
  std::ostringstream out, err;
};

TEST_F(Simulator, CommandLineErrorsExitTwo) {
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("usage: kestravin-sim"));
  EXPECT_EQ(run({"--frobnicate"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("unknown option '--frobnicate'"));
  EXPECT_EQ(run({"--seed"}), 2);
  EXPECT_EQ(run({"--seed", "12x"}), 2);
  EXPECT_EQ(run({"--seed", "-1"}), 2);
  EXPECT_EQ(run({"--seed", "4294967296"}), 2);
  std::string error;
  EXPECT_EQ(parseSimOptions({"--seed", "4294967295"}, error)->seed, 4294967295u);
}

TEST_F(Simulator, UnusableInputExitsOneAndWritesNothing) {
  EXPECT_EQ(run({"--consts", (dir / "absent.txt").string()}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot open the constants file"));

  const auto bad = write(
      "bad.txt", "a 1 b 0 c 10 d 5 e 10 f 100 g 30 h 100 i 80 j 100 k 2000000 l 0 m 50 n abc");
  EXPECT_EQ(run({"--consts", bad.string(), "--report", (dir / "r.txt").string(), "--csv",
                 (dir / "h.csv").string()}),
            1);
  EXPECT_THAT(err.str(), HasSubstr("Mutation Div: 0 is outside 1..65535"));
  EXPECT_THAT(err.str(), HasSubstr("Max Gen: 2000000 is outside 0..1000000"));
  EXPECT_FALSE(fs::exists(dir / "r.txt"));
  EXPECT_FALSE(fs::exists(dir / "h.csv"));
}

TEST_F(Simulator, SeededRunMatchesTheStoredReport) {
  // A small run whose report was read through against the rules and stored.
  const std::string data = KESTRAVIN_TEST_DATA;
  const auto report = dir / "report.txt";
  const auto csv = dir / "history.csv";
  ASSERT_EQ(run({"--consts", data + "/small_consts.txt", "--seed", "2024", "--report",
                 report.string(), "--csv", csv.string()}),
            0)
      << err.str();
  EXPECT_EQ(slurp(report), slurp(data + "/small_report_seed2024.txt"));
  EXPECT_EQ(out.str(), slurp(data + "/small_stdout_seed2024.txt"));
  const std::string history = slurp(csv);
  EXPECT_EQ(history.rfind("year,maxFitness,minFitness,population,births,deaths,ageDeaths,"
                          "fitDeaths,avgFitness\n0,",
                          0),
            0u);
  EXPECT_EQ(history, slurp(data + "/small_history_seed2024.csv"));
}

TEST_F(Simulator, ShippedFileEvolvesAPlayer) {
  ASSERT_EQ(run({"--consts", KESTRAVIN_SHIPPED_CONSTS, "--seed", "11"}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("***EFFICIENT PLAYER EVOLVED***"));
}

TEST_F(Simulator, IncompleteOutputExitsOne) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const std::string data = KESTRAVIN_TEST_DATA;
  EXPECT_EQ(run({"--consts", data + "/small_consts.txt", "--seed", "1", "--report", "/dev/full"}),
            1);
  EXPECT_THAT(out.str(), HasSubstr("Year: "));  // the run still ended normally
  EXPECT_THAT(err.str(), HasSubstr("could not be written: No space left on device"));
  EXPECT_EQ(run({"--consts", data + "/small_consts.txt", "--seed", "1", "--csv",
                 (dir / "none" / "h.csv").string()}),
            1);
  EXPECT_THAT(err.str(), HasSubstr("The CSV file"));
}

}  // namespace
}  // namespace kestravin
