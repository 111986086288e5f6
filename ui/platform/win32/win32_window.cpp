#include "ui/platform/win32/win32_window.h"

#include <map>

#include "ui/platform/win32/win32_controls.h"

namespace kestravin::platform {

namespace {

// The program's top-level windows with keys, by handle, for the message loop.
std::map<HWND, Win32Window*>& windowsWithKeys() {
  static std::map<HWND, Win32Window*> windows;
  return windows;
}

}  // namespace

Win32Window::Win32Window(const WindowSpec& desc)
    : className_(desc.className), kind_(desc.kind), handler_(desc.handler), keys_(desc.keys) {
  DWORD style = 0;
  HWND parent = nullptr;
  switch (desc.kind) {
    case WindowKind::kMain:
      style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case WindowKind::kCaptionOnly:
      style = WS_CAPTION;
      break;
    case WindowKind::kChild:
      style = WS_CHILD | WS_VISIBLE | WS_BORDER;
      parent = desc.parent ? static_cast<Win32Window*>(desc.parent)->hwnd_ : nullptr;
      break;
  }
  // Top-level windows are made hidden; their size is the outer one, frame and caption
  // included, as CreateWindowExA takes it.
  hwnd_ = CreateWindowExA(0, desc.className.c_str(), desc.title.c_str(), style, desc.rect.x,
                          desc.rect.y, desc.rect.w, desc.rect.h, parent, nullptr, instance(), this);
  // The class has a private device context: taken once, it is the one every paint cycle
  // hands out too, so a font selected into it stays.
  if (hwnd_) surface_.attach(GetDC(hwnd_));
  if (hwnd_ && !keys_.empty() && kind_ != WindowKind::kChild) windowsWithKeys()[hwnd_] = this;
}

Win32Window::~Win32Window() {
  if (hwnd_) windowsWithKeys().erase(hwnd_);
  controls_.clear();
  HDC dc = surface_.dc();
  surface_.detach();
  if (hwnd_ && IsWindow(hwnd_)) {
    if (dc) ReleaseDC(hwnd_, dc);
    // Destroyed by the program, not closed by the user: no callbacks any more.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

LRESULT Win32Window::handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_PAINT: {
      // BeginPaint erases the invalid part with the class's black brush first.
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      if (handler_) handler_->onPaint(surface_);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COMMAND:
      if (handler_) handler_->onCommand(LOWORD(wparam), HIWORD(wparam));
      break;
    case WM_DESTROY:
      if (kind_ == WindowKind::kMain && handler_) handler_->onDestroy();
      return 0;
    case WM_CONTEXTMENU: {
      HMENU menu = makeContextMenu();
      if (!menu) break;  // a child window's menu is its parent's: DefWindowProcA sends it on
      POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (at.x == -1 && at.y == -1) {  // from the keyboard: at the window's top-left corner
        at = {0, 0};
        ClientToScreen(hwnd, &at);
      }
      const int id = static_cast<int>(TrackPopupMenu(
          menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr));
      DestroyMenu(menu);
      if (id != 0) menuCommand(id);
      return 0;
    }
    case WM_NCDESTROY:
      // The window and its device context are gone; everything after this draws nothing.
      windowsWithKeys().erase(hwnd);
      surface_.detach();
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    auto* self = static_cast<Win32Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  return self->handle(hwnd, message, wparam, lparam);
}

bool Win32Window::routeKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  const auto found = windowsWithKeys().find(GetAncestor(msg.hwnd, GA_ROOT));
  if (found == windowsWithKeys().end()) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (GetKeyState(VK_MENU) < 0) return false;
  // Letters and digits have their upper-case character as virtual-key code.
  for (const KeyBinding& key : found->second->keys_) {
    if (msg.wParam == static_cast<WPARAM>(key.key) && key.ctrl == ctrl && key.shift == shift) {
      found->second->menuCommand(key.id);
      return true;
    }
  }
  return false;
}

HMENU Win32Window::makeContextMenu() const {
  if (!handler_) return nullptr;
  const std::vector<MenuItem> items = handler_->contextMenu();
  if (items.empty()) return nullptr;
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : items) {
    std::string text = item.text;
    for (const KeyBinding& key : keys_) {
      if (key.id != item.id) continue;
      text += '\t';  // the key is shown at the menu's right
      text += keyText(key);
    }
    const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) |
                       (item.checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuA(menu, flags, static_cast<UINT_PTR>(item.id), text.c_str());
  }
  return menu;
}

void Win32Window::menuCommand(int id) {
  if (handler_) handler_->onMenuCommand(id);
}

void Win32Window::copyFrom(const Buffer& from, const Rect& part, Point to) {
  if (!surface_.dc()) return;
  BitBlt(surface_.dc(), to.x, to.y, part.w, part.h, static_cast<const Win32Buffer&>(from).dc(),
         part.x, part.y, SRCCOPY);
}

void Win32Window::invalidate(const Rect& rect) {
  if (!hwnd_) return;
  const RECT r{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h};
  InvalidateRect(hwnd_, &r, TRUE);
}

// Delivers the paint message at once when part of the window is invalid.
void Win32Window::paintNow() {
  if (hwnd_) UpdateWindow(hwnd_);
}

void Win32Window::show() {
  if (!hwnd_) return;
  UpdateWindow(hwnd_);
  // A window the user minimised comes back.
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
}

void Win32Window::hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Window::visible() const {
  return hwnd_ && IsWindowVisible(hwnd_);
}

void Win32Window::close() {
  if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void Win32Window::activate() {
  if (!hwnd_) return;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

Rect Win32Window::clientRect() const {
  if (!hwnd_) return {};
  RECT r{};
  GetClientRect(hwnd_, &r);
  POINT origin{0, 0};
  if (kind_ == WindowKind::kChild) {
    MapWindowPoints(hwnd_, GetParent(hwnd_), &origin, 1);
  } else {
    ClientToScreen(hwnd_, &origin);
  }
  return {origin.x, origin.y, r.right, r.bottom};
}

Rect Win32Window::outerRect() const {
  if (!hwnd_) return {};
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Button& Win32Window::addButton(std::string_view text, const Rect& rect, int id) {
  return add(std::make_unique<Win32Button>(text, rect, hwnd_, id));
}

CheckBox& Win32Window::addCheckBox(std::string_view text, const Rect& rect, int id) {
  return add(std::make_unique<Win32CheckBox>(text, rect, hwnd_, id));
}

EditField& Win32Window::addEditField(const EditSpec& desc) {
  return add(std::make_unique<Win32EditField>(desc, hwnd_));
}

ListBox& Win32Window::addListBox(const ListBoxSpec& desc) {
  return add(std::make_unique<Win32ListBox>(desc, hwnd_));
}

}  // namespace kestravin::platform
