#include "control/run_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "control/end_messages.h"
#include "control/fake_ui.h"
#include "report/report_writer.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using testing::FakeUi;
using ::testing::HasSubstr;

SimParams smallParams() {
  SimParams p;
  p.mutation = 10;
  p.mutationDiv = 100;
  p.teamSize = 10;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 30;
  p.fitDeathDiv = 100;
  p.birthChance = 80;
  p.birthChanceDiv = 100;
  p.maxGen = 5;
  p.startYear = 888;
  p.maxPop = 50;
  p.fitString = "evolution";
  return p;
}

struct Harness {
  FakeUi ui;
  ReportWriter report{std::filesystem::temp_directory_path()};
  RunController run{ui, report, [] { return 77u; }};

  explicit Harness(const SimParams& p = smallParams()) {
    ui.setup = RunSetup{p, false};
    ui.controller = &run;
  }
  const Simulation& sim() const { return *run.run(); }
  const TeamStats& stats() const { return run.run()->stats(); }
};

TEST(RunController, StartUpLeavesThePausedRunAndDrawsOnce) {
  Harness h;
  h.run.prepareFirstRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("readOptionFields", "resetBusy"));
  EXPECT_TRUE(h.run.paused());
  EXPECT_EQ(h.stats().population, 10);
  EXPECT_EQ(h.sim().history().size(), 6);
  EXPECT_EQ(h.sim().history().intEntry(History::kBirths, 0), 10);
  h.ui.calls.clear();
  h.run.idleStep();
  h.run.idleStep();
  EXPECT_THAT(h.ui.calls, ElementsAre("drawStatusPanel"));
}

TEST(RunController, StepSimulatesOneYearAndPausesWithTheListFilled) {
  Harness h;
  h.run.prepareFirstRun();
  h.run.idleStep();
  h.ui.calls.clear();
  h.run.requestStep();
  h.run.idleStep();
  EXPECT_THAT(h.ui.calls,
              ElementsAre("drawPlayerDetails", "tickBusy", "tickBusy", "tickBusy", "tickBusy",
                          "tickBusy", "refreshPlayerList", "drawStatusPanel"));
  EXPECT_EQ(h.stats().year, 1);
  EXPECT_TRUE(h.run.paused());
  h.run.idleStep();
  EXPECT_EQ(h.stats().year, 1);
}

TEST(RunController, StartStopEmptiesTheListAndStopsBetweenYears) {
  Harness h;
  h.run.prepareFirstRun();
  h.ui.calls.clear();
  h.run.toggleRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("refreshPlayerList", "drawPlayerDetails", "clearPlayerList"));
  EXPECT_FALSE(h.run.paused());
  h.run.idleStep();
  h.run.idleStep();
  EXPECT_EQ(h.stats().year, 2);
  h.ui.calls.clear();
  h.run.toggleRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("refreshPlayerList", "drawPlayerDetails"));
  EXPECT_TRUE(h.run.paused());
}

TEST(RunController, RunEndsAtTheYearLimitAndCannotResume) {
  SimParams p = smallParams();
  p.maxGen = 3;
  p.fitDeath = 0;
  p.ageDeath = 0;  // nobody dies, so the time limit ends it
  Harness h(p);
  h.run.prepareFirstRun();
  h.run.toggleRun();
  for (int i = 0; i < 10; ++i) h.run.idleStep();
  EXPECT_TRUE(h.run.finished());
  EXPECT_TRUE(h.run.paused());
  EXPECT_EQ(h.stats().year, 3);
  EXPECT_EQ(h.sim().end(), RunEnd::kTimeLimit);
  EXPECT_EQ(endMessage(RunEnd::kTimeLimit), "***TIME LIMIT REACHED***");
  h.ui.calls.clear();
  h.run.toggleRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("refreshPlayerList", "drawPlayerDetails"));
  EXPECT_TRUE(h.run.paused());
  h.run.requestStep();
  h.run.idleStep();
  EXPECT_EQ(h.stats().year, 3);
  EXPECT_FALSE(h.run.hasPendingWork());
}

TEST(RunController, EmptyTeamIsAnnouncedByTheFirstIdleStep) {
  SimParams p = defaultParams();  // all zero: the missing-file defaults stay usable
  Harness h(p);
  h.run.prepareFirstRun();
  EXPECT_TRUE(h.ui.messages.empty());
  EXPECT_TRUE(h.run.hasPendingWork());
  h.run.idleStep();
  EXPECT_TRUE(h.run.finished());
  EXPECT_EQ(h.stats().year, 0);
  EXPECT_FALSE(h.run.hasPendingWork());
}

TEST(RunController, ResetRestartsAndRefusesUnusableFields) {
  Harness h;
  h.run.prepareFirstRun();
  h.run.toggleRun();
  h.run.idleStep();
  h.ui.setup.reset();  // the fields cannot be used: the options window has said why
  h.ui.calls.clear();
  EXPECT_FALSE(h.run.applyOptions());
  EXPECT_THAT(h.ui.calls, ElementsAre("readOptionFields"));  // the window stays, nothing changed
  EXPECT_FALSE(h.run.paused());
  EXPECT_EQ(h.stats().year, 1);
  EXPECT_FALSE(h.run.requestReset());
  EXPECT_EQ(h.stats().year, 1);

  SimParams p = smallParams();
  p.teamSize = 12;
  h.ui.setup = RunSetup{p, false};
  h.ui.calls.clear();
  EXPECT_TRUE(h.run.applyOptions());
  EXPECT_THAT(h.ui.calls,
              ElementsAre("readOptionFields", "hideOptionsWindow", "resetBusy", "repaintStatusArea",
                          "clearPlayerList", "refreshPlayerList", "drawPlayerDetails"));
  EXPECT_TRUE(h.run.paused());
  EXPECT_EQ(h.stats().year, 0);
  EXPECT_EQ(h.stats().population, 12);
  EXPECT_TRUE(h.run.redrawStatus());
}

TEST(RunController, SameSeedSameRun) {
  Harness a, b;
  for (Harness* h : {&a, &b}) {
    h->run.prepareFirstRun();
    h->run.toggleRun();
    for (int i = 0; i < 10; ++i) h->run.idleStep();
  }
  EXPECT_EQ(formatReportBlock(a.sim().team(), 0), formatReportBlock(b.sim().team(), 0));
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__) && !defined(__SANITIZE_ADDRESS__)
// In a child process under a limit on its address space: a team that grows until its
// memory runs out ends its run with one message, and the next reset works.
TEST(RunController, OutOfMemoryEndsTheRunWithAMessageAndGoesOn) {
  if (KESTRAVIN_TEST_EMULATOR[0] != '\0') GTEST_SKIP() << "an emulator ignores the limit";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{300u << 20, 300u << 20};
    setrlimit(RLIMIT_AS, &limit);
    SimParams p = smallParams();
    p.teamSize = 1000;
    p.ageStart = 5000;  // nobody dies, and everybody breeds
    p.fitDeath = 0;
    p.birthChance = 1000;
    p.maxGen = 1'000'000;
    p.maxPop = 1'000'000;
    p.fitString = std::string(200, 'k');
    Harness h(p);
    h.run.prepareFirstRun();
    h.run.toggleRun();
    for (int i = 0; i < 100 && !h.run.finished(); ++i) h.run.idleStep();
    int failure = 0;
    if (!h.run.finished() || !h.run.paused()) failure = 10;
    if (!failure && h.run.run()->end() != RunEnd::kOutOfMemory) failure = 11;
    if (!failure &&
        (h.ui.messages.size() != 1 || h.ui.messages[0].find("Out of memory at year ") != 0)) {
      failure = 12;
    }
    h.run.requestStep();
    h.run.idleStep();
    if (!failure && h.run.run()->end() != RunEnd::kOutOfMemory) failure = 13;
    h.ui.setup = RunSetup{smallParams(), false};
    if (!failure && (!h.run.requestReset() || h.stats().population != 10)) failure = 14;
    _exit(failure);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "not ended by a signal (an abort, say)";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

// A run can be shown again: a reset with its seed gives the same run.
TEST(RunController, ResetWithASeedRepeatsTheRun) {
  std::uint32_t clock = 100;
  FakeUi ui;
  ReportWriter report;
  RunController run(ui, report, [&clock] { return clock++; });
  ui.setup = RunSetup{smallParams(), false};
  run.prepareFirstRun();
  const std::uint32_t first = run.run()->seed();
  for (int y = 0; y < 4; ++y) {
    run.requestStep();
    run.idleStep();
  }
  const std::string block = formatReportBlock(run.run()->team(), 0);
  ASSERT_TRUE(run.requestReset());
  EXPECT_NE(run.run()->seed(), first);  // a new seed from the source
  ASSERT_TRUE(run.requestReset(first));
  EXPECT_EQ(run.run()->seed(), first);
  for (int y = 0; y < 4; ++y) {
    run.requestStep();
    run.idleStep();
  }
  EXPECT_EQ(formatReportBlock(run.run()->team(), 0), block);
}

class ReportedRun : public ::testing::Test {
 protected:
  void SetUp() override { folder = test::freshTestFolder("kestravin-ctl"); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

// A run with "Output to File" ticked, reporting into the given folder.
struct TickedRun {
  FakeUi ui;
  ReportWriter report;
  RunController run{ui, report, [] { return 5u; }};

  TickedRun(const SimParams& p, std::filesystem::path folder) : report(std::move(folder)) {
    ui.setup = RunSetup{p, true};
  }
};

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ReportedRun, ReportHoldsEveryYearAndIsClosedAtTheEnd) {
  TickedRun t(smallParams(), folder);
  auto& [ui, report, run] = t;
  run.prepareFirstRun();
  EXPECT_TRUE(run.reportOpen());
  run.toggleRun();
  while (!run.finished()) run.idleStep();
  EXPECT_FALSE(run.reportOpen());
  EXPECT_FALSE(report.isOpen());
  const std::string s = readFile(folder / "generation 0.txt");
  EXPECT_EQ(s.rfind("**** Team Info, Year 888 ****\r\n", 0), 0u);
  EXPECT_THAT(s,
              HasSubstr("**** Team Info, Year " + std::to_string(888 + run.run()->stats().year)));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportedRun, UncreatableReportIsShownOnceAndTheRunGoesOn) {
  TickedRun t(smallParams(), folder / "missing");
  auto& [ui, report, run] = t;
  run.prepareFirstRun();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0], HasSubstr("generation 0.txt could not be created"));
  EXPECT_FALSE(run.reportOpen());
  run.requestStep();
  run.idleStep();
  EXPECT_EQ(run.run()->stats().year, 1);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ReportedRun, AFailedReportIsToldOnceTheWindowsShowTheNewRun) {
  TickedRun t(smallParams(), folder / "missing");
  auto& [ui, report, run] = t;
  ui.controller = &run;
  run.prepareFirstRun();
  ui.calls.clear();
  ui.messages.clear();
  ui.callsAtMessage.clear();
  ASSERT_TRUE(run.requestReset());
  ASSERT_EQ(ui.messages.size(), 1u);
  // Everything the reset redraws comes before the box, which would stand over stale windows.
  EXPECT_THAT(ui.callsAtMessage[0],
              ElementsAre("readOptionFields", "resetBusy", "repaintStatusArea", "clearPlayerList",
                          "refreshPlayerList", "drawPlayerDetails"));
}

TEST_F(ReportedRun, FullDiskIsShownOnceAndTheReportClosed) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  SimParams p = smallParams();
  p.maxGen = 200;
  p.teamSize = 40;
  TickedRun t(p, {});
  auto& [ui, report, run] = t;
  report.setFixedPath("/dev/full");
  run.prepareFirstRun();
  run.toggleRun();
  while (!run.finished()) run.idleStep();
  run.shutdown();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0], HasSubstr("could not be written: No space left on device"));
  EXPECT_FALSE(run.reportOpen());
}

// Where each block of a report ends.
std::vector<std::size_t> blockEnds(const std::string& report) {
  const std::string end = "\r\n*******************************\r\n\r\n";
  std::vector<std::size_t> ends;
  for (std::size_t at = report.find(end); at != std::string::npos; at = report.find(end, at + 1)) {
    ends.push_back(at + end.size());
  }
  return ends;
}

// The report of a run made to its end without a limit; the folder is left empty.
std::string wholeReport(const SimParams& p, const std::filesystem::path& folder) {
  TickedRun t(p, folder);
  t.run.prepareFirstRun();
  t.run.toggleRun();
  while (!t.run.finished()) t.run.idleStep();
  std::string whole = readFile(folder / "generation 0.txt");
  std::filesystem::remove(folder / "generation 0.txt");
  return whole;
}

TEST_F(ReportedRun, AReportThatWouldPassItsLimitAsksFirstAndEndsOnAWholeBlock) {
  SimParams p = smallParams();
  p.maxGen = 40;
  p.teamSize = 20;
  p.maxPop = 60;
  const std::string whole = wholeReport(p, folder);
  const std::vector<std::size_t> ends = blockEnds(whole);
  ASSERT_GT(ends.size(), 12u);

  // Years 0 to 3 fit; the block of year 4 would pass the limit.
  const std::uint64_t limit = ends[3] + 1;
  TickedRun t(p, folder);
  auto& [ui, report, run] = t;
  run.setReportLimit(limit);
  run.prepareFirstRun();
  run.toggleRun();
  for (int k = 0; k < 100 && ui.limitsAsked.empty(); ++k) run.idleStep();
  ASSERT_EQ(ui.limitsAsked.size(), 1u);
  EXPECT_EQ(ui.limitsAsked[0], std::make_pair(std::string("generation 0.txt"), limit));
  EXPECT_EQ(run.run()->stats().year, 4);
  EXPECT_TRUE(run.paused());
  EXPECT_TRUE(run.askingReportLimit());
  const auto asked = std::find(ui.calls.begin(), ui.calls.end(), "askReportLimit");
  ASSERT_NE(asked, ui.calls.begin());
  EXPECT_EQ(asked[-1], "refreshPlayerList") << "the stopped run shows its players";
  run.idleStep();
  EXPECT_EQ(run.run()->stats().year, 4) << "nothing goes on while the question waits";

  // Going on: the run runs again, and may write another limit's worth.
  run.answerReportLimit(true);
  EXPECT_FALSE(run.paused());
  EXPECT_EQ(ui.calls.back(), "clearPlayerList");
  for (int k = 0; k < 100 && ui.limitsAsked.size() < 2; ++k) run.idleStep();
  ASSERT_EQ(ui.limitsAsked.size(), 2u);
  const std::int32_t year = run.run()->stats().year;
  const std::size_t kept = ends[static_cast<std::size_t>(year) - 1];
  EXPECT_LE(kept, ends[4] + limit);
  EXPECT_GT(ends[static_cast<std::size_t>(year)], ends[4] + limit);

  // Ending it: the report keeps the years before, closed; the run stays paused and can go
  // on without it.
  run.answerReportLimit(false);
  EXPECT_FALSE(run.reportOpen());
  EXPECT_FALSE(report.isOpen());
  EXPECT_TRUE(run.paused());
  EXPECT_FALSE(run.finished());
  EXPECT_EQ(readFile(folder / "generation 0.txt"), whole.substr(0, kept));
  run.toggleRun();
  while (!run.finished()) run.idleStep();
  EXPECT_EQ(readFile(folder / "generation 0.txt"), whole.substr(0, kept));
  EXPECT_EQ(ui.limitsAsked.size(), 2u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportedRun, GoingOnAfterTheRunsLastYearCompletesTheReport) {
  SimParams p = smallParams();
  p.maxGen = 12;
  const std::string whole = wholeReport(p, folder);
  const std::vector<std::size_t> ends = blockEnds(whole);
  ASSERT_GE(ends.size(), 2u);
  TickedRun t(p, folder);
  auto& [ui, report, run] = t;
  run.setReportLimit(ends[ends.size() - 2]);  // only the last year's block passes it
  run.prepareFirstRun();
  run.toggleRun();
  for (int k = 0; k < 100 && ui.limitsAsked.empty(); ++k) run.idleStep();
  ASSERT_EQ(ui.limitsAsked.size(), 1u);
  run.answerReportLimit(true);
  EXPECT_FALSE(report.isOpen()) << "the ended run's report is closed, complete";
  EXPECT_EQ(readFile(folder / "generation 0.txt"), whole);
  for (int k = 0; k < 5; ++k) run.idleStep();
  EXPECT_TRUE(run.finished());
}

TEST_F(ReportedRun, AStepThatPassesTheLimitStaysPausedWhateverTheAnswer) {
  TickedRun t(smallParams(), folder);
  auto& [ui, report, run] = t;
  run.setReportLimit(1);  // every year asks
  run.prepareFirstRun();
  run.requestStep();
  run.idleStep();
  ASSERT_EQ(ui.limitsAsked.size(), 1u);
  run.answerReportLimit(true);
  EXPECT_TRUE(run.paused());
  EXPECT_TRUE(run.reportOpen());
  // A reset while asking drops the question; a late answer changes nothing.
  run.requestStep();
  run.idleStep();
  ASSERT_TRUE(run.askingReportLimit());
  EXPECT_TRUE(run.requestReset());
  EXPECT_FALSE(run.askingReportLimit());
  run.answerReportLimit(false);
  EXPECT_TRUE(run.reportOpen()) << "the new run's report";
  EXPECT_THAT(readFile(folder / "generation 0.txt"), HasSubstr("Year 890 ****"));
}

TEST_F(ReportedRun, ShutdownWhilePausedClosesTheReport) {
  TickedRun t(smallParams(), folder);
  auto& [ui, report, run] = t;
  run.prepareFirstRun();
  run.requestStep();
  run.idleStep();
  // A second reset with the box ticked takes the next name.
  EXPECT_TRUE(run.requestReset());
  run.requestStep();
  run.idleStep();
  run.shutdown();
  EXPECT_FALSE(report.isOpen());
  for (const char* name : {"generation 0.txt", "generation 1.txt"}) {
    EXPECT_THAT(readFile(folder / name), HasSubstr("Year 889 ****")) << name;
  }
}

}  // namespace
}  // namespace kestravin

namespace kestravin {
namespace {

TEST(RunController, ManyResetsOfChangingSizesKeepNothingBehind) {
  // Run under LeakSanitizer by the test command: every reset replaces team and history.
  Harness h;
  h.run.prepareFirstRun();
  for (int i = 0; i < 40; ++i) {
    SimParams p = smallParams();
    p.teamSize = (i * 37) % 200;
    p.maxGen = i % 7;
    p.fitString = std::string(1 + (i * 13) % 255, static_cast<char>('a' + i % 26));
    h.ui.setup = RunSetup{p, false};
    ASSERT_TRUE(h.run.requestReset());
    h.run.toggleRun();
    for (int y = 0; y < 8; ++y) h.run.idleStep();
    EXPECT_TRUE(h.run.finished());
  }
  h.run.shutdown();
}

}  // namespace
}  // namespace kestravin
