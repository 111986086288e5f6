#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestravin::platform::web {

/// The rows of a list box: their texts end to end in one block, each with its data, so that
/// a list of a million players costs a few allocations rather than one per row.
class RowStore {
 public:
  std::size_t size() const { return rows_.size(); }
  /// Inserts a row at `index` (0..size()); the row's data is 0.
  void insert(std::size_t index, std::string_view text);
  /// Removes one row; false when there is no such row.
  bool erase(std::size_t index);
  void clear();
  /// The text of a row; empty for a row that does not exist.
  std::string_view text(std::size_t index) const;
  void setData(std::size_t index, std::int32_t data);
  /// The data of a row; -1 for a row that does not exist.
  std::int32_t data(std::size_t index) const;

 private:
  struct Row {
    std::size_t start;
    std::uint32_t length;
    std::int32_t data;
  };
  std::string chars_;
  std::size_t unused_ = 0;  // characters of removed rows still in chars_
  std::vector<Row> rows_;
};

/// The rows a list shows at a scroll position: the first, how many, and how far the first
/// lies above the view's top edge.
struct ListLayout {
  std::size_t first = 0;
  int count = 0;
  int offset = 0;
  int scrollHeight = 0;  // the height of everything the list scrolls over
};

/// Where a list of `rows` rows of `rowHeight` pixels, seen through `viewHeight` pixels and
/// scrolled to `scrollTop`, shows its rows. A list taller than kMaxScrollHeight scrolls over
/// that height only, which then stands for all its rows in proportion (browsers cannot lay
/// out the 17 million pixels of a million rows).
ListLayout layoutRows(std::size_t rows, int rowHeight, int viewHeight, int scrollTop);
/// The scroll position nearest to `scrollTop` at which row `row` shows whole.
int scrollToShow(std::size_t rows, int rowHeight, int viewHeight, int scrollTop, std::size_t row);
inline constexpr int kMaxScrollHeight = 4'000'000;

}  // namespace kestravin::platform::web
