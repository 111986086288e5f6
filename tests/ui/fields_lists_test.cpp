// The options window's fields, the player list, the windows' boxes and what stands behind a
// message box, on the test platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ui/desktop_fixture.h"
#include "ui/player_view.h"
#include "ui/status_panel.h"

namespace kestravin {
namespace {

using platform::Rgb;
using platform::testing::captionBoxes;
using platform::testing::click;
using platform::testing::minimize;
using platform::testing::minimized;
using platform::testing::pasteOver;
using platform::testing::shownPixels;
using platform::testing::type;
using platform::testing::typeOver;
using test::CountingApp;
using test::Desktop;

constexpr std::size_t kMutation = 0;
constexpr std::size_t kTeamSize = 2;
constexpr std::size_t kAgeStart = 3;
constexpr std::size_t kStartYear = 11;
constexpr std::size_t kMaxPop = 12;

// Types the text at the end of the field; how many characters it took.
int typeAll(platform::EditField& field, const std::string& text) {
  int taken = 0;
  for (char c : text) taken += type(field, c);
  return taken;
}

TEST_F(Desktop, EveryAcceptedValueCanBeTypedAndNoMore) {
  CountingApp& a = startApp({.maxPop = 1000000});
  ui::OptionControls& fields = a.optionControls();
  EXPECT_EQ(fields.numberField(kMaxPop).text(), "1000000") << "loaded whole";

  platform::EditField& teamSize = fields.numberField(kTeamSize);
  teamSize.setText("");
  EXPECT_EQ(typeAll(teamSize, "10000009"), 7) << "seven digits for 1000000, not an eighth";
  EXPECT_EQ(teamSize.text(), "1000000");
  platform::EditField& startYear = fields.numberField(kStartYear);
  startYear.setText("");
  EXPECT_EQ(typeAll(startYear, "1000000000"), 10);
  platform::EditField& mutation = fields.numberField(kMutation);
  mutation.setText("");
  EXPECT_EQ(typeAll(mutation, "123456789012"), 11) << "room for -2147483648";
  platform::EditField& fit = fields.fitStringField();
  fit.setText("");
  EXPECT_EQ(typeAll(fit, std::string(256, 'K')), 255);

  platform::EditField& maxPop = fields.numberField(kMaxPop);
  maxPop.setText("");
  EXPECT_EQ(typeAll(maxPop, "1000000"), 7);
  teamSize.setText("");
  typeAll(teamSize, "120000");
  mutation.setText("10");
  click(a.mainButton(ui::kOptionsId));
  click(fields.okButton());
  pass();
  ASSERT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(a.controller().run()->params().maxPop, 1000000);
  EXPECT_EQ(a.controller().run()->params().startYear, 1000000000);
  EXPECT_EQ(a.controller().run()->params().fitString, std::string(255, 'K'));
  EXPECT_EQ(a.controller().run()->stats().population, 120000);
}

TEST_F(Desktop, AValueWiderThanItsFieldShowsItsStart) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "a page's fields are HTML elements, whose pixels the page cannot read";
#endif
  CountingApp& a = startApp();
  click(a.mainButton(ui::kOptionsId));
  platform::EditField& maxPop = a.optionControls().numberField(kMaxPop);
  const platform::Rect field = maxPop.geometry();
  // The field's left part, inside its border: where the first digit shows.
  const platform::Rect firstDigit{field.x + 1, field.y + 1, 9, field.h - 2};
  const auto shown = [&](const char* text) {
    maxPop.setText(text);
    for (int k = 0; k < 3; ++k) pass();
    return shownPixels(a.optionsWindow(), firstDigit);
  };
  const std::vector<Rgb> one = shown("1000000");
  const std::vector<Rgb> eight = shown("8000000");
  EXPECT_NE(one, eight) << "the first digit is out of sight";
  EXPECT_EQ(shown("1000000"), one);

  // Typed, the value scrolls with the caret; once the user goes on to another field it shows
  // its start again.
  maxPop.setText("");
  for (char c : std::string("8000000")) type(maxPop, c);
  type(a.optionControls().fitStringField(), 'K');
  for (int k = 0; k < 3; ++k) pass();
  EXPECT_EQ(shownPixels(a.optionsWindow(), firstDigit), eight);
}

TEST_F(Desktop, NumberFieldsTakeOnlyDigitsFromTheUser) {
  CountingApp& a = startApp();
  platform::EditField& ageStart = a.optionControls().numberField(kAgeStart);
  EXPECT_EQ(ageStart.text(), "5");
  EXPECT_EQ(typeOver(ageStart, "q"), 0);
  EXPECT_EQ(typeOver(ageStart, "."), 0);
  EXPECT_EQ(ageStart.text(), "5");
  EXPECT_EQ(typeOver(ageStart, "z9"), 1);
  EXPECT_EQ(ageStart.text(), "9");
  EXPECT_EQ(typeOver(ageStart, "-2000"), 4);
  EXPECT_EQ(ageStart.text(), "2000");
  EXPECT_FALSE(pasteOver(ageStart, "12q"));
  EXPECT_FALSE(pasteOver(ageStart, "-3"));
  EXPECT_EQ(ageStart.text(), "2000");
  EXPECT_TRUE(pasteOver(ageStart, "123"));
  EXPECT_EQ(ageStart.text(), "123");
  ageStart.setText("-5");  // the program may put a sign in
  EXPECT_EQ(ageStart.text(), "-5");

  platform::EditField& fit = a.optionControls().fitStringField();
  EXPECT_EQ(typeOver(fit, "q.-"), 3) << "the fitness string takes any character";
  EXPECT_EQ(fit.text(), "q.-");

  // A paste longer than the field takes keeps the part that fits.
  platform::EditField& teamSize = a.optionControls().numberField(2);  // up to 1000000
  EXPECT_TRUE(pasteOver(teamSize, "123456789"));
  EXPECT_EQ(teamSize.text(), "1234567");
  EXPECT_TRUE(pasteOver(fit, std::string(300, 'a')));
  EXPECT_EQ(fit.text(), std::string(255, 'a'));
}

TEST_F(Desktop, MessagesNameWhatTheUserSees) {
  CountingApp& a = startApp();
  a.optionControls().numberField(kAgeStart).setText("");
  a.optionControls().numberField(1).setText("q");  // Mutation's second field
  click(a.mainButton(ui::kResetId));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Error!!! Mutation, second field: not a number\nAge Start: empty");
  EXPECT_EQ(a.controller().run()->params().ageStart, 5) << "nothing changed";
}

// The x of every column of a row where the ink of its text starts and ends: the row is drawn
// alone, then with each part added, and the new ink is the part's.
struct Ink {
  int from = 1 << 30;
  int to = -1;
};

Ink inkOf(const std::vector<Rgb>& pixels, const std::vector<Rgb>& before, int w) {
  Ink ink;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] == before[i]) continue;
    const int x = static_cast<int>(i) % w;
    ink.from = std::min(ink.from, x);
    ink.to = std::max(ink.to, x);
  }
  return ink;
}

TEST_F(Desktop, ListColumnsStayApartWhenIdsGrow) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "a page's lists are HTML elements, whose pixels the page cannot read";
#endif
  CountingApp& a = startApp();
  platform::ListBox& list = a.playerList();
  const platform::Rect box = list.geometry();
  const platform::Rect firstRow{box.x + 2, box.y + 2, 300, 14};
  const auto rowShown = [&](const std::string& text) {
    list.setRows(1, [&](std::size_t, std::string& row) {
      row = text;
      return 1;
    });
    for (int k = 0; k < 3; ++k) pass();
    return shownPixels(a.mainWindow(), firstRow);
  };
  const std::vector<Rgb> empty = rowShown("");
  for (const std::string id : {"12", "6520873", "12345678", "1234567890"}) {
    const std::vector<Rgb> idOnly = rowShown(id);
    const Ink idInk = inkOf(idOnly, empty, firstRow.w);
    const Ink fitInk = inkOf(rowShown(id + "\t160"), idOnly, firstRow.w);
    ASSERT_GE(idInk.to, 0) << id;
    ASSERT_GE(fitInk.to, 0) << id;
    EXPECT_GT(fitInk.from, idInk.to + 2) << "id " << id << " runs into its fitness";
  }
  // A short id leaves the fitness in the first column after it, before the chromosomes'.
  const Ink shortFit = inkOf(rowShown("12\t160"), rowShown("12"), firstRow.w);
  EXPECT_LT(shortFit.from + firstRow.x - box.x, ui::kChromoColumn);
}

TEST_F(Desktop, AListOfManyPlayersIsRebuiltAtOnce) {
  CountingApp& a = startApp({.teamSize = 20000, .maxPop = 20000});
  a.playerList().selectRow(3);
  const auto start = std::chrono::steady_clock::now();
  a.refreshPlayerList();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Team& team = a.controller().run()->team();
  ASSERT_EQ(a.playerList().rowCount(), 20000);
  EXPECT_EQ(a.playerList().rowText(19999), ui::playerRowText(team, 19999));
  EXPECT_EQ(a.playerList().rowData(19999), team.players[19999].id);
  EXPECT_EQ(a.playerList().selectedRow(), -1);
  // A list filled row by row with redrawing on took about a minute for this under Wine.
  EXPECT_LT(seconds, 5.0);
}

TEST_F(Desktop, OptionsAndGraphsBringBackAMinimisedWindow) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "a page's windows cannot be minimised";
#endif
  CountingApp& a = startApp();
  const platform::testing::CaptionBoxes options = captionBoxes(a.optionsWindow());
  EXPECT_FALSE(options.close || options.minimize || options.maximize);
  const platform::testing::CaptionBoxes graph = captionBoxes(a.graphWindow());
  EXPECT_FALSE(graph.close || graph.minimize || graph.maximize);
  const platform::testing::CaptionBoxes main = captionBoxes(a.mainWindow());
  EXPECT_TRUE(main.close && main.minimize && main.maximize);

  // A window manager may give them a minimise box all the same.
  click(a.mainButton(ui::kOptionsId));
  pass();
  minimize(a.optionsWindow());
  pass();
  ASSERT_TRUE(minimized(a.optionsWindow()));
  click(a.mainButton(ui::kOptionsId));
  pass();
  EXPECT_FALSE(minimized(a.optionsWindow()));
  EXPECT_TRUE(a.optionsWindow().visible());

  click(a.mainButton(ui::kGraphsId));
  pass();
  minimize(a.graphWindow());
  pass();
  ASSERT_TRUE(minimized(a.graphWindow()));
  click(a.mainButton(ui::kGraphsId));
  pass();
  EXPECT_FALSE(minimized(a.graphWindow()));
  EXPECT_TRUE(a.graphWindow().visible());
}

TEST_F(Desktop, BehindAReportFailureTheWindowShowsTheNewRun) {
  std::uint32_t next = 1;
  seeds = [&next] { return next++; };  // every run a team of its own
  reports = folder / "reports";
  std::ofstream(reports) << "a file, where reports would need a folder";
  CountingApp& a = startApp();
  click(a.mainButton(ui::kStepId));
  pass();

  bool shown = false;
  test::testPlatform().setMessageHandler([&](const std::string& text, const std::string&) {
    // While the box is up: the list holds the new team, and the panel is drawn, also after
    // the box has uncovered it.
    shown = true;
    EXPECT_THAT(text, ::testing::HasSubstr("could not be created"));
    const Team& team = a.controller().run()->team();
    EXPECT_EQ(team.stats.year, 0);
    ASSERT_EQ(a.playerList().rowCount(), team.stats.population);
    EXPECT_EQ(a.playerList().rowText(0), ui::playerRowText(team, 0)) << "the old team is listed";
    a.mainWindow().invalidate(ui::kStatusArea);
    a.mainWindow().paintNow();
    const std::vector<Rgb> separator = shownPixels(a.mainWindow(), {5, 32, 485, 1});
    EXPECT_EQ(std::count(separator.begin(), separator.end(), platform::kBlue), 485)
        << "the status panel is black behind the box";
  });
  click(a.optionControls().outputToFileBox());
  click(a.mainButton(ui::kOptionsId));
  click(a.optionControls().okButton());
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace kestravin
