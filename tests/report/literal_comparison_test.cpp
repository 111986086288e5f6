// The engine against the plain model of the rules: the same seed and parameters must give
// byte-identical reports, year by year, draw for draw.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/simulation.h"
#include "report/report_writer.h"
#include "support/literal_model.h"

namespace kestravin {
namespace {

// The report of a whole run, as the program writes it: year 0, then a block per year.
std::string engineReport(const SimParams& p, std::uint32_t seed) {
  Simulation run(p, seed);
  std::string report = formatReportBlock(run.team(), p.startYear);
  while (run.end() == RunEnd::kNone) {
    run.advance();
    report.append(formatReportBlock(run.team(), p.startYear));
  }
  return report;
}

literal::Params toLiteral(const SimParams& p) {
  return {p.mutation,    p.mutationDiv, p.teamSize,    p.ageStart,    p.ageDeath,
          p.ageDeathDiv, p.fitDeath,    p.fitDeathDiv, p.birthChance, p.birthChanceDiv,
          p.maxGen,      p.startYear,   p.maxPop,      p.fitString};
}

TEST(LiteralComparison, ReportsAreByteIdentical) {
  struct Case {
    SimParams params;
    std::uint32_t seed;
  };
  std::vector<Case> cases;
  SimParams base;
  base.mutation = 10;
  base.mutationDiv = 100;
  base.teamSize = 30;
  base.ageStart = 5;
  base.ageDeath = 10;
  base.ageDeathDiv = 100;
  base.fitDeath = 30;
  base.fitDeathDiv = 100;
  base.birthChance = 80;
  base.birthChanceDiv = 100;
  base.maxGen = 300;
  base.startYear = 2000;
  base.maxPop = 120;
  base.fitString = "evolution";
  for (std::uint32_t seed : {1u, 2u, 3u}) cases.push_back({base, seed});
  SimParams harsh = base;  // dies out
  harsh.fitDeath = 90;
  harsh.ageStart = 1;
  harsh.ageDeath = 40;
  cases.push_back({harsh, 4});
  SimParams wide = base;  // long string with every kind of character, frequent mutation
  wide.fitString = std::string("Th\xE9 quick brown fox jumps over the lazy dog! 0123456789") +
                   std::string(100, '~');
  wide.mutation = 60;
  wide.teamSize = 60;
  wide.maxPop = 200;
  wide.maxGen = 80;
  cases.push_back({wide, 5});
  SimParams tiny = base;  // one gene, easy to match; negative and odd parameters
  tiny.fitString.assign(1, 'Q');
  tiny.teamSize = 3;
  tiny.ageStart = 0;
  tiny.startYear = -50;
  cases.push_back({tiny, 6});
  SimParams capped = base;  // always at the cap: no births after the founders
  capped.maxPop = -1;
  capped.maxGen = 40;
  cases.push_back({capped, 7});
  // Divisors far from powers of two: many generator values are rejected and drawn again,
  // inside runs of draws that are otherwise read ahead.
  SimParams rejecting = base;
  rejecting.birthChanceDiv = 40000;
  rejecting.birthChance = 30000;
  rejecting.ageDeathDiv = 50000;
  rejecting.ageDeath = 5000;
  rejecting.fitDeathDiv = 33000;
  rejecting.fitDeath = 9000;
  rejecting.mutationDiv = 65535;
  rejecting.mutation = 20000;
  cases.push_back({rejecting, 8});
  SimParams large = base;  // thousands of players: every position in the generator's rounds
  large.teamSize = 3000;
  large.maxPop = 4000;
  large.maxGen = 40;
  cases.push_back({large, 9});

  for (const auto& c : cases) {
    const std::string expected = literal::Model::wholeReport(toLiteral(c.params), c.seed);
    const std::string actual = engineReport(c.params, c.seed);
    ASSERT_GT(expected.size(), 500u);
    ASSERT_EQ(actual.size(), expected.size()) << "seed " << c.seed;
    ASSERT_TRUE(actual == expected) << "seed " << c.seed;
  }
}

}  // namespace
}  // namespace kestravin
