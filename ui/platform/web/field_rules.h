#pragma once

#include <string_view>

#include "ui/platform/web/glyph_atlas.h"

namespace kestravin::platform::web {

/// Whether an edit field of `width` pixels (border included) takes what the user typed or
/// pasted: `inserted` at the caret, which makes its text `result`. A number field takes
/// digits only; and as the fields do not scroll, the result must fit inside the field's
/// border and text margins in the program's font.
bool fieldTakes(std::string_view inserted, std::string_view result, bool digitsOnly, int width,
                const GlyphAtlas& atlas);

/// The width inside a field's one-pixel border and two-pixel text margins.
constexpr int fieldTextWidth(int width) {
  return width - 2 - 2 * 2;
}

}  // namespace kestravin::platform::web
