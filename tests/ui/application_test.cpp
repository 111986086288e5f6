// The desktop program on the test platform (Qt offscreen, or Win32 under Wine): start-up,
// routing, the panels' pixels, shutdown.
#include "ui/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "ui/desktop_fixture.h"
#include "ui/graph_window.h"
#include "ui/player_view.h"

namespace kestravin {
namespace {

using platform::Point;
using platform::Rect;
using platform::testing::click;
using platform::testing::pixel;
using platform::testing::shownPixel;
using platform::testing::userSelect;
using test::Consts;
using test::constsText;
using test::CountingApp;
using test::Desktop;
using test::readFile;
using ::testing::ElementsAre;

TEST_F(Desktop, StartUpShowsTheMainWindowWithItsControlsAndTheFounders) {
  CountingApp& a = startApp();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(drawingsAtStartUp, 1);
  EXPECT_EQ(a.statusDrawings, 2) << "and once more after the first paint of the window";

  EXPECT_EQ(a.mainWindow().className(), "MAINCLASS");
  EXPECT_EQ(a.mainWindow().title(), "Kestravin");
  EXPECT_EQ(a.optionsWindow().className(), "OPTCLASS");
  EXPECT_EQ(a.optionsWindow().title(), "Options");
  EXPECT_EQ(a.graphWindow().className(), "GRAPHCLASS");
  EXPECT_EQ(a.graphWindow().title(), "Genetic Graphs");
  EXPECT_EQ(a.playerPanel().className(), "PLAYERCLASS");
  EXPECT_EQ(a.busyIndicator().className(), "STATUSCLASS");
  EXPECT_TRUE(a.mainWindow().visible());
  EXPECT_FALSE(a.optionsWindow().visible());
  EXPECT_FALSE(a.graphWindow().visible());

  // The stated sizes are outer sizes: the client area is what the frame leaves.
  EXPECT_EQ(a.mainWindow().outerRect(), (Rect{0, 0, 500, 525}));
  EXPECT_EQ(a.optionsWindow().outerRect(), (Rect{100, 100, 400, 250}));
  EXPECT_EQ(a.graphWindow().outerRect(), (Rect{50, 50, 450, 450}));
  const Rect client = a.mainWindow().clientRect();
  EXPECT_LE(client.w, 500);
  EXPECT_GT(client.w, 450);
  EXPECT_EQ(a.mainButton(ui::kStartStopId).geometry(), (Rect{5, 130, 100, 25}));
  EXPECT_EQ(a.mainButton(ui::kResetId).geometry(), (Rect{110, 130, 100, 25}));
  EXPECT_EQ(a.mainButton(ui::kOptionsId).geometry(), (Rect{350, 130, 100, 25}));
  EXPECT_EQ(a.mainButton(ui::kStepId).geometry(), (Rect{5, 160, 100, 25}));
  EXPECT_EQ(a.mainButton(ui::kGraphsId).geometry(), (Rect{350, 160, 100, 25}));
  EXPECT_EQ(a.mainButton(ui::kStepId).text(), "Step");
#ifdef _WIN32
  // Without "no integral height" among its styles, Windows rounds a list box's height down to
  // whole rows.
  const Rect list = a.playerList().geometry();
  EXPECT_EQ((Rect{list.x, list.y, list.w, 100}), (Rect{5, 220, 400, 100}));
  EXPECT_GT(list.h, 80);
  EXPECT_LE(list.h, 100);
#else
  EXPECT_EQ(a.playerList().geometry(), (Rect{5, 220, 400, 100}));
#endif
  // Bordered children: the client area lies one pixel inside.
  EXPECT_EQ(a.playerPanel().clientRect(), (Rect{6, 331, 398, 148}));
  EXPECT_EQ(a.busyIndicator().clientRect(), (Rect{351, 191, 168, 15}));
  EXPECT_EQ(a.optionControls().fitStringField().geometry(), (Rect{125, 0, 250, 17}));
  EXPECT_EQ(a.optionControls().numberField(12).geometry(), (Rect{125, 180, 55, 17}));
  EXPECT_EQ(a.optionControls().outputToFileBox().geometry(), (Rect{250, 40, 115, 17}));
  EXPECT_FALSE(a.optionControls().outputToFileBox().checked());
  EXPECT_EQ(a.graphOkButton().geometry(), (Rect{5, 350, 75, 25}));
  EXPECT_EQ(a.graphList().geometry(), (Rect{85, 350, 300, 50}));

  // The loaded values are in the fields.
  EXPECT_EQ(a.optionControls().fitStringField().text(), "Kestrel");
  EXPECT_EQ(a.optionControls().numberField(10).text(), "500");

  // The founders, in order, with their ids as row data.
  const Team& team = a.controller().run()->team();
  ASSERT_EQ(a.playerList().rowCount(), 20);
  for (int row = 0; row < 20; ++row) {
    EXPECT_EQ(a.playerList().rowText(row), ui::playerRowText(team, static_cast<std::size_t>(row)));
    EXPECT_EQ(a.playerList().rowData(row), row + 1);
  }
  EXPECT_EQ(a.playerList().selectedRow(), -1);

  ASSERT_EQ(a.graphList().rowCount(), 8);
  EXPECT_EQ(a.graphList().rowText(2), "Graph Total Population");
  EXPECT_EQ(a.graphList().rowData(7), 7);
  EXPECT_EQ(a.graphList().selectedRow(), 2);
}

TEST_F(Desktop, StatusPanelSeparatorAndBlueTextReachTheScreen) {
  CountingApp& a = startApp();
  const platform::Buffer& status = *a.statusBuffer();
  for (int x = 5; x <= 489; ++x) ASSERT_EQ(pixel(status, {x, 32}), platform::kBlue) << x;
  EXPECT_EQ(pixel(status, {4, 32}), platform::kBlack);
  EXPECT_EQ(pixel(status, {490, 32}), platform::kBlack);
  EXPECT_GT(pixelsOf(status, {5, 0, 80, 15}, platform::kBlue), 0) << "the year";
  // Text is drawn in its colour only: nothing but black and blue in the panel.
  EXPECT_EQ(pixelsOf(status, {0, 0, 500, 120}, platform::kBlue) +
                pixelsOf(status, {0, 0, 500, 120}, platform::kBlack),
            500 * 120);

  EXPECT_EQ(shownPixel(a.mainWindow(), {5, 32}), platform::kBlue);
  EXPECT_EQ(shownPixel(a.mainWindow(), {490, 32}), platform::kBlack);
  EXPECT_EQ(shownPixel(a.mainWindow(), {300, 110}), platform::kBlack);
}

TEST_F(Desktop, StepSimulatesOneYearAndFillsTheList) {
  CountingApp& a = startApp();
  const std::int32_t busyBefore = a.busyState().step;
  click(a.mainButton(ui::kStepId));
  pass();
  pass();
  EXPECT_EQ(a.controller().run()->team().stats.year, 1);
  EXPECT_TRUE(a.controller().paused());
  EXPECT_EQ(a.playerList().rowCount(), a.controller().run()->team().stats.population);
  EXPECT_EQ(a.busyState().step, (busyBefore + 5) % 9) << "five ticks in a year";
}

TEST_F(Desktop, StartStopEmptiesTheListWhileRunningAndRefillsIt) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kStartStopId));
  EXPECT_FALSE(a.controller().paused());
  EXPECT_EQ(a.playerList().rowCount(), 0);
  for (int k = 0; k < 5; ++k) pass();
  EXPECT_EQ(a.controller().run()->team().stats.year, 5);
  EXPECT_EQ(a.playerList().rowCount(), 0);
  click(a.mainButton(ui::kStartStopId));
  EXPECT_TRUE(a.controller().paused());
  pass();
  EXPECT_EQ(a.controller().run()->team().stats.year, 5);
  EXPECT_EQ(a.playerList().rowCount(), a.controller().run()->team().stats.population);
}

TEST_F(Desktop, ResetStartsAFreshRunFromTheEditedFields) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kStepId));
  pass();
  a.optionControls().numberField(2).setText("7");  // teamSize
  click(a.mainButton(ui::kResetId));
  pass();
  EXPECT_EQ(a.controller().run()->team().stats.year, 0);
  EXPECT_EQ(a.controller().run()->params().teamSize, 7);
  EXPECT_EQ(a.playerList().rowCount(), 7);
  EXPECT_FALSE(a.optionsWindow().visible());

  // A refused reset changes nothing and says why.
  a.optionControls().numberField(1).setText("0");  // mutationDiv
  click(a.mainButton(ui::kResetId));
  EXPECT_EQ(a.controller().run()->params().teamSize, 7);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0],
              ::testing::StartsWith("Error!!! Mutation, second field: 0 is outside 1..65535"));
}

TEST_F(Desktop, OptionsAndGraphsButtonsShowTheirWindows) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kOptionsId));
  pass();
  EXPECT_TRUE(a.optionsWindow().visible());
  click(a.optionControls().cancelButton());
  EXPECT_FALSE(a.optionsWindow().visible());

  click(a.mainButton(ui::kGraphsId));
  pass();
  EXPECT_TRUE(a.graphWindow().visible());
  EXPECT_GT(pixelsOf(*a.graphBuffer(), {45, 6, 150, 17}, platform::kBlue), 0) << "the title";
  click(a.graphOkButton());
  EXPECT_FALSE(a.graphWindow().visible());
}

TEST_F(Desktop, EndMessagesInTheirColours) {
  const Rect message{5, 100, 300, 20};
  {
    CountingApp& a = startApp({.maxGen = 3});
    click(a.mainButton(ui::kStartStopId));
    passUntil([&] { return a.controller().finished(); });
    pass();
    EXPECT_GT(pixelsOf(*a.statusBuffer(), message, platform::kRed), 0);
    EXPECT_EQ(a.playerList().rowCount(), a.controller().run()->team().stats.population)
        << "final players";
  }
  {
    // A one-character fitness string: every founder is perfect.
    CountingApp& a = startApp({.fitString = "K"});
    pass();
    EXPECT_TRUE(a.controller().finished());
    EXPECT_GT(pixelsOf(*a.statusBuffer(), message, platform::kGreen), 0);
    EXPECT_EQ(pixelsOf(*a.statusBuffer(), message, platform::kRed), 0);
  }
  {
    CountingApp& a = startApp({.teamSize = 0});
    pass();
    EXPECT_GT(pixelsOf(*a.statusBuffer(), message, platform::kRed), 0);
    EXPECT_EQ(a.playerList().rowCount(), 0);
  }
}

TEST_F(Desktop, DetailsOfTheSelectedRowAndABlackPanelForNone) {
  CountingApp& a = startApp();
  EXPECT_EQ(nonBlackPixels(*a.playerBuffer(), ui::kPlayerArea), 0);
  userSelect(a.playerList(), 3);
  EXPECT_GT(pixelsOf(*a.playerBuffer(), {5, 5, 300, 135}, platform::kBlue), 0);
  pass();
  EXPECT_EQ(shownPixel(a.playerPanel(), {0, 0}), platform::kBlack);

  a.playerList().selectRow(-1);  // the program's own change draws nothing
  EXPECT_GT(nonBlackPixels(*a.playerBuffer(), ui::kPlayerArea), 0);
  a.drawPlayerDetails();
  EXPECT_EQ(nonBlackPixels(*a.playerBuffer(), ui::kPlayerArea), 0);
}

TEST_F(Desktop, CancelPutsTheFieldsBackAndOkAppliesThem) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kOptionsId));
  platform::EditField& maxGen = a.optionControls().numberField(10);
  maxGen.setText("77");
  click(a.optionControls().cancelButton());
  EXPECT_EQ(maxGen.text(), "500");
  EXPECT_EQ(a.controller().run()->params().maxGen, 500);

  // A negative value goes into its field with its sign and comes back; five digits are read
  // whole.
  click(a.mainButton(ui::kOptionsId));
  a.optionControls().numberField(11).setText("-5");     // startYear
  a.optionControls().numberField(10).setText("10000");  // maxGen
  a.optionControls().numberField(2).setText("0042");    // teamSize
  a.optionControls().fitStringField().setText("");
  click(a.optionControls().okButton());
  pass();
  EXPECT_FALSE(a.optionsWindow().visible());
  EXPECT_EQ(a.controller().run()->params().startYear, -5);
  EXPECT_EQ(a.controller().run()->params().maxGen, 10000);
  EXPECT_EQ(a.controller().run()->team().stats.population, 42);
  EXPECT_EQ(a.controller().run()->team().fitString(), "HelloWorld");
  click(a.mainButton(ui::kOptionsId));
  click(a.optionControls().cancelButton());
  EXPECT_EQ(a.optionControls().numberField(11).text(), "-5");
}

TEST_F(Desktop, RefusedOkKeepsTheRunAndTheWindowOpen) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kStepId));
  pass();
  click(a.mainButton(ui::kOptionsId));
  a.optionControls().numberField(10).setText("2000000");
  click(a.optionControls().okButton());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Error!!! Max Gen: 2000000 is outside 0..1000000");
  EXPECT_TRUE(a.optionsWindow().visible());
  EXPECT_EQ(a.controller().run()->team().stats.year, 1);
  EXPECT_EQ(a.optionControls().numberField(10).text(), "2000000");
}

TEST_F(Desktop, StartUpClampsUnusableValuesAndShowsThemOnce) {
  std::string text = constsText({});
  text.replace(text.find("MaxGen: 500"), 11, "MaxGen: -4");
  text.replace(text.find("BirthChanceDiv: 100"), 19, "BirthChanceDiv: 70000");
  std::ofstream(folder / "consts.txt") << text;
  CountingApp& a = startWith(folder / "consts.txt");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], ::testing::HasSubstr("Max Gen: -4 is outside 0..1000000"));
  EXPECT_THAT(messages[0],
              ::testing::HasSubstr("Birth Chance, second field: 70000 is outside 1..65535"));
  EXPECT_THAT(messages[0], ::testing::HasSubstr("The nearest valid values are used instead."));
  EXPECT_EQ(a.controller().run()->params().maxGen, 0);
  EXPECT_EQ(a.controller().run()->params().birthChanceDiv, 65535);
  EXPECT_EQ(a.optionControls().numberField(10).text(), "0");
}

TEST_F(Desktop, TickedBoxCountsAtTheNextResetEvenAfterCancel) {
  CountingApp& a = startApp();
  click(a.mainButton(ui::kOptionsId));
  click(a.optionControls().outputToFileBox());
  click(a.optionControls().cancelButton());
  EXPECT_TRUE(a.optionControls().outputToFileBox().checked());
  EXPECT_FALSE(a.controller().reportOpen());
  click(a.mainButton(ui::kResetId));
  EXPECT_TRUE(a.controller().reportOpen());
  EXPECT_TRUE(std::filesystem::exists(folder / "generation 0.txt"));
}

TEST_F(Desktop, GraphListPicksTheGraphAndOkRedrawsTheDetails) {
  CountingApp& a = startApp();
  for (int k = 0; k < 4; ++k) {
    click(a.mainButton(ui::kStepId));
    pass();
  }
  click(a.mainButton(ui::kGraphsId));
  const platform::Rgb curve = ui::kCurveColor;
  EXPECT_GT(pixelsOf(*a.graphBuffer(), ui::kGraphArea, curve), 0);
  pass();
  EXPECT_EQ(shownPixel(a.graphWindow(), {5 + 45, 5 + 100}), platform::kBlue) << "the y-axis";

  userSelect(a.graphList(), 3);
  EXPECT_EQ(a.graphType(), 3);
  click(a.mainButton(ui::kResetId));
  EXPECT_EQ(a.graphType(), 3);
  EXPECT_EQ(a.graphList().selectedRow(), 3);

  userSelect(a.playerList(), 0);
  click(a.graphOkButton());
  EXPECT_FALSE(a.graphWindow().visible());
  EXPECT_GT(pixelsOf(*a.playerBuffer(), {5, 5, 300, 135}, platform::kBlue), 0);
}

TEST(GraphPixels, CurvePointsOnTheBuffer) {
  auto buffer = test::testPlatform().createBuffer(ui::kGraphBufferSize);
  Team team;
  team.installFitString("Kestrel");
  History history;
  history.allocHistory(10);
  for (int y = 0; y <= 10; ++y) {
    team.stats.year = y;
    team.stats.population = y == 3 ? 50 : 20;
    team.stats.avgFitness = 12.9f;
    history.recordHistory(team.stats);
  }
  team.stats.highestPop = 100;
  team.stats.bestAvgFitness = 25.6f;
  ui::drawGraph(*buffer, team, history, 2);
  // Entry 3 = 50 of 100 over 10 years lies at (150, 175); the next line starts there.
  EXPECT_EQ(pixel(*buffer, {150, 175}), ui::kCurveColor);
  EXPECT_EQ(pixel(*buffer, {45, 100}), platform::kBlue) << "the y-axis";
  EXPECT_EQ(pixel(*buffer, {394, 325}), platform::kBlue);
  EXPECT_EQ(pixel(*buffer, {396, 325}), platform::kBlack) << "the x-axis ends at its last tick";

  ui::drawGraph(*buffer, team, history, 7);  // 12.9 of 25.6 plots as 12 of 25
  EXPECT_EQ(pixel(*buffer, {45, 181}), ui::kCurveColor);

  team.stats.year = 0;
  ui::drawGraph(*buffer, team, history, 2);
  int curve = 0;
  for (int y = 0; y < 340; ++y) {
    for (int x = 0; x < 440; ++x) curve += pixel(*buffer, {x, y}) == ui::kCurveColor;
  }
  EXPECT_EQ(curve, 0) << "no curve before the first year";
}

TEST_F(Desktop, MissingConstantsFileIsShownAndTheDefaultsUsed) {
  CountingApp& a = startWith(folder / "nothing-here.txt");
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], "Error!!! Error opening consts.txt, all constants set to default");
  EXPECT_EQ(a.controller().run()->params().startYear, 888);
}

TEST_F(Desktop, AClassThatCannotBeRegisteredIsShownAndStartUpStops) {
  for (const auto& [cls, text] :
       {std::pair{"OPTCLASS", "Error registering option window class!"},
        std::pair{"PLAYERCLASS", "Error registering main window class!"}}) {
    messages.clear();
    platform::testing::TestingPlatform refusing(test::testPlatform(), {cls});
    ui::Application a(refusing, {folder / "consts.txt", folder, {}});
    EXPECT_FALSE(a.start());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::string("Error!!! ") + text);
    EXPECT_THAT(messages[1], ::testing::HasSubstr("cannot start"));
  }
}

TEST_F(Desktop, LoopWaitsWhilePausedAndWakesForAnEvent) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "a page's pass never waits: the page's own loop does, and its tests check it";
#endif
  CountingApp& a = startApp();
  for (int k = 0; k < 3; ++k) pass();
  EXPECT_FALSE(a.controller().hasPendingWork());
  std::atomic<bool> woke{false};
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    woke = true;
    test::testPlatform().wake();
  });
  EXPECT_FALSE(a.loopPass());
  waker.join();
  EXPECT_TRUE(woke) << "the pass returned before anything woke it";
}

// Closing the main window: the run ends, every report is complete, the loop ends.
class Shutdown : public Desktop {
 protected:
  void tickAndReset(CountingApp& a) {
    click(a.optionControls().outputToFileBox());
    click(a.mainButton(ui::kResetId));
    pass();
    ASSERT_TRUE(a.controller().reportOpen());
  }
  void expectCompleteReport(int years) {
    const std::string text = readFile(folder / "generation 0.txt");
    int blocks = 0;
    for (std::size_t at = text.find("**** Team Info"); at != std::string::npos;
         at = text.find("**** Team Info", at + 1)) {
      ++blocks;
    }
    EXPECT_EQ(blocks, years + 1);
    EXPECT_TRUE(text.ends_with("\r\n*******************************\r\n\r\n"));
  }
  void closeAndFinish(CountingApp& a) {
    a.mainWindow().close();
    EXPECT_TRUE(a.shutDown());
    EXPECT_TRUE(pass()) << "the loop ends";
    EXPECT_TRUE(pass()) << "and stays ended";
  }
};

TEST_F(Shutdown, WhileARunGoesOn) {
  CountingApp& a = startApp();
  tickAndReset(a);
  click(a.mainButton(ui::kStartStopId));
  for (int k = 0; k < 4; ++k) pass();
  const int years = a.controller().run()->team().stats.year;
  closeAndFinish(a);
  EXPECT_FALSE(a.controller().reportOpen());
  expectCompleteReport(years);
}

TEST_F(Shutdown, WhilePausedWithAReportOpen) {
  CountingApp& a = startApp();
  tickAndReset(a);
  click(a.mainButton(ui::kStepId));
  pass();
  closeAndFinish(a);
  expectCompleteReport(1);
}

TEST_F(Shutdown, WhenTheSystemAsksTheProgramToEnd) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "nothing asks a page to end";
#endif
  CountingApp& a = startApp();
  tickAndReset(a);
  click(a.mainButton(ui::kStartStopId));
  for (int k = 0; k < 4; ++k) pass();
  platform::testing::requestTermination();
  // The request may come from another thread: passes go on until it has been heard.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!a.shutDown() && std::chrono::steady_clock::now() < limit) pass();
  ASSERT_TRUE(a.shutDown());
  const int years = a.controller().run() ? -1 : 0;
  EXPECT_EQ(years, 0) << "the run is released";
  EXPECT_TRUE(pass()) << "the loop ends";
  const std::string text = readFile(folder / "generation 0.txt");
  EXPECT_TRUE(text.ends_with("\r\n*******************************\r\n\r\n"));
}

TEST_F(Shutdown, RightAfterStartUp) {
  CountingApp& a = startApp();
  closeAndFinish(a);
  EXPECT_FALSE(std::filesystem::exists(folder / "generation 0.txt"));
}

}  // namespace
}  // namespace kestravin
