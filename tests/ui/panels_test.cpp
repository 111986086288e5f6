// The panels' drawing, recorded operation by operation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/random.h"
#include "engine/team.h"
#include "support/recording_surface.h"
#include "ui/graph_window.h"
#include "ui/options_window.h"
#include "ui/player_view.h"
#include "ui/status_panel.h"

namespace kestravin {
namespace {

using test::RecordingSurface;
using ::testing::ElementsAre;

Team smallTeam(int players) {
  Team team;
  team.installFitString("Kestrel");
  Random rng;
  rng.randomInit(7);
  createTeam(team, players, rng);
  return team;
}

TEST(StatusPanel, DrawsEveryTextAtItsPlaceAndTheHeadingsOnTheWindow) {
  Team team = smallTeam(3);
  team.stats.year = 3;
  team.stats.population = 3;
  team.stats.highestPop = 9;
  team.stats.lowestPop = 2;
  team.stats.maxFitness = 200;
  team.stats.avgFitness = 12.5f;
  team.stats.minFitness = -4;
  team.stats.bestMaxFitness = 210;
  team.stats.bestAvgFitness = 0.0f;
  team.stats.births = 5;
  team.stats.deaths = 6;
  team.stats.ageDeaths = 1;
  team.stats.fitDeaths = 5;
  team.stats.bestId = 42;
  RecordingSurface buffer, window;
  ui::drawStatusPanel(buffer, window, team, 888, RunEnd::kNone);

  EXPECT_EQ(buffer.ops.front(), "black 0,0 500x120");
  EXPECT_THAT(
      buffer.texts(),
      ElementsAre("5,0 blue Year: 891", "5,15 blue Fitness String: Kestrel",
                  "100,0 blue Target Fitness: " + std::to_string(team.targetFitness),
                  "250,0 blue Current Best Fitness ID: 42", "5,35 blue Total Pop:", "95,35 blue 3",
                  "5,50 blue Highest Pop:", "95,50 blue 9", "5,65 blue Lowest Pop:", "95,65 blue 2",
                  "5,80 blue Max Fitness:", "95,80 blue 200", "145,35 blue Avg Fitness:",
                  "270,35 blue 12.50", "145,50 blue Min Fitness:", "270,50 blue -4",
                  "145,65 blue Best Max Fitness:", "270,65 blue 210",
                  "145,80 blue Best Avg Fitness:", "270,80 blue 0.00",
                  "330,35 blue Current Births:", "440,35 blue 5", "330,50 blue Current Deaths:",
                  "440,50 blue 6", "330,65 blue Age Deaths:", "440,65 blue 1",
                  "330,80 blue Fit Deaths:", "440,80 blue 5"));
  EXPECT_THAT(buffer.ops, ::testing::Contains("line 5,32-490,32 blue"));
  EXPECT_THAT(window.texts(),
              ElementsAre("5,205 blue ID", "70,205 blue Fit.", "135,205 blue Chromo"));
}

TEST(StatusPanel, EndMessagesInTheirColoursBelowTheGrid) {
  const Team team = smallTeam(2);
  const auto lastText = [&](RunEnd end) {
    RecordingSurface buffer, window;
    ui::drawStatusPanel(buffer, window, team, 0, end);
    return buffer.texts().back();
  };
  EXPECT_EQ(lastText(RunEnd::kTimeLimit), "5,100 red ***TIME LIMIT REACHED***");
  EXPECT_EQ(lastText(RunEnd::kEfficientPlayer), "5,100 green ***EFFICIENT PLAYER EVOLVED***");
  EXPECT_EQ(lastText(RunEnd::kExtinct), "5,100 red ***POPULATION EXTINCT***");
  EXPECT_EQ(lastText(RunEnd::kIdsUsedUp), "5,100 red ***PLAYER IDS USED UP***");
  EXPECT_EQ(lastText(RunEnd::kOutOfMemory), "5,100 red ***OUT OF MEMORY***");
  EXPECT_EQ(lastText(RunEnd::kNone), "440,80 blue 0");
}

TEST(BusyIndicator, NineStepCycleFromReset) {
  ui::BusyState state;
  ui::resetBusy(state);
  std::vector<std::string> shown;
  for (int tick = 0; tick < 10; ++tick) {
    ui::advanceBusy(state);
    shown.push_back(state.asterisks);
  }
  EXPECT_THAT(shown, ElementsAre("*", "**", "***", "****", "*****", "******", "*******", "********",
                                 "*********", "*"));
  RecordingSurface buffer;
  ui::drawBusy(buffer, state);
  EXPECT_THAT(buffer.ops, ElementsAre("black 0,0 170x17", "text 0,0 blue *"));
}

TEST(PlayerView, RowsAndDetailsOfAPlayer) {
  Team team = smallTeam(3);
  Player& second = team.players[1];
  second.fertility = 42.0f;
  second.lastMutation = 88;
  second.age = 4;
  const std::string chromo(team.players.chromosomeView(1));
  EXPECT_EQ(ui::playerRowText(team, 1),
            std::to_string(second.id) + "\t" + std::to_string(second.fitness) + "\t" + chromo);

  RecordingSurface buffer;
  ui::drawPlayerDetails(buffer, team, second.id);
  EXPECT_EQ(buffer.ops.front(), "black 0,0 400x150");
  EXPECT_THAT(buffer.texts(),
              ElementsAre("5,5 blue ID: 2", "5,20 blue Chromosome: " + chromo,
                          "5,35 blue Fitness: " + std::to_string(second.fitness),
                          "5,50 blue Age: 4", "5,65 blue Fertility: 42.00",
                          "5,80 blue Number of Children: 0", "5,95 blue Last Mutation: 88",
                          "5,110 blue Parent 1 ID: 0", "5,125 blue Parent 2 ID: 0"));

  // No selection, or an id that names nobody: a black panel.
  for (std::optional<std::int32_t> id : {std::optional<std::int32_t>{}, std::optional(999)}) {
    RecordingSurface empty;
    ui::drawPlayerDetails(empty, team, id);
    EXPECT_THAT(empty.ops, ElementsAre("black 0,0 400x150"));
  }
}

TEST(OptionsWindow, TenBlueLabelsDownTheLeftEdge) {
  RecordingSurface surface;
  ui::drawOptionLabels(surface);
  EXPECT_THAT(surface.texts(),
              ElementsAre("0,0 blue FitString:", "0,20 blue Mutation:", "0,40 blue Team Size:",
                          "0,60 blue Age Start:", "0,80 blue Age Death:", "0,100 blue Fit Death:",
                          "0,120 blue Birth Chance:", "0,140 blue Max Gen:",
                          "0,160 blue Start Year:", "0,180 blue Max Pop:"));
}

}  // namespace
}  // namespace kestravin
