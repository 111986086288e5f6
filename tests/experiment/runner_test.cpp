#include "experiment/runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "experiment/exchange.h"

namespace kestravin {
namespace {

Plan smallPlan(std::int64_t runs) {
  SimParams p = defaultParams();
  p.mutation = 20;
  p.mutationDiv = 100;
  p.teamSize = 8;
  p.ageStart = 3;
  p.ageDeath = 20;
  p.ageDeathDiv = 100;
  p.fitDeath = 30;
  p.fitDeathDiv = 100;
  p.birthChance = 80;
  p.birthChanceDiv = 100;
  p.maxGen = 60;
  p.maxPop = 40;
  p.fitString = "Kes";
  Plan plan;
  plan.sets = {{p, {"Kes"}}, {p, {"Ab"}}};
  plan.sets[1].params.fitString = "Ab";
  plan.runsPerSet = runs;
  plan.seed = 4294967290u;  // the seeds wrap around 2^32
  return plan;
}

RunnerResult runAll(const Plan& plan, Share share, int jobs) {
  Runner runner(plan, share, jobs, true, {});
  return runner.finish();
}

// Every worker count, and the runs split over processes and merged, give the same records
// and aggregates; each record is the run its seed makes on its own.
TEST(Runner, SameResultsForAnyWorkersAndProcesses) {
  const Plan plan = smallPlan(9);
  const RunnerResult one = runAll(plan, {0, 1}, 1);
  ASSERT_EQ(one.records.size(), 18u);
  EXPECT_FALSE(one.stopped);
  EXPECT_EQ(one.failure, "");
  for (std::size_t k = 0; k < one.records.size(); ++k) {
    const RunRecord& r = one.records[k];
    EXPECT_EQ(r.run, static_cast<std::int64_t>(k));
    EXPECT_EQ(r.set, plan.setOf(r.run));
    EXPECT_EQ(r.seed, plan.seedOf(r.run));
    RunRecord alone = *runToEnd(plan.sets[r.set].params, r.seed, {});
    alone.run = r.run;
    alone.set = r.set;
    EXPECT_EQ(alone, r) << "run " << k;
  }
  EXPECT_EQ(one.records[6].seed, 0u);

  const RunnerResult three = runAll(plan, {0, 1}, 3);
  EXPECT_EQ(three.records, one.records);
  EXPECT_EQ(three.years, one.years);

  std::vector<RunnerResult> parts;
  for (int rank = 0; rank < 4; ++rank) {
    parts.push_back(decodeResult(encodeResult(runAll(plan, {rank, 4}, 2))));
  }
  const RunnerResult merged = mergeResults(parts, plan.sets.size());
  EXPECT_EQ(merged.records, one.records);
  EXPECT_EQ(merged.years, one.years);
}

// A stop abandons runs in progress and starts no more: the records kept are whole runs.
TEST(Runner, StoppedRunnerKeepsOnlyFinishedRuns) {
  const Plan plan = smallPlan(200);
  const RunnerResult all = runAll(plan, {0, 1}, 1);
  std::atomic<int> asked{0};
  Runner runner(plan, {0, 1}, 2, false, [&] { return ++asked > 2000; });
  const RunnerResult part = runner.finish();
  EXPECT_TRUE(part.stopped);
  EXPECT_GT(part.records.size(), 0u);
  EXPECT_LT(part.records.size(), all.records.size());
  for (const RunRecord& r : part.records)
    EXPECT_EQ(r, all.records[static_cast<std::size_t>(r.run)]);
}

TEST(Exchange, PlanSurvivesTheWire) {
  PlanMessage message;
  message.plan = smallPlan(3);
  message.plan.sets[1].params.fitString = "a,b\"<&>";
  message.jobs = 5;
  message.perYear = true;
  const PlanMessage back = decodePlan(encodePlan(message));
  EXPECT_EQ(back.status, 0);
  EXPECT_EQ(back.jobs, 5);
  EXPECT_TRUE(back.perYear);
  EXPECT_EQ(back.plan.seed, message.plan.seed);
  EXPECT_EQ(back.plan.runsPerSet, 3);
  ASSERT_EQ(back.plan.sets.size(), 2u);
  EXPECT_EQ(back.plan.sets[1].params, message.plan.sets[1].params);
  EXPECT_EQ(back.plan.sets[1].varied, message.plan.sets[1].varied);
  EXPECT_THROW(decodePlan(encodePlan(message).substr(0, 30)), std::runtime_error);
}

}  // namespace
}  // namespace kestravin
