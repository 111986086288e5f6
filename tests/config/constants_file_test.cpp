#include "config/constants_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kestravin {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

ConstantsReading read(const std::string& text) {
  std::istringstream in(text);
  return readConstants(in);
}

TEST(ConstantsFile, FourteenValuesWithAnyLabels) {
  const auto r = read("a 1 b 2\tc 3\n d -4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m +13\r\nn xy");
  EXPECT_THAT(r.problems, IsEmpty());
  const SimParams& p = r.params;
  EXPECT_EQ(p.mutation, 1);
  EXPECT_EQ(p.ageStart, -4);
  EXPECT_EQ(p.birthChanceDiv, 10);
  EXPECT_EQ(p.maxPop, 13);
  EXPECT_EQ(p.fitString, "xy");
}

TEST(ConstantsFile, FiveDigitValueIsReadWhole) {
  const auto r = read("a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 MaxGen 10000 l 12 m 13 n z");
  EXPECT_EQ(r.params.maxGen, 10000);
}

TEST(ConstantsFile, UnreadableNumberKeepsZeroAndShiftsTheRest) {
  const auto r = read("a 1 b x c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n z");
  // "x" becomes the label of entry 3, "c" fails as entry 3's number, and so on.
  EXPECT_EQ(r.params.mutationDiv, 0);
  ASSERT_FALSE(r.problems.empty());
  EXPECT_THAT(r.problems[0], HasSubstr("Entry 2 (Mutation Div:): \"x\" is not a number"));
}

TEST(ConstantsFile, TooLargeNumberIsReportedNotUndefined) {
  const auto r = read("a 1 b 99999999999 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n z");
  EXPECT_EQ(r.params.mutationDiv, 0);
  EXPECT_EQ(r.params.teamSize, 3);  // the digits are used up: nothing shifts
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_THAT(r.problems[0], HasSubstr("99999999999 does not fit 32 bits"));
}

TEST(ConstantsFile, EarlyEndAndLongFitString) {
  const auto early = read("a 1 b 2 c 3");
  EXPECT_EQ(early.params.teamSize, 3);
  EXPECT_EQ(early.params.fitString, "00000000000000000000");
  ASSERT_EQ(early.problems.size(), 1u);
  EXPECT_THAT(early.problems[0], HasSubstr("ends before entry 4"));

  const auto noString = read("a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n");
  EXPECT_EQ(noString.params.fitString, "00000000000000000000");
  EXPECT_THAT(noString.problems[0], HasSubstr("ends before entry 14"));

  const auto tooLong =
      read("a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n " + std::string(300, 'q'));
  EXPECT_EQ(tooLong.params.fitString, "00000000000000000000");
  EXPECT_THAT(tooLong.problems[0], HasSubstr("300 characters, more than 255"));

  const auto longest = read("a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n " +
                            std::string(255, 'q') + " " + std::string(100000, 'L'));
  EXPECT_EQ(longest.params.fitString.size(), 255u);
  EXPECT_THAT(longest.problems, IsEmpty());
}

// The fitness string is a C text that ends at its first NUL; the cut is reported.
TEST(ConstantsFile, FitStringCutAtANulIsReported) {
  const std::string head = "a 1 b 2 c 3 d 4 e 5 f 6 g 7 h 8 i 9 j 10 k 11 l 12 m 13 n ";
  const auto cut = read(head + std::string("ab\0cd", 5));
  EXPECT_EQ(cut.params.fitString, "ab");
  ASSERT_EQ(cut.problems.size(), 1u);
  EXPECT_EQ(cut.problems[0], "FitString: cut at a NUL byte after 2 characters");

  const auto empty = read(head + std::string("\0cd", 3));
  EXPECT_EQ(empty.params.fitString, "00000000000000000000");
  ASSERT_EQ(empty.problems.size(), 1u);
  EXPECT_EQ(empty.problems[0],
            "FitString: cut at a NUL byte after 0 characters; the default fitness string is used");
}

TEST(ConstantsFile, MissingFileGivesTheDefaults) {
  const auto r = readConstants("/nonexistent/consts.txt");
  EXPECT_FALSE(r.opened);
  EXPECT_EQ(r.params.startYear, 888);
  EXPECT_EQ(r.params.teamSize, 0);
  EXPECT_EQ(r.params.fitString, "00000000000000000000");
  EXPECT_FALSE(readConstants("/").opened);  // a folder is not a file
}

TEST(ConstantsFile, ShippedFileIsUsable) {
  const auto r = readConstants(KESTRAVIN_SHIPPED_CONSTS);
  ASSERT_TRUE(r.opened);
  EXPECT_THAT(r.problems, IsEmpty());
  EXPECT_THAT(checkParams(r.params), IsEmpty());
  EXPECT_GT(r.params.teamSize, 0);
  EXPECT_GE(r.params.fitString.size(), 10u);
  EXPECT_LE(r.params.fitString.size(), 20u);
}

// A written file reads back as the same parameters, extreme values and odd characters
// included, and the shipped file is exactly such a file.
TEST(ConstantsFile, WrittenFileReadsBackUnchanged) {
  SimParams p = defaultParams();
  p.mutation = -2147483647 - 1;
  p.mutationDiv = 65535;
  p.maxGen = 1000000;
  p.startYear = -1000000000;
  p.maxPop = 2147483647;
  p.fitString = "a,b\"<&>\x7f\xe9";
  const auto r = read(formatConstants(p));
  EXPECT_THAT(r.problems, IsEmpty());
  EXPECT_EQ(r.params, p);
  EXPECT_THAT(formatConstants(p), HasSubstr("\nMutationDiv: 65535\nTeamSize: 0\n"));

  std::ifstream shipped(KESTRAVIN_SHIPPED_CONSTS, std::ios::binary);
  std::stringstream text;
  text << shipped.rdbuf();
  EXPECT_EQ(formatConstants(readConstants(KESTRAVIN_SHIPPED_CONSTS).params), text.str());
}

}  // namespace
}  // namespace kestravin
