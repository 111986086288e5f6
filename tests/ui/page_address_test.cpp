// The web page's address: the seed and parameters it fixes, and links that give them back.
#include "ui/page_address.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestravin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

SimParams base() {
  SimParams params = defaultParams();
  params.teamSize = 200;
  params.fitString = "evolutionworks";
  return params;
}

TEST(PageAddress, SeedAndParametersReplaceOnlyWhatTheyName) {
  const ui::PageAddress none = ui::readPageAddress("", base());
  EXPECT_FALSE(none.seed);
  EXPECT_FALSE(none.params);
  EXPECT_TRUE(none.problems.empty());

  const ui::PageAddress seeded = ui::readPageAddress("seed=4294967295&reportLimit=20000", base());
  EXPECT_EQ(seeded.seed, 4294967295u);
  EXPECT_EQ(seeded.reportLimit, 20000u);
  EXPECT_FALSE(seeded.params) << "a seed alone keeps the built-in constants";

  const ui::PageAddress named =
      ui::readPageAddress("TeamSize=-7&MaxGen=%2B30&FitString=a+b%26c%3D&seed=0012", base());
  EXPECT_EQ(named.seed, 12u);
  ASSERT_TRUE(named.params);
  EXPECT_EQ(named.params->teamSize, -7) << "out of range is for the option fields to refuse";
  EXPECT_EQ(named.params->maxGen, 30);
  EXPECT_EQ(named.params->fitString, "a b&c=");
  EXPECT_EQ(named.params->mutation, base().mutation);
  EXPECT_TRUE(named.problems.empty());
}

TEST(PageAddress, EntriesThatCannotBeUsedAreNamedAndChangeNothing) {
  const ui::PageAddress bad = ui::readPageAddress(
      "seed=-1&seed=12x&seed=4294967296&TeamSize=2147483648&MaxPop=9%209&Colour=red&=5&"
      "reportLimit=0",
      base());
  EXPECT_FALSE(bad.seed);
  EXPECT_FALSE(bad.reportLimit);
  EXPECT_FALSE(bad.params) << "nothing usable was named";
  EXPECT_THAT(
      bad.problems,
      ElementsAre(HasSubstr("seed=-1"), HasSubstr("seed=12x"), HasSubstr("seed=4294967296"),
                  "TeamSize=2147483648: not a whole number of 32 bits",
                  "MaxPop=9 9: not a whole number of 32 bits",
                  "\"Colour\": the page knows no such entry", "\"\": the page knows no such entry",
                  "reportLimit=0: the limit is a number of bytes, 1 or more"));
}

TEST(PageAddress, FitnessStringsInUtf8OrInSingleBytes) {
  // Browsers send what the user typed in UTF-8; the program's texts are single-byte.
  EXPECT_EQ(ui::readPageAddress("FitString=w%C3%B6rld%C3%BF", base()).params->fitString,
            "w\xF6rld\xFF");
  // Bytes that are not UTF-8 stay as they are.
  EXPECT_EQ(ui::readPageAddress("FitString=w%F6rld", base()).params->fitString, "w\xF6rld");
  EXPECT_EQ(ui::readPageAddress("FitString=%E2%82%AC", base()).params->fitString, "\xE2\x82\xAC");
  EXPECT_EQ(ui::readPageAddress("FitString=%zz%4", base()).params->fitString, "%zz%4");
}

TEST(PageAddress, ALinkGivesItsRunBack) {
  SimParams params = base();
  params.mutation = -3;
  params.startYear = -999;
  params.maxPop = 1000000;
  for (const std::string fit : {"evolution works", "a&b=c%d+e?f#g", "\xF6\xFF\x01 ~", "x"}) {
    params.fitString = fit;
    const std::string query = ui::pageLinkQuery(3000000000u, params);
    EXPECT_EQ(query.find_first_of(" #?\x01\xF6"), std::string::npos) << query;
    const ui::PageAddress back = ui::readPageAddress(query, defaultParams());
    EXPECT_TRUE(back.problems.empty()) << query;
    EXPECT_EQ(back.seed, 3000000000u);
    ASSERT_TRUE(back.params);
    EXPECT_EQ(*back.params, params) << query;
  }
}

}  // namespace
}  // namespace kestravin
