#include "experiment/plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> valuesOf(const std::string& text) {
  std::string error;
  const auto vary = parseVariation(text, error);
  EXPECT_TRUE(vary) << text << ": " << error;
  return vary ? vary->values : std::vector<std::string>{};
}

std::string errorOf(const std::string& text) {
  std::string error;
  EXPECT_FALSE(parseVariation(text, error)) << text;
  return error;
}

TEST(Variation, ListsAndRangesOfEveryShape) {
  EXPECT_THAT(valuesOf("mutation=0,5,10,20"), ElementsAre("0", "5", "10", "20"));
  EXPECT_THAT(valuesOf("maxPop=100:500:100"), ElementsAre("100", "200", "300", "400", "500"));
  EXPECT_THAT(valuesOf("maxPop=1:3"), ElementsAre("1", "2", "3"));
  EXPECT_THAT(valuesOf("ageStart=10:1:-4"), ElementsAre("10", "6", "2"));
  EXPECT_THAT(valuesOf("startYear=-5,+7,0:8:5"), ElementsAre("-5", "7", "0", "5"));
  EXPECT_THAT(valuesOf("fitString=HELLO,a:b,x"), ElementsAre("HELLO", "a:b", "x"));
  EXPECT_THAT(valuesOf("mutation=2147483647,-2147483648"),
              ElementsAre("2147483647", "-2147483648"));
  std::string error;
  EXPECT_EQ(parseVariation("birthChanceDiv=7", error)->param, 9);
  EXPECT_EQ(parseVariation("fitString=z", error)->param, kFitStringParam);
}

TEST(Variation, MalformedInputIsNamed) {
  EXPECT_THAT(errorOf("mutation"), HasSubstr("needs NAME=VALUES"));
  EXPECT_THAT(errorOf("mutaton=1"), HasSubstr("unknown parameter 'mutaton'"));
  EXPECT_THAT(errorOf("Mutation=1"), HasSubstr("unknown parameter"));
  EXPECT_THAT(errorOf("mutation="), HasSubstr("no values"));
  EXPECT_THAT(errorOf("mutation=1,,2"), HasSubstr("an empty value"));
  EXPECT_THAT(errorOf("mutation=1,"), HasSubstr("an empty value"));
  EXPECT_THAT(errorOf("mutation=ten"), HasSubstr("'ten' in 'ten' is not a whole number"));
  EXPECT_THAT(errorOf("mutation=2147483648"), HasSubstr("not a whole number"));
  EXPECT_THAT(errorOf("mutation=1.5"), HasSubstr("not a whole number"));
  EXPECT_THAT(errorOf("mutation=+-1"), HasSubstr("not a whole number"));
  EXPECT_THAT(errorOf("mutation=1:"), HasSubstr("'' in '1:' is not a whole number"));
  EXPECT_THAT(errorOf("mutation=1:2:3:4"), HasSubstr("is not a range"));
  EXPECT_THAT(errorOf("mutation=1:5:0"), HasSubstr("empty (a step of 0)"));
  EXPECT_THAT(errorOf("mutation=5:1"), HasSubstr("'5:1' is empty"));
  EXPECT_THAT(errorOf("mutation=0:100000"), HasSubstr("has 100001 values"));
  EXPECT_THAT(errorOf("fitString=a\tb"), HasSubstr("holds white space"));
}

TEST(ParamSets, ProductWithTheFirstVariationSlowest) {
  std::string error;
  const std::vector<Variation> vary = {*parseVariation("mutation=1,2", error),
                                       *parseVariation("fitString=A,B,C", error)};
  SimParams base = defaultParams();
  base.maxPop = 77;
  const auto sets = makeSets(base, vary);
  ASSERT_EQ(sets.size(), 6u);
  EXPECT_EQ(sets[0].params.mutation, 1);
  EXPECT_EQ(sets[0].params.fitString, "A");
  EXPECT_EQ(sets[2].params.fitString, "C");
  EXPECT_EQ(sets[3].params.mutation, 2);
  EXPECT_EQ(sets[3].params.fitString, "A");
  EXPECT_EQ(sets[5].params.maxPop, 77);
  EXPECT_EQ(describeSet(vary, sets[4]), "mutation=2 fitString=B");
  EXPECT_THAT(sets[4].varied, ElementsAre("2", "B"));
  // Nothing varied: the base alone.
  const auto one = makeSets(base, {});
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].params, base);
  EXPECT_EQ(describeSet({}, one[0]), "");
}

TEST(ParamSets, EveryProblemIsListedWithItsSet) {
  std::string error;
  const std::vector<Variation> vary = {*parseVariation("mutationDiv=0,100", error),
                                       *parseVariation("maxGen=5,-1", error)};
  SimParams base = defaultParams();
  base.teamSize = 10;
  base.ageDeathDiv = base.fitDeathDiv = base.birthChanceDiv = 100;
  const auto problems = findSetProblems(vary, makeSets(base, vary));
  EXPECT_THAT(problems,
              ElementsAre("set 0 (mutationDiv=0 maxGen=5): Mutation Div: 0 is outside 1..65535 "
                          "(needed while the team is not empty)",
                          HasSubstr("set 1 (mutationDiv=0 maxGen=-1): Mutation Div: 0"),
                          "set 1 (mutationDiv=0 maxGen=-1): Max Gen: -1 is outside 0..1000000",
                          "set 3 (mutationDiv=100 maxGen=-1): Max Gen: -1 is outside 0..1000000"));
}

TEST(Plan, RunsBelongToSetsInOrderAndSeedsWrap) {
  Plan plan;
  plan.sets.resize(3);
  plan.runsPerSet = 4;
  plan.seed = 4294967294u;
  EXPECT_EQ(plan.totalRuns(), 12);
  EXPECT_EQ(plan.setOf(3), 0);
  EXPECT_EQ(plan.setOf(4), 1);
  EXPECT_EQ(plan.setOf(11), 2);
  EXPECT_EQ(plan.seedOf(0), 4294967294u);
  EXPECT_EQ(plan.seedOf(1), 4294967295u);
  EXPECT_EQ(plan.seedOf(2), 0u);
  EXPECT_EQ(plan.seedOf(11), 9u);
}

}  // namespace
}  // namespace kestravin
