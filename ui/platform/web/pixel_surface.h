#pragma once

#include <cstdint>
#include <vector>

#include "ui/platform/platform.h"
#include "ui/platform/web/glyph_atlas.h"

namespace kestravin::platform::web {

/// The one font of this backend: the glyph atlas of the desktop's Arial, cell height 17.
class AtlasFont : public Font {
 public:
  explicit AtlasFont(const GlyphAtlas& atlas) : atlas_(atlas) {}
  const GlyphAtlas& atlas() const { return atlas_; }

 private:
  const GlyphAtlas& atlas_;
};

/// A picture in memory, one 32-bit pixel each, bytes red, green, blue and alpha (255) in
/// that order, rows from the top: what a canvas takes as it is. Everything is drawn pixel
/// by pixel, so the same drawing gives the same pixels in every browser.
class PixelSurface : public Buffer {
 public:
  explicit PixelSurface(Size size);

  Size size() const override { return size_; }
  void fillBlack(const Rect& rect) override;
  void setTextColor(Rgb color) override { textColor_ = color; }
  /// nullptr: the built-in atlas, as there is no other font.
  void selectFont(const Font* font) override;
  void setPen(Rgb color) override { pen_ = color; }
  void moveTo(Point to) override { position_ = to; }
  /// Bresenham from the current position, leaving out the end point.
  void lineTo(Point to) override;
  void drawText(Point at, std::string_view text) override;

  /// Copies part of another picture in, pixel for pixel; what falls outside is left out.
  void blit(const PixelSurface& from, const Rect& part, Point to);
  /// The colour at a point; black outside the picture.
  Rgb pixel(Point at) const;
  std::vector<Rgb> readPixels(const Rect& rect) const override;
  /// The pixels, size().w to a row.
  const std::uint32_t* pixels() const { return pixels_.data(); }

 protected:
  /// Told of every part of the picture that a drawing changed (never empty).
  virtual void changed(const Rect& rect) { (void)rect; }

 private:
  /// The part of `rect` inside the picture.
  Rect clip(const Rect& rect) const;
  void report(const Rect& rect);

  Size size_;
  std::vector<std::uint32_t> pixels_;
  const GlyphAtlas* atlas_;
  Rgb textColor_ = kBlack;
  Rgb pen_ = kBlack;
  Point position_;
};

/// A colour as a pixel of a PixelSurface.
constexpr std::uint32_t toPixel(Rgb c) {
  return 0xFF000000u | std::uint32_t{c.b} << 16 | std::uint32_t{c.g} << 8 | c.r;
}

}  // namespace kestravin::platform::web
