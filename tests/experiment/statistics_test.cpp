#include "experiment/statistics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "experiment/tables.h"

namespace kestravin {
namespace {

RunRecord ended(RunEnd end, std::int32_t perfectYear = -1) {
  RunRecord r;
  r.end = end;
  r.firstPerfectYear = perfectYear;
  return r;
}

TEST(Statistics, QuantilesInterpolateBetweenOrderStatistics) {
  const std::vector<double> v = {1, 2, 4, 10};
  EXPECT_DOUBLE_EQ(quantileOfSorted(v, 0.0), 1);
  EXPECT_DOUBLE_EQ(quantileOfSorted(v, 0.25), 1.75);  // h = 0.75
  EXPECT_DOUBLE_EQ(quantileOfSorted(v, 0.5), 3);
  EXPECT_DOUBLE_EQ(quantileOfSorted(v, 0.75), 5.5);  // h = 2.25
  EXPECT_DOUBLE_EQ(quantileOfSorted(v, 1.0), 10);
  EXPECT_DOUBLE_EQ(quantileOfSorted({7}, 0.25), 7);
  EXPECT_TRUE(std::isnan(quantileOfSorted({}, 0.5)));
}

TEST(Statistics, StudentTMatchesPublishedTables) {
  EXPECT_DOUBLE_EQ(tCritical95(1), 12.7062);
  EXPECT_DOUBLE_EQ(tCritical95(30), 2.0423);
  // Published values beyond the table, which the expansion must meet to four places.
  EXPECT_NEAR(tCritical95(31), 2.0395, 1e-4);
  EXPECT_NEAR(tCritical95(40), 2.0211, 1e-4);
  EXPECT_NEAR(tCritical95(60), 2.0003, 1e-4);
  EXPECT_NEAR(tCritical95(120), 1.9799, 1e-4);
  EXPECT_NEAR(tCritical95(100000), 1.9600, 1e-4);
  EXPECT_TRUE(std::isnan(tCritical95(0)));
}

// A hand-made table: five runs, three of which evolved a perfect player in years 10, 20
// and 60, one ended at the time limit and one in a way the summary does not name.
TEST(Statistics, SummaryOfAHandMadeTable) {
  const std::vector<RunRecord> runs = {
      ended(RunEnd::kEfficientPlayer, 60), ended(RunEnd::kTimeLimit),
      ended(RunEnd::kEfficientPlayer, 10), ended(static_cast<RunEnd>(99)),
      ended(RunEnd::kEfficientPlayer, 20)};
  const SetSummary s = summarize(runs);
  EXPECT_EQ(s.runs, 5);
  EXPECT_THAT(s.ends, ::testing::ElementsAre(1, 3, 0, 1));
  EXPECT_EQ(endName(static_cast<RunEnd>(99)), "other");
  EXPECT_EQ(s.perfectRuns, 3);
  EXPECT_DOUBLE_EQ(s.min, 10);
  EXPECT_DOUBLE_EQ(s.q1, 15);
  EXPECT_DOUBLE_EQ(s.median, 20);
  EXPECT_DOUBLE_EQ(s.q3, 40);
  EXPECT_DOUBLE_EQ(s.max, 60);
  EXPECT_DOUBLE_EQ(s.mean, 30);
  // Sample deviation sqrt(700) = 26.458; half width t(2) * 26.458 / sqrt(3) = 65.724.
  EXPECT_NEAR(s.meanLow, 30 - 65.7242, 1e-3);
  EXPECT_NEAR(s.meanHigh, 30 + 65.7242, 1e-3);

  Plan plan;
  plan.sets = {{defaultParams(), {}}};
  plan.sets[0].params.fitString = "a,\"b";
  std::ostringstream csv;
  writeSummaryCsv(csv, plan, {s}, Completion::kInterrupted);
  const std::string text = csv.str();
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "set,mutation,mutationDiv,teamSize,ageStart,ageDeath,ageDeathDiv,fitDeath,"
            "fitDeathDiv,birthChance,birthChanceDiv,maxGen,startYear,maxPop,fitString,runs,"
            "timeLimitShare,efficientShare,extinctShare,otherShare,perfectRuns,yearsMin,yearsQ1,"
            "yearsMedian,yearsQ3,yearsMax,yearsMean,yearsMeanLow,yearsMeanHigh,status");
  EXPECT_EQ(text.substr(text.find('\n') + 1),
            "0,0,0,0,0,0,0,0,0,0,0,0,888,0,\"a,\"\"b\",5,0.2000,0.6000,0.0000,0.2000,3,10.00,"
            "15.00,20.00,40.00,60.00,30.00,-35.72,95.72,interrupted\n");
}

TEST(Statistics, FewRunsLeaveUndefinedFiguresEmpty) {
  const SetSummary none = summarize({ended(RunEnd::kExtinct)});
  EXPECT_EQ(none.perfectRuns, 0);
  EXPECT_TRUE(std::isnan(none.median));
  EXPECT_TRUE(std::isnan(none.mean));
  const SetSummary one = summarize({ended(RunEnd::kEfficientPlayer, 7)});
  EXPECT_DOUBLE_EQ(one.q1, 7);
  EXPECT_DOUBLE_EQ(one.mean, 7);
  EXPECT_TRUE(std::isnan(one.meanLow));  // no interval from one run

  Plan plan;
  plan.sets = {{defaultParams(), {}}, {defaultParams(), {}}};
  std::ostringstream csv;
  writeSummaryCsv(csv, plan, {none, summarize({})}, Completion::kComplete);
  const std::string text = csv.str();
  EXPECT_THAT(text, ::testing::HasSubstr(",1,0.0000,0.0000,1.0000,0.0000,0,,,,,,,,,complete\n"));
  EXPECT_THAT(text, ::testing::HasSubstr(",0,,,,,0,,,,,,,,,complete\n"));  // no run finished
}

}  // namespace
}  // namespace kestravin
