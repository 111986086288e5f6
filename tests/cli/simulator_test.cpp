#include "cli/simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/sim_options.h"
#include "support/exec_program.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
template <typename... Args>
[[noreturn]] void execSimulator(Args... args) {
  test::execProgram(KESTRAVIN_SIM_PROGRAM, args...);
}
#endif

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
  EXPECT_EQ(parseSimOptions({"--seed", "00000000001"}, error)->seed, 1u);
  // A repeated option, or an option where a value belongs, is a mistake, not a file name.
  EXPECT_EQ(run({"--seed", "1", "--seed", "2"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("--seed is given twice"));
  EXPECT_EQ(run({"--report", "--help"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("needs a value, not the option '--help'"));
  EXPECT_FALSE(fs::exists("--help"));
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

// An output that is the constants file, or the other output, under any name, is refused
// before anything is opened.
TEST_F(Simulator, OutputsNeverOverwriteTheInputOrEachOther) {
  const std::string data = KESTRAVIN_TEST_DATA;
  const auto consts = write("consts.txt", slurp(data + "/small_consts.txt"));
  const std::string original = slurp(consts);
  std::vector<fs::path> names = {consts, dir / "." / "consts.txt"};
  std::error_code ec;
  fs::create_hard_link(consts, dir / "hard.txt", ec);
  if (!ec) names.push_back(dir / "hard.txt");
  fs::create_symlink(consts, dir / "link.txt", ec);  // not every system makes them
  if (!ec) names.push_back(dir / "link.txt");
  for (const fs::path& same : names) {
    EXPECT_EQ(run({"--consts", consts.string(), "--seed", "1", "--report", same.string()}), 2)
        << same;
    EXPECT_THAT(err.str(), HasSubstr("is the constants file"));
    EXPECT_EQ(run({"--consts", consts.string(), "--seed", "1", "--csv", same.string()}), 2);
  }
  EXPECT_EQ(slurp(consts), original);

  const auto x = (dir / "x").string();
  EXPECT_EQ(run({"--consts", consts.string(), "--report", x, "--csv", (dir / "." / "x").string()}),
            2);
  EXPECT_THAT(err.str(), HasSubstr("--report and --csv name the same file"));
  fs::create_symlink(dir / "y", dir / "to-y", ec);  // dangling: y does not exist yet
  if (!ec) {
    EXPECT_EQ(run({"--consts", consts.string(), "--report", (dir / "to-y").string(), "--csv",
                   (dir / "y").string()}),
              2);
  }
  EXPECT_FALSE(fs::exists(x));
  EXPECT_FALSE(fs::exists(dir / "y"));
}

// Outputs are created before the run, so a path that cannot be written fails at once and
// leaves nothing behind; a constants file the user named must read whole.
TEST_F(Simulator, UnusableOutputsAndConstantsFailBeforeTheRun) {
  const std::string data = KESTRAVIN_TEST_DATA;
  const std::string consts = data + "/small_consts.txt";
  const auto report = dir / "r.txt";
  const auto csv = dir / "h.csv";
  EXPECT_EQ(run({"--consts", consts, "--report", report.string(), "--csv",
                 (dir / "none" / "h.csv").string()}),
            1);
  EXPECT_THAT(err.str(), HasSubstr("The CSV file"));
  EXPECT_THAT(out.str(), Not(HasSubstr("Year:")));  // no run
  EXPECT_EQ(run({"--consts", consts, "--csv", csv.string(), "--report",
                 (dir / "none" / "r.txt").string()}),
            1);
  EXPECT_THAT(err.str(), HasSubstr("could not be created"));
  EXPECT_FALSE(fs::exists(report));
  EXPECT_FALSE(fs::exists(csv));

  std::string text = slurp(consts);
  const auto shifted = write("shifted.txt", text.replace(text.find("100"), 3, "lots"));
  EXPECT_EQ(run({"--consts", shifted.string(), "--report", report.string()}), 1);
  EXPECT_THAT(err.str(), HasSubstr("\"lots\" is not a number"));
  EXPECT_FALSE(fs::exists(report));
  const auto early = write("early.txt", "Mutation: 10\nMutationDiv: 100\n");
  EXPECT_EQ(run({"--consts", early.string(), "--csv", csv.string()}), 1);
  EXPECT_THAT(err.str(), HasSubstr("ends before entry 3"));
  EXPECT_FALSE(fs::exists(csv));
}

TEST_F(Simulator, UnwritableStandardOutputFails) {
  const std::string data = KESTRAVIN_TEST_DATA;
  std::ostream broken(nullptr);  // every write fails, as on a full disk
  std::ostringstream errors;
  EXPECT_EQ(
      runSimulator({"--consts", data + "/small_consts.txt", "--seed", "1"}, broken, errors, false),
      1);
  EXPECT_THAT(errors.str(), HasSubstr("standard output could not be written"));
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
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// The real program, interrupted in the middle of a long reported run.
class Interrupted : public Simulator, public ::testing::WithParamInterface<int> {};

TEST_P(Interrupted, RunEndsOnAWholeYearWithEveryOutput) {
  const int signal = GetParam();
  const auto consts = write("consts.txt",
                            "a 10 b 100 c 2000 d 5 e 10 f 100 g 25 h 100 i 60 j 100 k 1000000 "
                            "l 100 m 2000 n Kestravin_evolves_towards_this_long_target_text");
  const auto report = dir / "report.txt";
  const auto csv = dir / "history.csv";
  const auto errors = dir / "stderr.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen(errors.c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    execSimulator("--consts", consts.c_str(), "--seed", "3", "--report", report.c_str(), "--csv",
                  csv.c_str());
  }
  // Let it run for some years, then interrupt it.
  for (int k = 0; k < 400 && (!fs::exists(report) || fs::file_size(report) < 2'000'000); ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, signal);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + signal);

  const std::string said = slurp(errors);
  const auto at = said.find("interrupted at year ");
  ASSERT_NE(at, std::string::npos) << said;
  const int year = std::stoi(said.substr(at + 20));
  const std::string text = slurp(report);
  const std::string lastBlock = "**** Team Info, Year " + std::to_string(year) + " ****\r\n";
  EXPECT_NE(text.find(lastBlock), std::string::npos);
  EXPECT_EQ(text.find("**** Team Info, Year " + std::to_string(year + 1)), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 37), "\r\n*******************************\r\n\r\n");
  // The history holds years 0 to the last whole one.
  const std::string history = slurp(csv);
  EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), year - 100 + 2);
  EXPECT_EQ(said.find('\r'), std::string::npos) << "no progress line off a terminal";
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted, ::testing::Values(SIGINT, SIGTERM));

// A team that grows until its memory runs out, under a limit on the address space: the run
// ends at its last whole year with a message, the history written to that year.
TEST_F(Simulator, OutOfMemoryEndsTheRunAndKeepsWhatWasDone) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  if (KESTRAVIN_TEST_EMULATOR[0] != '\0') GTEST_SKIP() << "an emulator ignores the limit";
  const auto consts = write("consts.txt",
                            "a 0 b 100 c 1000 d 5000 e 0 f 100 g 0 h 100 i 1000 j 100 "
                            "k 1000000 l 0 m 1000000 n Kestravin_evolves_under_a_memory_limit");
  const auto csv = dir / "history.csv";
  const auto errors = dir / "stderr.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen(errors.c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    const rlimit limit{200u << 20, 200u << 20};
    setrlimit(RLIMIT_AS, &limit);
    execSimulator("--consts", consts.c_str(), "--seed", "1", "--csv", csv.c_str());
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "not ended by a signal (an abort, say)";
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string said = slurp(errors);
  const auto at = said.find("out of memory at year ");
  ASSERT_NE(at, std::string::npos) << said;
  const int year = std::stoi(said.substr(at + 22));
  EXPECT_GT(year, 3);
  EXPECT_THAT(said, HasSubstr("(team of "));
  const std::string history = slurp(csv);
  EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), year + 2);
}
#endif

}  // namespace
}  // namespace kestravin
