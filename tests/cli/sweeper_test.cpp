#include "cli/sweeper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/simulator.h"
#include "cli/sweep_folder.h"
#include "support/exec_program.h"
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

std::vector<std::string> splitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// Every file under a folder, by its path inside it.
std::map<std::string, std::string> filesUnder(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), dir).generic_string()] = slurp(entry.path());
    }
  }
  return files;
}

class Sweep : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::freshTestFolder("kestravin-sweep"); }
  void TearDown() override { fs::remove_all(dir); }

  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    LonePeer peers;
    return runSweeper(args, out, err, false, peers);
  }

  fs::path dir;
  std::ostringstream out, err;
  const std::string small = std::string(KESTRAVIN_TEST_DATA) + "/small_consts.txt";
};

// Each row of runs.csv is the run kestravin-sim makes from the set's constants file and the
// row's seed: the same end, years and statistics.
TEST_F(Sweep, EveryRowIsTheRunTheSimulatorReplays) {
  const fs::path exp = dir / "exp";
  ASSERT_EQ(run({"--consts", small, "--vary", "maxGen=5,60", "--vary", "fitString=Ke,Kestrel",
                 "--runs", "3", "--seed", "4294967294", "--jobs", "2", "--out", exp.string()}),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("Seed: 4294967294\n"));
  const auto lines = splitOn(slurp(exp / "runs.csv"), '\n');
  ASSERT_EQ(lines.size(), 14u);  // header, 12 rows, the empty rest after the last LF
  const auto head = splitOn(lines[0], ',');
  std::map<std::string, std::size_t> column;
  for (std::size_t k = 0; k < head.size(); ++k) column[head[k]] = k;
  const std::map<std::string, std::string> ends = {{"time-limit", "***TIME LIMIT REACHED***"},
                                                   {"efficient", "***EFFICIENT PLAYER EVOLVED***"},
                                                   {"extinct", "***POPULATION EXTINCT***"}};
  std::set<std::string> seen;
  for (std::size_t k = 1; k <= 12; ++k) {
    const auto row = splitOn(lines[k], ',');
    ASSERT_EQ(row.size(), head.size()) << lines[k];
    const auto at = [&](const std::string& name) { return row[column.at(name)]; };
    EXPECT_EQ(at("run"), std::to_string(k - 1));
    EXPECT_EQ(at("set"), std::to_string((k - 1) / 3));
    EXPECT_EQ(at("seed"), std::to_string((4294967294u + (k - 1)) % 4294967296u));
    seen.insert(at("end"));

    const fs::path report = dir / "replay.txt", csv = dir / "replay.csv";
    std::ostringstream simOut, simErr;
    ASSERT_EQ(
        runSimulator({"--consts", (exp / "sets" / ("set-" + at("set") + ".txt")).string(), "--seed",
                      at("seed"), "--report", report.string(), "--csv", csv.string()},
                     simOut, simErr, false),
        0)
        << simErr.str();
    const int startYear = std::stoi(at("startYear"));
    EXPECT_EQ(simOut.str(), ends.at(at("end")) + "\nYear: " +
                                std::to_string(startYear + std::stoi(at("years"))) + "\n");
    EXPECT_EQ(at("firstPerfectYear"), at("end") == "efficient" ? at("years") : "");

    // The history: the last year's statistics and the births and deaths of all years.
    const auto years = splitOn(slurp(csv), '\n');
    ASSERT_EQ(years.size(), static_cast<std::size_t>(std::stoi(at("years")) + 3));
    long long births = 0, deaths = 0;
    for (std::size_t y = 2; y + 1 < years.size(); ++y) {
      births += std::stoll(splitOn(years[y], ',')[4]);
      deaths += std::stoll(splitOn(years[y], ',')[5]);
    }
    const auto last = splitOn(years[years.size() - 2], ',');
    EXPECT_EQ(at("maxFitness"), last[1]);
    EXPECT_EQ(at("population"), last[3]);
    EXPECT_EQ(at("births"), std::to_string(births));
    EXPECT_EQ(at("deaths"), std::to_string(deaths));
    // The run maxima, from the report's last block.
    const std::string text = slurp(report);
    const std::string block = text.substr(text.rfind("**** Team Info"));
    EXPECT_THAT(block, HasSubstr("Best Fitness=" + at("bestMaxFitness") +
                                 " Best Avg Fitness=" + at("bestAvgFitness") + "\r\n"));
    EXPECT_THAT(block, HasSubstr("Highest population=" + at("highestPop") +
                                 " Lowest Population=" + at("lowestPop") + "\r\n"));
  }
  EXPECT_EQ(seen, (std::set<std::string>{"time-limit", "efficient", "extinct"}));
}

// One worker or several: the same files, byte for byte.
TEST_F(Sweep, WorkerCountChangesNoOutput) {
  std::map<std::string, std::string> first;
  for (const std::string jobs : {"1", "3"}) {
    const fs::path exp = dir / ("jobs" + jobs);
    ASSERT_EQ(run({"--consts", small, "--vary", "mutation=0:40:20", "--vary", "maxGen=30", "--runs",
                   "5", "--seed", "77", "--jobs", jobs, "--per-year", "--out", exp.string()}),
              0)
        << err.str();
    const auto files = filesUnder(exp);
    EXPECT_EQ(files.size(), 8u);  // runs, summary, years, two plots, three set files
    if (first.empty()) {
      first = files;
    } else {
      EXPECT_EQ(files, first);
    }
  }
  EXPECT_THAT(first.at("sets/set-1.txt"), HasSubstr("Mutation: 20\nMutationDiv: 100\n"));
  EXPECT_THAT(first.at("summary.csv"), HasSubstr(",complete\n"));
  EXPECT_EQ(splitOn(first.at("years.csv"), '\n').size(), 1u + 3 * 31 + 1);
  EXPECT_THAT(out.str(), HasSubstr("set  mutation  maxGen  runs  efficient  median years\n"));
}

// Bad input: a clear message and status 2 (command line) or 1 (parameters), before any run
// and before anything is written.
TEST_F(Sweep, BadInputIsRefusedBeforeAnythingIsWritten) {
  const fs::path exp = dir / "exp";
  const std::string folder = exp.string();
  const struct {
    std::vector<std::string> args;
    int status;
    const char* said;
  } cases[] = {
      {{"--vary", "mutaton=1"}, 2, "unknown parameter 'mutaton'"},
      {{"--vary", "mutation=1,,2"}, 2, "an empty value"},
      {{"--vary", "maxPop=100:1000:0"}, 2, "a step of 0"},
      {{"--vary", "maxPop=10:1"}, 2, "is empty"},
      {{"--vary", "mutation=1", "--vary", "mutation=2"}, 2, "mutation is given twice"},
      {{"--vary", "mutation=0:99", "--vary", "maxPop=0:10"}, 2, "more than 1000"},
      {{"--runs", "0"}, 2, "--runs needs a whole number"},
      {{"--runs", "3", "--runs", "4"}, 2, "--runs is given twice"},
      {{"--runs", "20000", "--vary", "mutation=0:999"}, 2, "more than 10000000 runs"},
      {{"--jobs", "0"}, 2, "--jobs needs"},
      {{"--seed", "-3"}, 2, "--seed needs"},
      {{"--frob"}, 2, "unknown option '--frob'"},
      {{"--vary", "mutationDiv=0,100,70000"}, 1, "set 2 (mutationDiv=70000): Mutation Div:"},
      {{"--vary", "maxGen=-1,5", "--vary", "fitString=ok,x"}, 1, "set 1 (maxGen=-1 fitString=x)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--consts", small, "--out", folder};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(run(args), c.status) << c.said;
    EXPECT_THAT(err.str(), HasSubstr(c.said));
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(fs::exists(exp)) << c.said;
  }
  // Every problem of every set is listed.
  run({"--consts", small, "--out", folder, "--vary", "mutationDiv=0,100,0"});
  EXPECT_THAT(err.str(), HasSubstr("set 0 (mutationDiv=0)"));
  EXPECT_THAT(err.str(), HasSubstr("set 2 (mutationDiv=0)"));
  EXPECT_EQ(run({"--consts", (dir / "absent.txt").string(), "--out", folder}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot open the constants file"));

  // An output folder that cannot be made, and one that holds files.
  std::ofstream(dir / "file") << "x";
  EXPECT_EQ(run({"--consts", small, "--out", (dir / "file").string()}), 1);
  EXPECT_THAT(err.str(), HasSubstr("is a file"));
  EXPECT_EQ(run({"--consts", small, "--out", (dir / "file" / "sub").string()}), 1);
  EXPECT_THAT(err.str(), HasSubstr("could not be created"));
  EXPECT_EQ(slurp(dir / "file"), "x");
  fs::create_directories(exp);
  std::ofstream(exp / "notes.txt") << "mine";
  EXPECT_EQ(run({"--consts", small, "--out", folder, "--runs", "1"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("already holds files; give --force"));
  EXPECT_FALSE(fs::exists(exp / "runs.csv"));
}

// --force replaces an earlier experiment's outputs, its set files included, and nothing else.
TEST_F(Sweep, ForceReplacesOnlyAnEarlierExperiment) {
  const fs::path exp = dir / "exp";
  ASSERT_EQ(run({"--consts", small, "--out", exp.string(), "--vary", "mutation=1,2,3", "--runs",
                 "1", "--per-year"}),
            0);
  std::ofstream(exp / "notes.txt") << "mine";
  EXPECT_EQ(
      run({"--consts", (exp / "sets" / "set-0.txt").string(), "--out", exp.string(), "--force"}),
      2);
  EXPECT_THAT(err.str(), HasSubstr("is one of the outputs"));
  ASSERT_EQ(run({"--consts", small, "--out", exp.string(), "--runs", "2", "--force"}), 0);
  EXPECT_EQ(slurp(exp / "notes.txt"), "mine");
  EXPECT_TRUE(fs::exists(exp / "sets" / "set-0.txt"));
  EXPECT_FALSE(fs::exists(exp / "sets" / "set-1.txt"));
  EXPECT_FALSE(fs::exists(exp / "years.csv"));
  EXPECT_EQ(splitOn(slurp(exp / "runs.csv"), '\n').size(), 4u);
}

TEST_F(Sweep, UnwritableFileIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  std::string error;
  EXPECT_FALSE(writeWholeFile("/dev/full", "some text", error));
  EXPECT_THAT(error, HasSubstr("could not be written: No space left on device"));
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// The real program, interrupted in the middle of a long experiment.
class InterruptedSweep : public Sweep, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedSweep, KeepsTheWholeRowsOfFinishedRuns) {
  // qemu-i386 mishandles a signal that meets the workers' locks (the program aborts with
  // EDEADLK there; on a processor it ends as it should).
  if (KESTRAVIN_TEST_EMULATOR[0] != '\0')
    GTEST_SKIP() << "signals to worker threads under an emulator";
  const int signal = GetParam();
  const fs::path exp = dir / "exp", errors = dir / "stderr.txt";
  const std::string consts = KESTRAVIN_SHIPPED_CONSTS;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen(errors.c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    test::execProgram(KESTRAVIN_SWEEP_PROGRAM, "--consts", consts.c_str(), "--vary", "mutation=0",
                      "--vary", "maxGen=400", "--runs", "20000", "--jobs", "2", "--seed", "5",
                      "--out", exp.c_str());
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));
  kill(child, signal);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + signal);

  const std::string said = slurp(errors);
  const auto at = said.find("interrupted: ");
  ASSERT_NE(at, std::string::npos) << said;
  const int finished = std::stoi(said.substr(at + 13));
  EXPECT_GT(finished, 0) << said;
  EXPECT_LT(finished, 20000);
  const std::string runs = slurp(exp / "runs.csv");
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.back(), '\n');
  const auto lines = splitOn(runs, '\n');
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(finished) + 2);
  const std::size_t fields = splitOn(lines[0], ',').size();
  for (std::size_t k = 1; k + 1 < lines.size(); ++k) {
    const auto row = splitOn(lines[k], ',');
    ASSERT_EQ(row.size(), fields) << lines[k];
    EXPECT_EQ(row[17], "time-limit");  // mutation 0 never gets there; every run ran whole
    EXPECT_EQ(row[18], "400");
  }
  std::string expected = ",";
  expected += std::to_string(finished);
  expected += ",1.0000,0.0000,0.0000,0.0000,0,,,,,,,,,interrupted\n";
  EXPECT_THAT(slurp(exp / "summary.csv"), HasSubstr(expected));
  EXPECT_TRUE(fs::exists(exp / "years-to-perfect.svg"));
  EXPECT_EQ(said.find('\r'), std::string::npos) << "no progress line off a terminal";
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedSweep, ::testing::Values(SIGINT, SIGTERM));
#endif

}  // namespace
}  // namespace kestravin
