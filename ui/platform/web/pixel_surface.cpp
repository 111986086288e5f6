#include "ui/platform/web/pixel_surface.h"

#include <algorithm>
#include <cstdlib>

namespace kestravin::platform::web {

PixelSurface::PixelSurface(Size size)
    : size_{std::max(size.w, 0), std::max(size.h, 0)},
      pixels_(static_cast<std::size_t>(size_.w) * static_cast<std::size_t>(size_.h),
              toPixel(kBlack)),
      atlas_(&GlyphAtlas::builtIn()) {}

Rect PixelSurface::clip(const Rect& rect) const {
  const int left = std::max(rect.x, 0);
  const int top = std::max(rect.y, 0);
  const auto right =
      static_cast<int>(std::min<std::int64_t>(std::int64_t{rect.x} + rect.w, size_.w));
  const auto bottom =
      static_cast<int>(std::min<std::int64_t>(std::int64_t{rect.y} + rect.h, size_.h));
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

void PixelSurface::report(const Rect& rect) {
  const Rect r = clip(rect);
  if (r.w > 0) changed(r);
}

void PixelSurface::fillBlack(const Rect& rect) {
  const Rect r = clip(rect);
  if (r.w == 0) return;
  for (int y = r.y; y < r.y + r.h; ++y) {
    auto* row = pixels_.data() + static_cast<std::size_t>(y) * size_.w;
    std::fill(row + r.x, row + r.x + r.w, toPixel(kBlack));
  }
  changed(r);
}

void PixelSurface::selectFont(const Font* font) {
  const auto* atlasFont = dynamic_cast<const AtlasFont*>(font);
  atlas_ = atlasFont ? &atlasFont->atlas() : &GlyphAtlas::builtIn();
}

void PixelSurface::lineTo(Point to) {
  const std::uint32_t ink = toPixel(pen_);
  const Rect touched{std::min(position_.x, to.x), std::min(position_.y, to.y),
                     std::abs(to.x - position_.x) + 1, std::abs(to.y - position_.y) + 1};
  forEachLinePixel(position_, to, [this, ink](int x, int y) {
    if (x >= 0 && y >= 0 && x < size_.w && y < size_.h) {
      pixels_[static_cast<std::size_t>(y) * size_.w + x] = ink;
    }
  });
  position_ = to;
  report(touched);
}

void PixelSurface::drawText(Point at, std::string_view text) {
  if (text.empty()) return;
  const std::uint32_t ink = toPixel(textColor_);
  std::int64_t advance = 0;
  int left = at.x;
  int right = at.x;
  int top = at.y;
  int bottom = at.y;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    const GlyphImage& g = atlas_->glyph(code);
    const int gx = GlyphAtlas::penPixel(at.x, advance) + g.left;
    const int gy = at.y + g.top;
    advance = atlas_->advanceAfter(advance, code);
    if (g.width == 0) continue;
    left = std::min(left, gx);
    right = std::max(right, gx + g.width);
    top = std::min(top, gy);
    bottom = std::max(bottom, gy + g.height);
    for (int row = 0; row < g.height; ++row) {
      const int y = gy + row;
      if (y < 0 || y >= size_.h) continue;
      auto* line = pixels_.data() + static_cast<std::size_t>(y) * size_.w;
      for (int col = 0; col < g.width; ++col) {
        const int x = gx + col;
        if (x >= 0 && x < size_.w && atlas_->set(g, col, row)) line[x] = ink;
      }
    }
  }
  if (right > left) report({left, top, right - left, bottom - top});
}

void PixelSurface::blit(const PixelSurface& from, const Rect& part, Point to) {
  // The source part inside the source, moved to the destination and cut to it there.
  const Rect source = from.clip(part);
  if (source.w == 0) return;
  const Rect placed{to.x + source.x - part.x, to.y + source.y - part.y, source.w, source.h};
  const Rect target = clip(placed);
  if (target.w == 0) return;
  const int sx = source.x + target.x - placed.x;
  const int sy = source.y + target.y - placed.y;
  for (int row = 0; row < target.h; ++row) {
    const auto* in = from.pixels_.data() + static_cast<std::size_t>(sy + row) * from.size_.w + sx;
    auto* out = pixels_.data() + static_cast<std::size_t>(target.y + row) * size_.w + target.x;
    std::copy(in, in + target.w, out);
  }
  changed(target);
}

Rgb PixelSurface::pixel(Point at) const {
  if (at.x < 0 || at.y < 0 || at.x >= size_.w || at.y >= size_.h) return kBlack;
  const std::uint32_t p = pixels_[static_cast<std::size_t>(at.y) * size_.w + at.x];
  return {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p >> 16)};
}

std::vector<Rgb> PixelSurface::readPixels(const Rect& rect) const {
  std::vector<Rgb> out;
  out.reserve(static_cast<std::size_t>(std::max(rect.w, 0)) * std::max(rect.h, 0));
  for (int y = rect.y; y < rect.y + rect.h; ++y) {
    for (int x = rect.x; x < rect.x + rect.w; ++x) out.push_back(pixel({x, y}));
  }
  return out;
}

}  // namespace kestravin::platform::web
