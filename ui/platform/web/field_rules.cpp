#include "ui/platform/web/field_rules.h"

#include <algorithm>

namespace kestravin::platform::web {

bool fieldTakes(std::string_view inserted, std::string_view result, bool digitsOnly, int width,
                const GlyphAtlas& atlas) {
  if (digitsOnly &&
      !std::all_of(inserted.begin(), inserted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  // The text's width in whole pixels, rounded as the desktop's font metrics round it.
  const std::int64_t pixels = (atlas.advance64(result) + 32) / 64;
  return pixels <= fieldTextWidth(width);
}

}  // namespace kestravin::platform::web
