#pragma once

#include <cstdint>
#include <string_view>

// The program's one font as pictures of its characters: each character code drawn alone by
// the desktop program in its font (Arial at cell height 17, without antialiasing or
// kerning), as a mask of the pixels it sets and the advance of the pen. Drawing a text glyph
// by glyph at the pen's whole pixel gives the desktop's pixels exactly.
namespace kestravin::platform::web {

/// One character: where its mask lies from the pen and the text's top, and how far the pen
/// then moves, in 64ths of a pixel.
struct GlyphImage {
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::uint8_t width = 0;
  std::uint8_t height = 0;
  std::int32_t advance64 = 0;
  std::uint32_t firstBit = 0;  // where the mask starts among the atlas's bits, row by row
};

/// The masks and advances of character codes 0..255.
class GlyphAtlas {
 public:
  static constexpr int kTabStop = 80;

  /// The atlas built into the program.
  static const GlyphAtlas& builtIn();

  GlyphAtlas(const GlyphImage* glyphs, const std::uint8_t* bits) : glyphs_(glyphs), bits_(bits) {}

  const GlyphImage& glyph(unsigned char code) const { return glyphs_[code]; }
  /// Whether the mask of `glyph` sets the pixel at column x, row y of it.
  bool set(const GlyphImage& glyph, int x, int y) const {
    const std::uint32_t bit = glyph.firstBit + static_cast<std::uint32_t>(y * glyph.width + x);
    return (bits_[bit >> 3] >> (bit & 7)) & 1;
  }
  /// The pen's advance from the text's left edge after one more character, in 64ths of a
  /// pixel: the character's own advance, or for a tab the next multiple of 80 pixels.
  std::int64_t advanceAfter(std::int64_t advance64, unsigned char code) const;
  /// The advance of a whole text, in 64ths of a pixel.
  std::int64_t advance64(std::string_view text) const;
  /// The pen's whole pixel for a glyph, given the text's left edge and the advance so far.
  static int penPixel(int left, std::int64_t advance64);

 private:
  const GlyphImage* glyphs_;
  const std::uint8_t* bits_;
};

}  // namespace kestravin::platform::web
