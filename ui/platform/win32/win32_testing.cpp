// The user's actions and the screen's pixels on the Win32 backend, for tests and tools.
#include <stdexcept>
#include <string>

#include "ui/platform/testing.h"
#include "ui/platform/win32/win32_controls.h"
#include "ui/platform/win32/win32_surface.h"
#include "ui/platform/win32/win32_util.h"
#include "ui/platform/win32/win32_window.h"

namespace kestravin::platform::testing {

namespace {

// The backend's own object behind an interface; anything else is a mistake of the caller.
template <typename Backend, typename Interface>
Backend& own(Interface& object) {
  auto* backend = dynamic_cast<Backend*>(&object);
  if (!backend) throw std::invalid_argument("not an object of the Win32 backend");
  return *backend;
}

// Tells the control's parent what the user did, as the control itself would.
void notifyParent(const ControlBase& control, int notification) {
  if (!control.hwnd()) return;
  SendMessageA(GetParent(control.hwnd()), WM_COMMAND,
               MAKEWPARAM(static_cast<WORD>(control.id()), static_cast<WORD>(notification)),
               reinterpret_cast<LPARAM>(control.hwnd()));
}

}  // namespace

void click(Button& button) {
  notifyParent(own<Win32Button>(button), BN_CLICKED);
}

void click(CheckBox& box) {
  Win32CheckBox& check = own<Win32CheckBox>(box);
  check.send(BM_SETCHECK, check.checked() ? BST_UNCHECKED : BST_CHECKED);
  notifyParent(check, BN_CLICKED);
}

bool type(EditField& field, char c) {
  Win32EditField& edit = own<Win32EditField>(field);
  const std::string before = edit.text();
  const auto end = static_cast<WPARAM>(before.size());
  edit.send(EM_SETSEL, end, static_cast<LPARAM>(end));
  edit.send(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  return edit.text() != before;
}

void userSelect(ListBox& list, int row) {
  Win32ListBox& box = own<Win32ListBox>(list);
  box.selectRow(row);
  notifyParent(box, LBN_SELCHANGE);
}

Rgb pixel(const Buffer& buffer, Point at) {
  const Win32Buffer& memory = own<const Win32Buffer>(buffer);
  const Size size = memory.size();
  if (at.x < 0 || at.y < 0 || at.x >= size.w || at.y >= size.h) return kBlack;
  return fromColorref(GetPixel(memory.dc(), at.x, at.y));
}

Rgb shownPixel(Window& window, Point at) {
  HDC dc = own<Win32Window>(window).dc();
  if (!dc) return kBlack;
  const COLORREF c = GetPixel(dc, at.x, at.y);
  return c == CLR_INVALID ? kBlack : fromColorref(c);
}

}  // namespace kestravin::platform::testing
