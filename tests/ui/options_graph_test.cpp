// The options window's fields and buttons, and the graph window's drawing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/history.h"
#include "engine/team.h"
#include "support/recording_surface.h"
#include "ui/graph_window.h"

namespace kestravin {
namespace {

using platform::Point;
using test::RecordingSurface;

TEST(GraphPoint, TheDocumentedExamples) {
  // Population entry 3 = 50 of a 100 maximum over 10 years.
  EXPECT_EQ(ui::graphPoint(3, 50, 10, 100, 350, 300, 45, 25), (Point{150, 175}));
  // Entry 1 of 3: 116.67 truncated.
  EXPECT_EQ(ui::graphPoint(1, 0, 3, 10, 350, 300, 45, 25).x, 161);
  EXPECT_EQ(ui::graphPoint(1, 0, 2, 10, 350, 300, 45, 25).x, 220);
  // An Average Fitness entry of 12.9 scaled by 25.6: both truncated first.
  EXPECT_EQ(ui::graphPoint(0, 12, 5, 25, 350, 300, 45, 25).y, 181);
  // A scale of 0 puts the point on the x-axis.
  EXPECT_EQ(ui::graphPoint(4, 7, 10, 0, 350, 300, 45, 25).y, 325);
  EXPECT_EQ(ui::graphPoint(4, 0, 10, 0, 350, 300, 45, 25).y, 325);
}

// A team and history of `years` recorded years with the given population per year.
struct RecordedRun {
  Team team;
  History history;
  explicit RecordedRun(const std::vector<int>& populations, float avg = 0.0f) {
    team.installFitString("Kestrel");
    history.allocHistory(static_cast<std::int32_t>(populations.size()));
    for (std::size_t y = 0; y < populations.size(); ++y) {
      team.stats.year = static_cast<std::int32_t>(y);
      team.stats.population = populations[y];
      team.stats.avgFitness = avg;
      history.recordHistory(team.stats);
    }
    team.stats.highestPop = 100;
  }
};

std::vector<std::string> curve(const RecordingSurface& s) {
  std::vector<std::string> lines;
  for (const auto& op : s.ops) {
    if (op.find("rgb(98,4,178)") != std::string::npos) lines.push_back(op);
  }
  return lines;
}

TEST(DrawGraph, FrameTextsAndTheCurveOfTheYearsBefore) {
  RecordedRun run({10, 50, 100, 20});
  run.team.stats.year = 3;  // entries 0..2 are plotted; entry 3 is not
  RecordingSurface buffer;
  ui::drawGraph(buffer, run.team, run.history, 2);
  EXPECT_EQ(buffer.ops.front(), "black 0,0 440x340");
  int frame = 0;
  for (const auto& op : buffer.ops) frame += op.ends_with(" blue") && op.starts_with("line ");
  EXPECT_EQ(frame, 22);
  EXPECT_THAT(buffer.ops, ::testing::Contains("line 80,323-80,328 blue"));
  EXPECT_THAT(buffer.ops, ::testing::Contains("line 43,25-48,25 blue"));
  EXPECT_THAT(buffer.ops, ::testing::Contains("line 45,325-395,325 blue"));
  EXPECT_THAT(buffer.texts(), ::testing::ElementsAre("45,6 blue Total Population", "384,327 blue 3",
                                                     "0,17 blue 100"));
  EXPECT_THAT(curve(buffer), ::testing::ElementsAre("line 45,295-45,295 rgb(98,4,178)",
                                                    "line 45,295-161,175 rgb(98,4,178)",
                                                    "line 161,175-278,25 rgb(98,4,178)"));
}

TEST(DrawGraph, NoCurveForTheFirstYearsAndAverageFitnessTruncated) {
  RecordedRun none({10});
  RecordingSurface empty;
  ui::drawGraph(empty, none.team, none.history, 2);
  EXPECT_TRUE(curve(empty).empty());
  EXPECT_THAT(empty.texts(), ::testing::Contains("384,327 blue 0"));

  RecordedRun one({10, 20});
  one.team.stats.year = 1;
  RecordingSurface single;
  ui::drawGraph(single, one.team, one.history, 2);
  EXPECT_THAT(curve(single), ::testing::ElementsAre("line 45,295-45,295 rgb(98,4,178)"));

  RecordedRun avg({10, 10, 10}, 12.9f);
  avg.team.stats.year = 2;
  avg.team.stats.bestAvgFitness = 25.6f;
  RecordingSurface average;
  ui::drawGraph(average, avg.team, avg.history, 7);
  EXPECT_THAT(average.texts(), ::testing::Contains("0,17 blue 25.60"));
  EXPECT_THAT(curve(average), ::testing::Contains("line 45,181-220,181 rgb(98,4,178)"));

  // A scale of 0 (nobody died): the curve runs along the x-axis.
  RecordedRun deaths({10, 10, 10});
  deaths.team.stats.year = 2;
  RecordingSurface flat;
  ui::drawGraph(flat, deaths.team, deaths.history, 4);
  EXPECT_THAT(curve(flat), ::testing::Contains("line 45,325-220,325 rgb(98,4,178)"));
  EXPECT_THAT(flat.texts(), ::testing::Contains("0,17 blue 0"));
}

}  // namespace
}  // namespace kestravin
