// The web backend's list rows and field rules, natively: long lists scroll to every row, and
// the fields stop taking text where the desktop's stop.
#include <gtest/gtest.h>

#include <string>

#include "ui/platform/web/field_rules.h"
#include "ui/platform/web/list_rows.h"
#include "ui/test_platform.h"

namespace kestravin {
namespace {

using platform::web::fieldTakes;
using platform::web::GlyphAtlas;
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

// Typed at the end of a field of this backend until it refuses; the characters taken.
int typedUntilFull(platform::EditField& field, char c) {
  field.setText("");
  int taken = 0;
  while (taken < 300 && platform::testing::type(field, c)) ++taken;
  return taken;
}

int takenUntilFull(int width, bool digitsOnly, char c) {
  std::string text;
  while (text.size() < 300 &&
         fieldTakes(std::string(1, c), text + c, digitsOnly, width, GlyphAtlas::builtIn())) {
    text += c;
  }
  return static_cast<int>(text.size());
}

TEST(WebFields, StopWhereTheDesktopsFieldsStop) {
  auto& platform = test::testPlatform();
  platform.registerClass("FIELDTESTCLASS");
  platform::WindowSpec spec{"FIELDTESTCLASS", "Fields", platform::WindowKind::kCaptionOnly,
                            {0, 0, 400, 100}, nullptr,  nullptr};
  const auto window = platform.createWindow(spec);
  ASSERT_TRUE(window);
  const auto font = platform.createFont({"Arial", 17});
  auto& number = window->addEditField({{0, 0, 55, 17}, 1, true});
  auto& text = window->addEditField({{0, 20, 250, 17}, 2, false});
  number.setFont(*font);
  text.setFont(*font);
  for (const char c : {'0', '1', '8'}) {
    EXPECT_EQ(takenUntilFull(55, true, c), typedUntilFull(number, c)) << c;
  }
  for (const char c : {'W', 'i', 'm', '.', '\xE9'}) {
    EXPECT_EQ(takenUntilFull(250, false, c), typedUntilFull(text, c)) << c;
  }
  EXPECT_FALSE(fieldTakes("7a", "7a", true, 55, GlyphAtlas::builtIn()));
  EXPECT_FALSE(fieldTakes("-", "-5", true, 55, GlyphAtlas::builtIn()));
  EXPECT_TRUE(fieldTakes("", "12", true, 55, GlyphAtlas::builtIn())) << "a deletion";
}

}  // namespace
}  // namespace kestravin
