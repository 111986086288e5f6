#include "config/parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/option_fields.h"

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(FieldNumber, TheWholeTextIsANumberOrSaysWhatItIs) {
  using Kind = FieldNumber::Kind;
  const auto number = [](std::int32_t v) { return FieldNumber{Kind::kNumber, v}; };
  EXPECT_EQ(parseFieldNumber(""), FieldNumber{Kind::kEmpty});
  EXPECT_EQ(parseFieldNumber("  "), FieldNumber{Kind::kEmpty});
  EXPECT_EQ(parseFieldNumber("q"), FieldNumber{Kind::kNotANumber});
  EXPECT_EQ(parseFieldNumber("12abc"), FieldNumber{Kind::kNotANumber});
  EXPECT_EQ(parseFieldNumber("1 2"), FieldNumber{Kind::kNotANumber});
  EXPECT_EQ(parseFieldNumber("-"), FieldNumber{Kind::kNotANumber});
  EXPECT_EQ(parseFieldNumber("."), FieldNumber{Kind::kNotANumber});
  EXPECT_EQ(parseFieldNumber("0042"), number(42));
  EXPECT_EQ(parseFieldNumber("1000000"), number(1000000));
  EXPECT_EQ(parseFieldNumber(" -5 "), number(-5));
  EXPECT_EQ(parseFieldNumber("+7"), number(7));
  EXPECT_EQ(parseFieldNumber("2147483647"), number(2147483647));
  EXPECT_EQ(parseFieldNumber("-2147483648"), number(-2147483647 - 1));
  EXPECT_EQ(parseFieldNumber("2147483648"), FieldNumber{Kind::kTooLarge});
  EXPECT_EQ(parseFieldNumber("99999999999999999999999"), FieldNumber{Kind::kTooLarge});
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
  const FieldReading r = fieldsToParams(fields);
  EXPECT_EQ(r.params.fitString.size(), 10u);
}

std::vector<std::string> texts(const std::vector<ParamProblem>& problems) {
  std::vector<std::string> out;
  for (const auto& p : problems) out.push_back(p.text);
  return out;
}

TEST(OptionFields, ProblemsNameTheFieldsAsTheWindowShowsThem) {
  SimParams p = defaultParams();
  p.teamSize = 10;
  p.mutationDiv = p.ageDeathDiv = p.fitDeathDiv = p.birthChanceDiv = 100;
  OptionFields fields = paramsToFields(p);
  // Whole strings are moved in: GCC 12 warns wrongly of overlaps when a literal is assigned.
  fields.numbers[3] = std::string();               // ageStart
  fields.numbers[1] = std::string("q");            // mutationDiv: not read, nor reported as 0
  fields.numbers[0] = std::string("99999999999");  // mutation: eleven digits, beyond 32 bits
  fields.numbers[9] = std::string("0");            // birthChanceDiv
  fields.numbers[10] = std::string("2000000");     // maxGen
  fields.numbers[12] = std::string("1000001");     // maxPop
  EXPECT_THAT(texts(readFields(fields).problems),
              ElementsAre("Mutation: 99999999999 is outside -2147483648..2147483647",
                          "Mutation, second field: not a number", "Age Start: empty",
                          "Birth Chance, second field: 0 is outside 1..65535 (needed while the "
                          "team is not empty)",
                          "Max Gen: 2000000 is outside 0..1000000",
                          "Max Pop: 1000001 is more than 1000000"));
}

TEST(OptionFields, EveryLimitFitsItsField) {
  // The widest value each parameter can take is what its field must hold.
  EXPECT_EQ(fieldChars(kIntParams[2]), 7u);    // teamSize: 1000000
  EXPECT_EQ(fieldChars(kIntParams[11]), 11u);  // startYear: -1000000000
  EXPECT_EQ(fieldChars(kIntParams[1]), 5u);    // mutationDiv: 65535
  EXPECT_EQ(fieldChars(kIntParams[0]), 11u);   // mutation: -2147483648
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
