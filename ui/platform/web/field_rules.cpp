#include "ui/platform/web/field_rules.h"

#include <algorithm>

namespace kestravin::platform::web {

bool fieldTakes(std::string_view inserted, std::string_view result, bool digitsOnly, int maxChars) {
  if (digitsOnly &&
      !std::all_of(inserted.begin(), inserted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return maxChars <= 0 || result.size() <= static_cast<std::size_t>(maxChars);
}

}  // namespace kestravin::platform::web
