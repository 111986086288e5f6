#include "ui/platform/qt/qt_surface.h"

#include <algorithm>
#include <cstdlib>

#include "ui/platform/qt/qt_convert.h"

namespace kestravin::platform {

QtFont::QtFont(const FontSpec& desc) : font_(toQt(desc.face)) {
  // Without antialiasing every text pixel is exactly the text colour, and text drawn again
  // in place (the column headings) stays as it was.
  font_.setStyleHint(QFont::SansSerif,
                     QFont::StyleStrategy(QFont::PreferOutline | QFont::NoAntialias));
  // Each character advances by its own width, as Windows' text output does: no pair of
  // characters is moved closer together.
  font_.setKerning(false);
  // The description gives the character cell height; Qt sizes fonts by the em. Take the
  // largest pixel size whose cell (ascent + descent) still fits the requested height.
  int pixels = std::max(desc.cellHeight, 1);
  font_.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font_).height() > desc.cellHeight) {
    font_.setPixelSize(--pixels);
  }
}

const QFont* qtFont(const Font* font) {
  return font ? &static_cast<const QtFont*>(font)->font() : nullptr;
}

ImageSurface::ImageSurface(Size size)
    : image_(std::max(size.w, 1), std::max(size.h, 1), QImage::Format_RGB32) {
  image_.fill(QColor(Qt::black));
}

ImageSurface::~ImageSurface() {
  endPainter();
}

void ImageSurface::fillBlack(const Rect& rect) {
  endPainter();
  const QRect r = toQt(rect).intersected(image_.rect());
  if (r.isEmpty()) return;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + r.left(), line + r.right() + 1, qRgb(0, 0, 0));
  }
  changed(r);
}

void ImageSurface::setTextColor(Rgb color) {
  textColor_ = color;
  if (painter_) painter_->setPen(toQt(color));
}

void ImageSurface::selectFont(const Font* font) {
  font_ = qtFont(font) ? *qtFont(font) : QFont();
  metrics_.emplace(font_);
  if (painter_) painter_->setFont(font_);
}

void ImageSurface::setPen(Rgb color) {
  pen_ = qRgb(color.r, color.g, color.b);
}

void ImageSurface::lineTo(Point to) {
  endPainter();
  const QRect touched(QPoint(std::min(position_.x, to.x), std::min(position_.y, to.y)),
                      QPoint(std::max(position_.x, to.x), std::max(position_.y, to.y)));
  forEachLinePixel(position_, to, [this](int x, int y) {
    if (image_.rect().contains(x, y)) reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = pen_;
  });
  position_ = to;
  changed(touched.intersected(image_.rect()));
}

void ImageSurface::drawText(Point at, std::string_view text) {
  if (text.empty()) return;
  if (!painter_) {
    painter_.emplace(&image_);
    painter_->setFont(font_);
    painter_->setPen(toQt(textColor_));
  }
  if (!metrics_) metrics_.emplace(font_);
  const QString s = toQt(text);
  painter_->drawText(QPoint(at.x, at.y + metrics_->ascent()), s);
  changed(QRect(at.x, at.y, metrics_->horizontalAdvance(s) + 2, metrics_->height())
              .intersected(image_.rect()));
}

std::vector<Rgb> ImageSurface::readPixels(const Rect& rect) const {
  const QImage& pixels = image();
  std::vector<Rgb> out(static_cast<std::size_t>(std::max(rect.w, 0)) *
                       static_cast<std::size_t>(std::max(rect.h, 0)));
  auto at = out.begin();
  for (int y = rect.y; y < rect.y + rect.h; ++y) {
    for (int x = rect.x; x < rect.x + rect.w; ++x, ++at) {
      if (pixels.rect().contains(x, y)) *at = fromQRgb(pixels.pixel(x, y));
    }
  }
  return out;
}

const QImage& ImageSurface::image() const {
  endPainter();
  return image_;
}

void ImageSurface::blit(const ImageSurface& from, const Rect& part, Point to) {
  endPainter();
  const QImage& src = from.image();
  QRect s = toQt(part).intersected(src.rect());
  QRect d(QPoint(to.x + s.x() - part.x, to.y + s.y() - part.y), s.size());
  const QRect clipped = d.intersected(image_.rect());
  s.translate(clipped.topLeft() - d.topLeft());
  s.setSize(clipped.size());
  if (clipped.isEmpty()) return;
  for (int row = 0; row < clipped.height(); ++row) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(s.top() + row)) + s.left();
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(clipped.top() + row)) + clipped.left();
    std::copy(in, in + clipped.width(), out);
  }
  changed(clipped);
}

}  // namespace kestravin::platform
