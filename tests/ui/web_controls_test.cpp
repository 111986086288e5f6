// The web backend's list rows and field rules, natively: long lists scroll to every row, and
// the fields take what the desktop's take.
#include <gtest/gtest.h>

#include <string>

#include "ui/platform/web/field_rules.h"
#include "ui/platform/web/list_rows.h"

namespace kestravin {
namespace {

using platform::web::fieldKeeps;
using platform::web::layoutRows;
using platform::web::RowStore;
using platform::web::scrollToShow;

TEST(WebListRows, InsertEraseAndDataKeepEachRowsText) {
  RowStore rows;
  rows.insert(0, "b");
  rows.insert(0, "a");
  rows.insert(2, "d");
  rows.insert(2, "c");
  rows.insert(99, "e");  // past the end: appended
  rows.setData(4, 44);
  ASSERT_EQ(rows.size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(rows.text(k), std::string(1, char('a' + k)));
  EXPECT_EQ(rows.data(4), 44);
  EXPECT_EQ(rows.data(0), 0);
  EXPECT_EQ(rows.data(5), -1);
  EXPECT_EQ(rows.text(5), "");
  EXPECT_FALSE(rows.erase(5));

  // Removing most rows one by one packs the rest, which keep their texts and data.
  RowStore many;
  for (int k = 0; k < 1000; ++k) {
    many.insert(many.size(), "row " + std::to_string(k));
    many.setData(many.size() - 1, k);
  }
  for (int k = 0; k < 900; ++k) ASSERT_TRUE(many.erase(k % 7 == 0 ? many.size() - 1 : 0));
  for (std::size_t k = 0; k < many.size(); ++k) {
    EXPECT_EQ(many.text(k), "row " + std::to_string(many.data(k)));
    if (k > 0) {
      EXPECT_LT(many.data(k - 1), many.data(k));
    }
  }
}

TEST(WebListRows, EveryRowOfAMillionCanBeScrolledIntoViewWhole) {
  constexpr int kRow = 18;
  constexpr int kView = 98;
  // A short list scrolls over its own height, pixel for pixel.
  const auto shortList = layoutRows(100, kRow, kView, 40);
  EXPECT_EQ(shortList.scrollHeight, 1800);
  EXPECT_EQ(shortList.first, 2u);
  EXPECT_EQ(shortList.offset, 4);
  EXPECT_EQ(shortList.count, 6);
  EXPECT_EQ(layoutRows(0, kRow, kView, 0).count, 0);
  EXPECT_EQ(layoutRows(3, kRow, kView, 500).count, 3) << "a position past the end";

  // A million rows scroll over a bounded height; wherever a row is, revealing it shows it.
  constexpr std::size_t kRows = 1'000'000;
  EXPECT_EQ(layoutRows(kRows, kRow, kView, 0).scrollHeight, platform::web::kMaxScrollHeight);
  const int bottom = platform::web::kMaxScrollHeight - kView;
  const auto last = layoutRows(kRows, kRow, kView, bottom);
  EXPECT_EQ(last.first + static_cast<std::size_t>(last.count), kRows) << "the last row shows";
  int scroll = 0;
  for (std::size_t row : {kRows - 1, std::size_t{0}, std::size_t{123457}, std::size_t{999000},
                          std::size_t{999001}, std::size_t{6}, std::size_t{5}}) {
    scroll = scrollToShow(kRows, kRow, kView, scroll, row);
    const auto shown = layoutRows(kRows, kRow, kView, scroll);
    const auto top = static_cast<long long>(row - shown.first) * kRow - shown.offset;
    EXPECT_GE(top, 0) << "row " << row;
    EXPECT_LE(top + kRow, kView) << "row " << row;
    EXPECT_EQ(scrollToShow(kRows, kRow, kView, scroll, row), scroll) << "already in view";
  }
}

TEST(WebFields, KeepWhatTheDesktopsFieldsKeep) {
  EXPECT_EQ(fieldKeeps("7", 6, 7, true, 7), 1);
  EXPECT_EQ(fieldKeeps("8", 7, 8, true, 7), -1) << "a full field";
  EXPECT_EQ(fieldKeeps("123456789", 1, 9, true, 7), 7) << "a paste over the text, cut to fit";
  EXPECT_EQ(fieldKeeps("7a", 0, 2, true, 7), -1);
  EXPECT_EQ(fieldKeeps("-", 1, 2, true, 11), -1) << "the user gives no sign";
  EXPECT_EQ(fieldKeeps("", 3, 2, true, 7), 0) << "a deletion";
  EXPECT_EQ(fieldKeeps("", 12, 11, true, 7), 0) << "a deletion from a text the program made longer";
  EXPECT_EQ(fieldKeeps("-\xE9", 0, 2, false, 255), 2);
  EXPECT_EQ(fieldKeeps("x", 299, 300, false, 0), 1) << "no limit";
}

}  // namespace
}  // namespace kestravin
