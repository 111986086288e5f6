#include "ui/platform/web/list_rows.h"

#include <algorithm>

namespace kestravin::platform::web {

void RowStore::insert(std::size_t index, std::string_view text) {
  index = std::min(index, rows_.size());
  const Row row{chars_.size(), static_cast<std::uint32_t>(text.size()), 0};
  chars_.append(text);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), row);
}

bool RowStore::erase(std::size_t index) {
  if (index >= rows_.size()) return false;
  unused_ += rows_[index].length;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  if (rows_.empty()) {
    clear();
  } else if (unused_ > chars_.size() / 2) {
    // Most of the block belongs to removed rows: the rest moves together.
    std::string kept;
    kept.reserve(chars_.size() - unused_);
    for (Row& row : rows_) {
      const std::size_t start = kept.size();
      kept.append(chars_, row.start, row.length);
      row.start = start;
    }
    chars_ = std::move(kept);
    unused_ = 0;
  }
  return true;
}

void RowStore::clear() {
  chars_.clear();
  rows_.clear();
  unused_ = 0;
}

std::string_view RowStore::text(std::size_t index) const {
  if (index >= rows_.size()) return {};
  return std::string_view(chars_).substr(rows_[index].start, rows_[index].length);
}

void RowStore::setData(std::size_t index, std::int32_t data) {
  if (index < rows_.size()) rows_[index].data = data;
}

std::int32_t RowStore::data(std::size_t index) const {
  return index < rows_.size() ? rows_[index].data : -1;
}

namespace {

// The height of all rows in pixels, and the part of it the view cannot show at once.
struct Heights {
  std::int64_t content;
  std::int64_t beyondView;    // content - view, at least 0
  std::int64_t scrollBeyond;  // the same for the scrolled height
};

Heights heights(std::size_t rows, int rowHeight, int viewHeight) {
  const std::int64_t content = static_cast<std::int64_t>(rows) * rowHeight;
  const std::int64_t scroll = std::min<std::int64_t>(content, kMaxScrollHeight);
  return {content, std::max<std::int64_t>(content - viewHeight, 0),
          std::max<std::int64_t>(scroll - viewHeight, 0)};
}

// The content's pixel at the view's top for a scroll position, and back.
std::int64_t contentTop(const Heights& h, int scrollTop) {
  const std::int64_t top = std::clamp<std::int64_t>(scrollTop, 0, h.scrollBeyond);
  if (h.scrollBeyond == h.beyondView || h.scrollBeyond == 0) return top;
  return top * h.beyondView / h.scrollBeyond;
}

int scrollTopOf(const Heights& h, std::int64_t content) {
  if (h.scrollBeyond == h.beyondView || h.beyondView == 0) return static_cast<int>(content);
  // Rounded up, so that the position maps back to at least this content pixel.
  return static_cast<int>((content * h.scrollBeyond + h.beyondView - 1) / h.beyondView);
}

}  // namespace

ListLayout layoutRows(std::size_t rows, int rowHeight, int viewHeight, int scrollTop) {
  ListLayout layout;
  if (rowHeight <= 0) return layout;
  const Heights h = heights(rows, rowHeight, viewHeight);
  layout.scrollHeight = static_cast<int>(std::min<std::int64_t>(h.content, kMaxScrollHeight));
  if (rows == 0) return layout;
  const std::int64_t top = contentTop(h, scrollTop);
  layout.first = static_cast<std::size_t>(top / rowHeight);
  layout.offset = static_cast<int>(top % rowHeight);
  const std::int64_t shown = (layout.offset + viewHeight + rowHeight - 1) / rowHeight;
  layout.count = static_cast<int>(
      std::min<std::int64_t>(shown, static_cast<std::int64_t>(rows - layout.first)));
  return layout;
}

int scrollToShow(std::size_t rows, int rowHeight, int viewHeight, int scrollTop, std::size_t row) {
  if (rowHeight <= 0 || row >= rows) return scrollTop;
  const Heights h = heights(rows, rowHeight, viewHeight);
  const std::int64_t top = contentTop(h, scrollTop);
  const std::int64_t rowTop = static_cast<std::int64_t>(row) * rowHeight;
  if (rowTop < top) return scrollTopOf(h, rowTop);
  if (rowTop + rowHeight > top + viewHeight) {
    return scrollTopOf(h, std::min(rowTop + rowHeight - viewHeight, h.beyondView));
  }
  return scrollTop;
}

}  // namespace kestravin::platform::web
