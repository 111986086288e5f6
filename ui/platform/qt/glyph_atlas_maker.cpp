// Writes the web backend's glyph atlas: every character code drawn alone by this backend in
// the program's font, as the mask of the pixels it sets, with the pen's advance.
//   QT_QPA_PLATFORM=offscreen kestravin-glyph-atlas ui/platform/web/glyph_atlas_data.inc
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ui/platform/qt/qt_convert.h"
#include "ui/platform/qt/qt_surface.h"

namespace {

using kestravin::platform::FontSpec;
using kestravin::platform::QtFont;

// Room around the pen for glyphs that reach left of it or above and below the cell.
constexpr int kMargin = 16;

struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  long advance64 = 0;
  std::vector<bool> mask;
};

QImage blackImage() {
  QImage image(6 * kMargin, 3 * kMargin, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void draw(QImage& image, const QFont& font, int x, std::string_view text) {
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QPoint(x, kMargin + QFontMetrics(font).ascent()),
                   kestravin::platform::toQt(text));
}

// Draws one code alone as the backend draws a text, and cuts the mask to the pixels set.
// Line ends, the form feed and the soft hyphen draw nothing alone, and so nothing in the
// atlas, though the desktop draws a box or a hyphen for them between two letters.
Glyph drawGlyph(const QFont& font, int code) {
  Glyph g;
  g.advance64 = std::lround(QFontMetricsF(font).horizontalAdvance(QChar(code)) * 64);
  if (code == '\t') return g;  // no pixels; the pen goes to the next tab stop
  QImage image = blackImage();
  const char c = static_cast<char>(code);
  draw(image, font, kMargin, std::string_view(&c, 1));
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qRed(image.pixel(x, y)) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return g;
  g.left = left - kMargin;
  g.top = top - kMargin;
  g.width = right - left + 1;
  g.height = bottom - top + 1;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) g.mask.push_back(qRed(image.pixel(x, y)) != 0);
  }
  return g;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.inc\n", argv[0]);
    return 2;
  }
  const QtFont font(FontSpec{"Arial", 17});
  std::vector<bool> bits;
  std::map<std::vector<bool>, std::size_t> stored;  // a mask met before is stored once
  std::string glyphs;
  for (int code = 0; code < 256; ++code) {
    const Glyph g = drawGlyph(font.font(), code);
    const auto [at, added] = stored.try_emplace(g.mask, bits.size());
    if (added) bits.insert(bits.end(), g.mask.begin(), g.mask.end());
    glyphs += "    {" + std::to_string(g.left) + ", " + std::to_string(g.top) + ", " +
              std::to_string(g.width) + ", " + std::to_string(g.height) + ", " +
              std::to_string(g.advance64) + ", " + std::to_string(at->second) + "},  // " +
              std::to_string(code) + "\n";
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  const QFontInfo info(font.font());
  std::fprintf(out,
               "// Written by kestravin-glyph-atlas (ui/platform/qt/glyph_atlas_maker.cpp) from\n"
               "// %s at %d pixels; do not edit. Each glyph: left, top, width, height,\n"
               "// advance in 64ths of a pixel, first bit of its mask.\n",
               qPrintable(info.family()), info.pixelSize());
  std::fprintf(out, "constexpr GlyphImage kGlyphs[256] = {\n%s};\n", glyphs.c_str());
  std::fprintf(out, "constexpr std::uint8_t kBits[] = {");
  const std::size_t bytes = (bits.size() + 7) / 8;
  for (std::size_t i = 0; i < bytes; ++i) {
    unsigned byte = 0;
    for (int b = 0; b < 8 && i * 8 + b < bits.size(); ++b) byte |= unsigned{bits[i * 8 + b]} << b;
    std::fprintf(out, "%s0x%02x,", i % 16 ? " " : "\n    ", byte);
  }
  std::fprintf(out, "\n};\n");
  const bool written = std::fclose(out) == 0;
  std::printf("%s: 256 glyphs, %zu bytes of masks\n", argv[1], bytes);
  return written ? 0 : 1;
}
