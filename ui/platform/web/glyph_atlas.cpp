#include "ui/platform/web/glyph_atlas.h"

namespace kestravin::platform::web {

namespace {
// kGlyphs[256] and kBits[], written by kestravin-glyph-atlas.
#include "ui/platform/web/glyph_atlas_data.inc"
}  // namespace

const GlyphAtlas& GlyphAtlas::builtIn() {
  static const GlyphAtlas atlas(kGlyphs, kBits);
  return atlas;
}

std::int64_t GlyphAtlas::advanceAfter(std::int64_t advance64, unsigned char code) const {
  if (code != '\t') return advance64 + glyph(code).advance64;
  constexpr std::int64_t stop = std::int64_t{kTabStop} * 64;
  return (advance64 / stop + 1) * stop;
}

std::int64_t GlyphAtlas::advance64(std::string_view text) const {
  std::int64_t total = 0;
  for (const char c : text) total = advanceAfter(total, static_cast<unsigned char>(c));
  return total;
}

int GlyphAtlas::penPixel(int left, std::int64_t advance64) {
  // Rounded down, also left of 0.
  const std::int64_t pen = std::int64_t{left} * 64 + advance64;
  return static_cast<int>(pen >= 0 ? pen / 64 : -((-pen + 63) / 64));
}

}  // namespace kestravin::platform::web
