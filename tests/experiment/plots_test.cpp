#include "experiment/plots.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "experiment/runner.h"
#include "experiment/svg_chart.h"
#include "support/xml_check.h"

namespace kestravin {
namespace {

using test::countOf;
using test::xmlProblem;

TEST(Svg, TicksAreRoundAndCoverTheRange) {
  EXPECT_THAT(niceTicks(0, 5000, 5), ::testing::ElementsAre(0, 1000, 2000, 3000, 4000, 5000));
  EXPECT_THAT(niceTicks(3, 17, 4), ::testing::ElementsAre(0, 5, 10, 15, 20));
  EXPECT_THAT(niceTicks(0, 1, 4), ::testing::ElementsAre(0, 0.5, 1));
  EXPECT_EQ(tickLabel(25000), "25k");
  EXPECT_EQ(tickLabel(2500), "2500");
  EXPECT_EQ(tickLabel(0.5), "0.5");
  EXPECT_EQ(escapeXml("a<b & \"c\"\x01\xe9"), "a&lt;b &amp; &quot;c&quot;?&#233;");
}

// Both plots of a real small experiment are well-formed XML with one group per set, and
// each set's values appear in its label, however odd the fitness string.
TEST(Plots, OneGroupPerSetInWellFormedSvg) {
  SimParams p = defaultParams();
  p.mutation = 20;
  p.mutationDiv = 100;
  p.teamSize = 40;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 20;
  p.fitDeathDiv = 100;
  p.birthChance = 80;
  p.birthChanceDiv = 100;
  p.maxGen = 200;
  p.maxPop = 100;
  std::string error;
  const std::vector<Variation> vary = {*parseVariation("fitString=Ab,<&\">,Kestrel", error),
                                       *parseVariation("maxPop=0,100", error)};
  Plan plan;
  plan.sets = makeSets(p, vary);
  plan.runsPerSet = 6;
  plan.seed = 3;
  Runner runner(plan, {0, 1}, 2, true, {});
  const RunnerResult result = runner.finish();
  std::vector<SetSummary> sums;
  for (std::size_t s = 0; s < plan.sets.size(); ++s) {
    std::vector<RunRecord> mine;
    for (const RunRecord& r : result.records) {
      if (r.set == static_cast<int>(s)) mine.push_back(r);
    }
    sums.push_back(summarize(mine));
  }
  ASSERT_GT(sums[1].perfectRuns, 0);  // "Ab" with room to grow: some runs get there
  const PlotContext context{plan, vary};
  EXPECT_EQ(commonParams(context).find("fitString"), std::string::npos);
  EXPECT_NE(commonParams(context).find("teamSize=40"), std::string::npos);

  for (const std::string& svg :
       {yearsToPerfectPlot(context, sums, result.records), fitnessPlot(context, result.years)}) {
    EXPECT_EQ(xmlProblem(svg), "");
    EXPECT_EQ(countOf(svg, "<g class=\"set\""), plan.sets.size());
    EXPECT_NE(svg.find("fitString=&lt;&amp;&quot;&gt; maxPop=100"), std::string::npos);
    EXPECT_NE(svg.find("teamSize=40"), std::string::npos);  // the shared values, in the title
  }
  // Nothing varied: one group, labelled as all runs.
  Plan single;
  single.sets = makeSets(p, {});
  single.runsPerSet = 2;
  const PlotContext alone{single, {}};
  const std::string svg = yearsToPerfectPlot(alone, {summarize({})}, {});
  EXPECT_EQ(xmlProblem(svg), "");
  EXPECT_EQ(countOf(svg, "<g class=\"set\""), 1u);
  EXPECT_NE(svg.find("all runs"), std::string::npos);
}

}  // namespace
}  // namespace kestravin
