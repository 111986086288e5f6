#include "config/parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/option_fields.h"

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(FieldNumber, WholeNumbersNotFourCharacters) {
  EXPECT_EQ(parseFieldNumber(""), 0);
  EXPECT_EQ(parseFieldNumber("abc"), 0);
  EXPECT_EQ(parseFieldNumber("0042"), 42);
  EXPECT_EQ(parseFieldNumber("10000"), 10000);
  EXPECT_EQ(parseFieldNumber("  -5"), -5);
  EXPECT_EQ(parseFieldNumber("-1234"), -1234);
  EXPECT_EQ(parseFieldNumber("12abc"), 12);
  EXPECT_EQ(parseFieldNumber("2147483647"), 2147483647);
  EXPECT_EQ(parseFieldNumber("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseFieldNumber("2147483648"), std::nullopt);
  EXPECT_EQ(parseFieldNumber("99999999999999999999999"), std::nullopt);
}

TEST(OptionFields, RoundTripAndEmptyFitString) {
  SimParams p = defaultParams();
  p.mutation = -5;
  p.maxGen = 10000;
  p.startYear = -1000000000;
  const FieldReading back = fieldsToParams(paramsToFields(p));
  EXPECT_EQ(back.params, p);
  EXPECT_THAT(back.problems, IsEmpty());

  OptionFields fields = paramsToFields(p);
  fields.fitString.clear();
  fields.numbers[10] = "5000000000";
  const FieldReading r = fieldsToParams(fields);
  EXPECT_EQ(r.params.fitString.size(), 10u);
  EXPECT_EQ(r.params.maxGen, 0);
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].text, "Max Gen: 5000000000 is not a whole number of 32 bits");
}

TEST(CheckParams, EveryProblemListedWithItsRange) {
  SimParams p = defaultParams();
  EXPECT_THAT(checkParams(p), IsEmpty());  // an empty team needs no divisors
  p.teamSize = 5;
  p.maxGen = 2000000;
  p.mutationDiv = 1;
  p.ageDeathDiv = 65535;
  p.fitDeathDiv = 65536;
  p.birthChanceDiv = 0;
  p.startYear = 1000000001;
  p.maxPop = 1000001;
  p.fitString = std::string(256, 'x');
  EXPECT_THAT(
      checkParams(p),
      ElementsAre("Fit Death Div: 65536 is outside 1..65535 (needed while the team is not empty)",
                  "Birth Chance Div: 0 is outside 1..65535 (needed while the team is not empty)",
                  "Max Gen: 2000000 is outside 0..1000000",
                  "Start Year: 1000000001 is outside -1000000000..1000000000",
                  "Max Pop: 1000001 is outside ...1000000",
                  "FitString: 256 characters is outside 1..255 characters"));
  const SimParams fixed = clampParams(p);
  EXPECT_THAT(checkParams(fixed), IsEmpty());
  EXPECT_EQ(fixed.fitDeathDiv, 65535);
  EXPECT_EQ(fixed.birthChanceDiv, 1);
  EXPECT_EQ(fixed.maxGen, 1000000);
  EXPECT_EQ(fixed.fitString.size(), 255u);
  p.teamSize = -1;
  EXPECT_EQ(checkParams(p).front(), "Team Size: -1 is outside 0..1000000");
}

}  // namespace
}  // namespace kestravin
