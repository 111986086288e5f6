#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/simulation.h"
#include "experiment/histogram.h"
#include "experiment/statistics.h"
#include "experiment/year_aggregate.h"

namespace kestravin {
namespace {

ValueHistogram histogramOf(const std::vector<std::int32_t>& values) {
  ValueHistogram h;
  for (std::int32_t v : values) h.add(v);
  return h;
}

TEST(Histogram, FewDistinctValuesGiveExactQuartiles) {
  std::vector<std::int32_t> values;
  std::mt19937 rng(5);
  for (int k = 0; k < 5000; ++k) values.push_back(static_cast<std::int32_t>(rng() % 100) - 30);
  const ValueHistogram h = histogramOf(values);
  ASSERT_TRUE(h.exact());
  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  for (double q : {0.0, 0.25, 0.5, 0.75, 1.0}) {
    EXPECT_DOUBLE_EQ(h.quantile(q), quantileOfSorted(sorted, q)) << q;
  }
  EXPECT_EQ(h.count(), 5000u);
  std::int64_t sum = 0;
  for (std::int32_t v : values) sum += v;
  EXPECT_EQ(h.sum(), sum);
}

// Many distinct values widen the bins; whatever the order of the values and however they are
// split and merged, the histogram is the same, and its quartiles stay within a bin.
TEST(Histogram, WideningDependsOnlyOnTheValues) {
  std::vector<std::int32_t> values;
  std::mt19937 rng(11);
  for (int k = 0; k < 3000; ++k) values.push_back(static_cast<std::int32_t>(rng() % 1'000'000));
  const ValueHistogram whole = histogramOf(values);
  EXPECT_FALSE(whole.exact());

  std::shuffle(values.begin(), values.end(), rng);
  ValueHistogram merged;
  for (std::size_t from = 0; from < values.size(); from += 700) {
    const std::vector<std::int32_t> part(
        values.begin() + static_cast<std::ptrdiff_t>(from),
        values.begin() + static_cast<std::ptrdiff_t>(std::min(from + 700, values.size())));
    merged.merge(histogramOf(part));
  }
  EXPECT_EQ(merged, whole);
  ValueHistogram backwards;
  for (auto v = values.rbegin(); v != values.rend(); ++v) backwards.add(*v);
  EXPECT_EQ(backwards, whole);

  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  for (double q : {0.25, 0.5, 0.75}) {
    // 128 bins over a million: bins of 16384 at most.
    EXPECT_NEAR(whole.quantile(q), quantileOfSorted(sorted, q), 16384) << q;
  }

  ByteWriter out;
  whole.encode(out);
  ByteReader in(out.bytes());
  EXPECT_EQ(ValueHistogram::decode(in), whole);
  EXPECT_TRUE(in.atEnd());
}

SimParams smallParams() {
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
  p.maxGen = 40;
  p.maxPop = 100;
  p.fitString = "Kestrel";
  return p;
}

// Runs that end early count with their last values in every later year.
TEST(YearAggregate, EndedRunsHoldTheirLastValues) {
  SimParams shortRun = smallParams(), longRun = smallParams();
  shortRun.maxGen = 3;
  Simulation a(shortRun, 1), b(longRun, 2);
  while (a.end() == RunEnd::kNone) a.advance();
  while (b.end() == RunEnd::kNone) b.advance();
  const std::int32_t lastA = a.stats().year, lastB = b.stats().year;
  ASSERT_EQ(lastA, 3);
  ASSERT_GT(lastB, 5);

  YearAggregate agg;
  agg.addRun(a.history(), lastA);
  agg.addRun(b.history(), lastB);
  EXPECT_EQ(agg.lastYear(), lastB);
  std::int32_t visited = 0;
  agg.visitYears([&](std::int32_t y, const YearAggregate::Stats& stats) {
    EXPECT_EQ(y, visited++);
    const std::int32_t popA = a.history().intEntry(History::kPopulation, std::min(y, lastA));
    const std::int32_t popB = b.history().intEntry(History::kPopulation, y);
    const YearPoint p = describeYear(stats, History::kPopulation);
    EXPECT_DOUBLE_EQ(p.mean, (popA + popB) / 2.0) << y;
    EXPECT_DOUBLE_EQ(p.q1, std::min(popA, popB) + 0.25 * std::abs(popA - popB)) << y;
    const double avgA = a.history().avgFitness(std::min(y, lastA));
    const double avgB = b.history().avgFitness(y);
    EXPECT_NEAR(describeYear(stats, History::kAvgFitness).median, (avgA + avgB) / 2, 1e-3) << y;
  });
  EXPECT_EQ(visited, lastB + 1);

  // Parts merged, in either order, make the same aggregate; and it survives the wire.
  YearAggregate first, second;
  first.addRun(a.history(), lastA);
  second.addRun(b.history(), lastB);
  YearAggregate merged = second;
  merged.merge(first);
  EXPECT_EQ(merged, agg);
  ByteWriter out;
  agg.encode(out);
  ByteReader in(out.bytes());
  EXPECT_EQ(YearAggregate::decode(in), agg);
}

}  // namespace
}  // namespace kestravin
