#pragma once

#include "ui/platform/platform.h"
#include "ui/platform/win32/win32_util.h"

namespace kestravin::platform {

/// A GDI font made from a description: the cell height in pixels, TrueType preferred.
class Win32Font : public Font {
 public:
  explicit Win32Font(const FontSpec& desc);
  ~Win32Font() override;
  Win32Font(const Win32Font&) = delete;
  Win32Font& operator=(const Win32Font&) = delete;

  HFONT handle() const { return handle_; }

 private:
  HFONT handle_ = nullptr;
};

/// Drawing on a device context: a window's own or a memory one. It remembers what the context
/// held before its own pen and font, and puts that back when it is done.
class DcSurface : public Surface {
 public:
  DcSurface() = default;
  ~DcSurface() override { detach(); }
  DcSurface(const DcSurface&) = delete;
  DcSurface& operator=(const DcSurface&) = delete;

  /// Draws on `dc` from now on, text with a transparent background.
  void attach(HDC dc);
  /// Puts the original pen and font back and forgets the context.
  void detach();
  HDC dc() const { return dc_; }

  void fillBlack(const Rect& rect) override;
  void setTextColor(Rgb color) override;
  void selectFont(const Font* font) override;
  void setPen(Rgb color) override;
  void moveTo(Point to) override;
  void lineTo(Point to) override;
  void drawText(Point at, std::string_view text) override;

 private:
  HDC dc_ = nullptr;
  HPEN pen_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
};

/// An off-screen buffer: a memory device context with a bitmap compatible with the screen.
class Win32Buffer : public Buffer {
 public:
  explicit Win32Buffer(Size size);
  ~Win32Buffer() override;
  Win32Buffer(const Win32Buffer&) = delete;
  Win32Buffer& operator=(const Win32Buffer&) = delete;

  HDC dc() const { return dc_; }

  Size size() const override { return size_; }
  std::vector<Rgb> readPixels(const Rect& rect) const override;
  void fillBlack(const Rect& rect) override { surface_.fillBlack(rect); }
  void setTextColor(Rgb color) override { surface_.setTextColor(color); }
  void selectFont(const Font* font) override { surface_.selectFont(font); }
  void setPen(Rgb color) override { surface_.setPen(color); }
  void moveTo(Point to) override { surface_.moveTo(to); }
  void lineTo(Point to) override { surface_.lineTo(to); }
  void drawText(Point at, std::string_view text) override { surface_.drawText(at, text); }

 private:
  Size size_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  DcSurface surface_;
};

}  // namespace kestravin::platform
