#include "ui/platform/web/field_rules.h"

#include <algorithm>

namespace kestravin::platform::web {

int fieldKeeps(std::string_view inserted, std::size_t before, std::size_t result, bool digitsOnly,
               int maxChars) {
  if (digitsOnly &&
      !std::all_of(inserted.begin(), inserted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return -1;
  }
  const auto size = static_cast<int>(inserted.size());
  if (maxChars <= 0) return size;
  const std::size_t limit = std::max(static_cast<std::size_t>(maxChars), before);
  const std::size_t over = result > limit ? result - limit : 0;
  if (over == 0) return size;
  // Nothing of it fits: the text stays as it was.
  return over >= inserted.size() ? -1 : size - static_cast<int>(over);
}

}  // namespace kestravin::platform::web
