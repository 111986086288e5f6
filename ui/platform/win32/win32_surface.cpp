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

Win32Buffer::~Win32Buffer() {
  surface_.detach();
  if (originalBitmap_) SelectObject(dc_, originalBitmap_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

}  // namespace kestravin::platform
