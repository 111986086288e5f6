#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <optional>

#include "ui/platform/platform.h"

namespace kestravin::platform {

/// A font of the given face at the largest pixel size whose character cell fits the given
/// cell height, drawn without antialiasing.
class QtFont : public Font {
 public:
  explicit QtFont(const FontSpec& desc);
  const QFont& font() const { return font_; }

 private:
  QFont font_;
};

/// The Qt font of a font made by this backend; nullptr for none.
const QFont* qtFont(const Font* font);

/// A picture in memory that the program draws on: an off-screen buffer, or what a window
/// shows. Fills and lines write the pixels directly (exact, and lines end one pixel short of
/// their end point); only text goes through a painter, which stays open between texts.
class ImageSurface : public Buffer {
 public:
  explicit ImageSurface(Size size);
  ~ImageSurface() override;

  Size size() const override { return {image_.width(), image_.height()}; }
  std::vector<Rgb> readPixels(const Rect& rect) const override;
  void fillBlack(const Rect& rect) override;
  void setTextColor(Rgb color) override;
  void selectFont(const Font* font) override;
  void setPen(Rgb color) override;
  void moveTo(Point to) override { position_ = to; }
  void lineTo(Point to) override;
  void drawText(Point at, std::string_view text) override;

  /// The pixels, every text drawn so far included.
  const QImage& image() const;
  /// Copies part of another picture in, pixel for pixel; what falls outside is left out.
  void blit(const ImageSurface& from, const Rect& part, Point to);

 protected:
  /// Told of every part of the picture that a drawing changed.
  virtual void changed(const QRect& rect) { (void)rect; }

 private:
  void endPainter() const { painter_.reset(); }

  mutable QImage image_;
  mutable std::optional<QPainter> painter_;
  std::optional<QFontMetrics> metrics_;
  QFont font_;
  Rgb textColor_ = kBlack;
  QRgb pen_ = qRgb(0, 0, 0);
  Point position_;
};

}  // namespace kestravin::platform
