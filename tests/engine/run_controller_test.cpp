#include "engine/run_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/fake_ui.h"
#include "report/report_writer.h"
#include "support/test_folder.h"

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::FakeUi;

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
    ui.fields = paramsToFields(p);
    ui.controller = &run;
  }
};

TEST(RunController, StartUpLeavesThePausedRunAndDrawsOnce) {
  Harness h;
  h.run.prepareFirstRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("resetBusy"));
  EXPECT_TRUE(h.run.paused());
  EXPECT_EQ(h.run.team().population, 10);
  EXPECT_EQ(h.run.history().size(), 6);
  EXPECT_EQ(h.run.history().intEntry(History::kBirths, 0), 10);
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
  EXPECT_THAT(h.ui.calls, ElementsAre("drawPlayerDetails", "tickBusy", "tickBusy", "tickBusy",
                                      "tickBusy", "tickBusy", "refreshPlayerList",
                                      "drawStatusPanel"));
  EXPECT_EQ(h.run.team().year, 1);
  EXPECT_TRUE(h.run.paused());
  h.run.idleStep();
  EXPECT_EQ(h.run.team().year, 1);
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
  EXPECT_EQ(h.run.team().year, 2);
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
  EXPECT_EQ(h.run.team().year, 3);
  EXPECT_EQ(runEnd(h.run.team(), p.maxGen), RunEnd::kTimeLimit);
  EXPECT_EQ(endMessage(RunEnd::kTimeLimit), "***TIME LIMIT REACHED***");
  h.ui.calls.clear();
  h.run.toggleRun();
  EXPECT_THAT(h.ui.calls, ElementsAre("refreshPlayerList", "drawPlayerDetails"));
  EXPECT_TRUE(h.run.paused());
  h.run.requestStep();
  h.run.idleStep();
  EXPECT_EQ(h.run.team().year, 3);
  EXPECT_FALSE(h.run.hasPendingWork() && h.run.mayAdvance());
}

TEST(RunController, EmptyTeamIsAnnouncedByTheFirstIdleStep) {
  SimParams p = defaultParams();  // all zero: the missing-file defaults stay usable
  Harness h(p);
  h.run.prepareFirstRun();
  EXPECT_TRUE(h.ui.messages.empty());
  EXPECT_TRUE(h.run.hasPendingWork());
  h.run.idleStep();
  EXPECT_TRUE(h.run.finished());
  EXPECT_EQ(h.run.team().year, 0);
  EXPECT_FALSE(h.run.hasPendingWork());
}

TEST(RunController, ResetRestartsAndRefusesInvalidFields) {
  Harness h;
  h.run.prepareFirstRun();
  h.run.toggleRun();
  h.run.idleStep();
  h.ui.fields.numbers[10] = "2000000";  // Max Gen
  h.ui.fields.numbers[1] = "0";         // Mutation Div
  h.ui.calls.clear();
  EXPECT_FALSE(h.run.applyOptions());
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_THAT(h.ui.messages[0], HasSubstr("Max Gen: 2000000 is outside 0..1000000"));
  EXPECT_THAT(h.ui.messages[0], HasSubstr("Mutation Div: 0 is outside 1..65535"));
  EXPECT_TRUE(h.ui.calls.empty());  // the options window stays open, nothing changed
  EXPECT_FALSE(h.run.paused());
  EXPECT_EQ(h.run.team().year, 1);

  h.ui.fields = paramsToFields(smallParams());
  h.ui.fields.numbers[2] = "12";
  EXPECT_TRUE(h.run.applyOptions());
  EXPECT_THAT(h.ui.calls, ElementsAre("hideOptionsWindow", "resetBusy", "repaintStatusArea",
                                      "clearPlayerList", "refreshPlayerList", "drawPlayerDetails"));
  EXPECT_TRUE(h.run.paused());
  EXPECT_EQ(h.run.team().year, 0);
  EXPECT_EQ(h.run.team().population, 12);
  EXPECT_TRUE(h.run.redrawStatus());
}

TEST(RunController, StartUpClampsInvalidValuesAndShowsThem) {
  SimParams p = smallParams();
  p.maxGen = -4;
  p.birthChanceDiv = 70000;
  Harness h(p);
  h.run.prepareFirstRun();
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_THAT(h.ui.messages[0], HasSubstr("Max Gen: -4 is outside 0..1000000"));
  EXPECT_EQ(h.run.params().maxGen, 0);
  EXPECT_EQ(h.run.params().birthChanceDiv, 65535);
  EXPECT_EQ(h.ui.fields.numbers[10], "0");
}

TEST(RunController, SameSeedSameRun) {
  Harness a, b;
  for (Harness* h : {&a, &b}) {
    h->run.prepareFirstRun();
    h->run.toggleRun();
    for (int i = 0; i < 10; ++i) h->run.idleStep();
  }
  EXPECT_EQ(formatReportBlock(a.run.team(), 0), formatReportBlock(b.run.team(), 0));
}

class ReportedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = test::freshTestFolder("kestravin-ctl");
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

// A run with "Output to File" ticked, reporting into the given folder.
struct TickedRun {
  FakeUi ui;
  ReportWriter report;
  RunController run{ui, report, [] { return 5u; }};

  TickedRun(const SimParams& p, std::filesystem::path folder) : report(std::move(folder)) {
    ui.fields = paramsToFields(p);
    ui.outputToFile = true;
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
  EXPECT_THAT(s, HasSubstr("**** Team Info, Year " + std::to_string(888 + run.team().year)));
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
  EXPECT_EQ(run.team().year, 1);
  EXPECT_EQ(ui.messages.size(), 1u);
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
    h.ui.fields = paramsToFields(p);
    ASSERT_TRUE(h.run.requestReset());
    h.run.toggleRun();
    for (int y = 0; y < 8; ++y) h.run.idleStep();
    EXPECT_TRUE(h.run.finished());
  }
  h.run.shutdown();
}

}  // namespace
}  // namespace kestravin
