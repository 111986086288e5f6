#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

#include "ui/platform/platform.h"

// Small helpers over user32 and gdi32 that the backend's parts share.
namespace kestravin::platform {

/// The program's own module, which owns its window classes and windows.
inline HINSTANCE instance() {
  return GetModuleHandleA(nullptr);
}

inline COLORREF toColorref(Rgb c) {
  return RGB(c.r, c.g, c.b);
}

inline Rgb fromColorref(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

/// A window's text (a control's caption or contents); empty for no window.
inline std::string windowText(HWND hwnd) {
  if (!hwnd) return {};
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  const int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

/// Position and size of a window in its parent's client area.
inline Rect childGeometry(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace kestravin::platform
