// What the desktop program offers beside its buttons: the command line's seed, the main
// window's context menu and keys (the seed, a reset with it, Fast), on the test platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "report/history_csv.h"
#include "support/recording_surface.h"
#include "ui/command_line.h"
#include "ui/desktop_fixture.h"
#include "ui/draw_throttle.h"
#include "ui/status_panel.h"
#include "ui/window_menus.h"

namespace kestravin {
namespace {

using platform::testing::chooseMenuItem;
using platform::testing::click;
using platform::testing::contextMenu;
using platform::testing::menuKeyText;
using platform::testing::pressKey;
using test::CountingApp;
using test::Desktop;

ui::DesktopArgs parse(std::vector<const char*> args) {
  args.insert(args.begin(), "kestravin");
  return ui::parseDesktopArgs(static_cast<int>(args.size()), args.data());
}

TEST(DesktopArgs, ASeedFromTheCommandLineOrWhyNot) {
  EXPECT_EQ(parse({}).seed, std::nullopt);
  EXPECT_EQ(parse({"--seed", "4294967295"}).seed, 4294967295u);
  EXPECT_EQ(parse({"--seed", "0"}).seed, 0u);
  EXPECT_TRUE(parse({"--seed", "7", "--help"}).help);
  for (const auto& bad : std::vector<std::vector<const char*>>{{"--seed"},
                                                               {"--seed", "4294967296"},
                                                               {"--seed", "-1"},
                                                               {"--seed", "7x"},
                                                               {"--seed", ""},
                                                               {"--seed", "1", "--seed", "2"},
                                                               {"--sed", "1"}}) {
    const ui::DesktopArgs args = parse(bad);
    EXPECT_FALSE(args.error.empty()) << bad.size() << " " << bad.back();
  }
}

TEST(DrawThrottle, AtMostThirtyASecond) {
  ui::DrawThrottle throttle(30);
  const auto t0 = ui::DrawThrottle::Clock::time_point{} + std::chrono::hours(1);
  EXPECT_TRUE(throttle.due(t0)) << "the first drawing at once";
  EXPECT_FALSE(throttle.due(t0 + std::chrono::milliseconds(33)));
  EXPECT_TRUE(throttle.due(t0 + std::chrono::microseconds(33334)));
  EXPECT_FALSE(throttle.due(t0 + std::chrono::milliseconds(40)));
  int drawn = 0;
  for (int ms = 100; ms < 1100; ++ms) drawn += throttle.due(t0 + std::chrono::milliseconds(ms));
  EXPECT_EQ(drawn, 30);
}

// Years 0..year of a run's history, as the simulator writes them.
std::string historyOf(const Simulation& run) {
  return formatHistoryCsv(run.history(), run.stats().year);
}

TEST_F(Desktop, TheSeedOfTheRunIsShownCopiedAndUsedAgain) {
  std::uint32_t next = 100;
  seeds = [&next] { return next++; };
  CountingApp& a = startApp();
  const std::vector<platform::MenuItem> menu = contextMenu(a.mainWindow());
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].text, "Seed of this run: 100 (copy)");
  EXPECT_EQ(menu[1].text, "Reset with this seed");
  EXPECT_EQ(menu[2].text, "Fast");
  EXPECT_TRUE(menu[0].enabled && menu[1].enabled);
  ASSERT_TRUE(chooseMenuItem(a.mainWindow(), ui::kCopySeedId));
  EXPECT_EQ(platform::testing::clipboardText(), "100");

  for (int k = 0; k < 6; ++k) {
    click(a.mainButton(ui::kStepId));
    pass();
  }
  const std::string firstRun = historyOf(*a.controller().run());

  // The run of a seed comes again, as the same parameters and seed give in any program.
  ASSERT_TRUE(chooseMenuItem(a.mainWindow(), ui::kResetWithSeedId));
  EXPECT_EQ(a.controller().run()->seed(), 100u);
  EXPECT_EQ(a.controller().run()->stats().year, 0);
  EXPECT_EQ(next, 101u) << "the seed source was not asked";
  for (int k = 0; k < 6; ++k) {
    click(a.mainButton(ui::kStepId));
    pass();
  }
  EXPECT_EQ(historyOf(*a.controller().run()), firstRun);
  Simulation alone(a.controller().run()->params(), 100);
  for (int k = 0; k < 6; ++k) alone.advance();
  EXPECT_EQ(historyOf(alone), firstRun);

  click(a.mainButton(ui::kResetId));  // a new seed from the source
  EXPECT_EQ(contextMenu(a.mainWindow())[0].text, "Seed of this run: 101 (copy)");
}

// The status panel as it would be drawn now, in a buffer of its own.
std::vector<platform::Rgb> freshStatusPanel(const Simulation& run) {
  auto buffer = test::testPlatform().createBuffer({ui::kStatusArea.w, ui::kStatusArea.h});
  auto font = test::testPlatform().createFont({"Arial", 17});
  buffer->selectFont(font.get());
  test::RecordingSurface headings;
  ui::drawStatusPanel(*buffer, headings, run.team(), run.params().startYear, RunEnd::kNone);
  std::vector<platform::Rgb> pixels = buffer->readPixels(ui::kStatusArea);
  buffer->selectFont(nullptr);
  return pixels;
}

TEST_F(Desktop, FastDrawsThePanelsAtMostThirtyTimesASecondAndTheLastYear) {
  CountingApp& a = startApp({.maxGen = 1000000});
  EXPECT_EQ(menuKeyText(a.mainWindow(), ui::kFastId), "F");
  pressKey(a.mainWindow(), 'F');
  ASSERT_TRUE(a.fast());
  EXPECT_TRUE(contextMenu(a.mainWindow())[2].checked);

  click(a.mainButton(ui::kStartStopId));
  const int panels = a.panelDrawings();
  const int busy = a.busyDrawings();
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < 100000 && a.controller().run()->stats().year < 1000; ++k) loop();
  ASSERT_EQ(a.controller().run()->stats().year, 1000);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LE(a.panelDrawings() - panels, 30 * seconds + 2) << "in " << seconds << " s";
  EXPECT_LE(a.busyDrawings() - busy, 30 * seconds + 2);

  click(a.mainButton(ui::kStartStopId));
  loop();
  EXPECT_EQ(a.statusBuffer()->readPixels(ui::kStatusArea), freshStatusPanel(*a.controller().run()))
      << "the last year is not shown";

  // Off again: every year is drawn.
  pressKey(a.mainWindow(), 'F');
  EXPECT_FALSE(a.fast());
  click(a.mainButton(ui::kStartStopId));
  const int before = a.panelDrawings();
  for (int k = 0; k < 20; ++k) loop();
  EXPECT_GE(a.panelDrawings() - before, 20);
}

TEST_F(Desktop, FastStillShowsTheEndMessage) {
  CountingApp& a = startApp({.maxGen = 2000});
  ASSERT_TRUE(chooseMenuItem(a.mainWindow(), ui::kFastId));
  click(a.mainButton(ui::kStartStopId));
  for (int k = 0; k < 100000 && !a.controller().finished(); ++k) loop();
  ASSERT_TRUE(a.controller().finished());
  EXPECT_GT(pixelsOf(*a.statusBuffer(), {5, 100, 300, 17}, platform::kRed), 0);
}

}  // namespace
}  // namespace kestravin
