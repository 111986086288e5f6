#include "ui/platform/win32/win32_surface.h"

#include <cstring>

namespace kestravin::platform {

Win32Font::Win32Font(const FontSpec& desc) {
  // Height positive: the character cell height in pixels. A TrueType face is preferred;
  // everything else is the default.
  LOGFONTA lf{};
  lf.lfHeight = desc.cellHeight;
  lf.lfWeight = FW_DONTCARE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = 0;
  const std::size_t n = std::min(desc.face.size(), std::size_t{LF_FACESIZE - 1});
  std::memcpy(lf.lfFaceName, desc.face.data(), n);
  handle_ = CreateFontIndirectA(&lf);
}

Win32Font::~Win32Font() {
  if (handle_) DeleteObject(handle_);
}

void DcSurface::attach(HDC dc) {
  dc_ = dc;
  if (dc_) SetBkMode(dc_, TRANSPARENT);
}

void DcSurface::detach() {
  if (!dc_) return;
  if (originalPen_) SelectObject(dc_, originalPen_);
  if (originalFont_) SelectObject(dc_, originalFont_);
  originalPen_ = nullptr;
  originalFont_ = nullptr;
  dc_ = nullptr;
  if (pen_) DeleteObject(pen_);
  pen_ = nullptr;
}

void DcSurface::fillBlack(const Rect& rect) {
  if (dc_) BitBlt(dc_, rect.x, rect.y, rect.w, rect.h, nullptr, 0, 0, BLACKNESS);
}

void DcSurface::setTextColor(Rgb color) {
  if (dc_) SetTextColor(dc_, toColorref(color));
}

void DcSurface::selectFont(const Font* font) {
  if (!dc_) return;
  if (!font) {
    if (originalFont_) SelectObject(dc_, originalFont_);
    originalFont_ = nullptr;
    return;
  }
  HGDIOBJ previous = SelectObject(dc_, static_cast<const Win32Font*>(font)->handle());
  if (!originalFont_) originalFont_ = previous;
}

void DcSurface::setPen(Rgb color) {
  if (!dc_) return;
  HPEN pen = CreatePen(PS_SOLID, 1, toColorref(color));
  HGDIOBJ previous = SelectObject(dc_, pen);
  if (!originalPen_) originalPen_ = previous;
  if (pen_) DeleteObject(pen_);
  pen_ = pen;
}

void DcSurface::moveTo(Point to) {
  if (dc_) MoveToEx(dc_, to.x, to.y, nullptr);
}

// LineTo paints up to but not including its end point, as the interface asks.
void DcSurface::lineTo(Point to) {
  if (dc_) LineTo(dc_, to.x, to.y);
}

void DcSurface::drawText(Point at, std::string_view text) {
  if (dc_) TextOutA(dc_, at.x, at.y, text.data(), static_cast<int>(text.size()));
}

Win32Buffer::Win32Buffer(Size size) : size_{std::max(size.w, 1), std::max(size.h, 1)} {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, size_.w, size_.h);
  ReleaseDC(nullptr, screen);
  originalBitmap_ = SelectObject(dc_, bitmap_);
  surface_.attach(dc_);
  surface_.fillBlack({0, 0, size_.w, size_.h});
}

// The pixels are copied into a 32-bit top-down DIB, whose bits can be read directly, so the
// buffer's own bitmap stays selected in its context.
std::vector<Rgb> Win32Buffer::readPixels(const Rect& rect) const {
  std::vector<Rgb> out(static_cast<std::size_t>(std::max(rect.w, 0)) *
                       static_cast<std::size_t>(std::max(rect.h, 0)));
  if (out.empty()) return out;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = rect.w;
  info.bmiHeader.biHeight = -rect.h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) return out;
  HDC copy = CreateCompatibleDC(dc_);
  HGDIOBJ previous = SelectObject(copy, dib);
  // What lies outside the buffer stays black.
  BitBlt(copy, 0, 0, rect.w, rect.h, nullptr, 0, 0, BLACKNESS);
  const int x0 = std::max(rect.x, 0);
  const int y0 = std::max(rect.y, 0);
  const int x1 = std::min(rect.x + rect.w, size_.w);
  const int y1 = std::min(rect.y + rect.h, size_.h);
  if (x1 > x0 && y1 > y0) {
    BitBlt(copy, x0 - rect.x, y0 - rect.y, x1 - x0, y1 - y0, dc_, x0, y0, SRCCOPY);
  }
  GdiFlush();
  const auto* pixel = static_cast<const std::uint8_t*>(bits);  // blue, green, red, unused
  for (Rgb& c : out) {
    c = {pixel[2], pixel[1], pixel[0]};
    pixel += 4;
  }
  SelectObject(copy, previous);
  DeleteDC(copy);
  DeleteObject(dib);
  return out;
}

Win32Buffer::~Win32Buffer() {
  surface_.detach();
  if (originalBitmap_) SelectObject(dc_, originalBitmap_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

}  // namespace kestravin::platform
