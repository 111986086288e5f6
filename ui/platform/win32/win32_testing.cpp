// The user's actions and the screen's pixels on the Win32 backend, for tests and tools.
#include <cstring>
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
  SetFocus(edit.hwnd());
  const std::string before = edit.text();
  const auto end = static_cast<WPARAM>(before.size());
  edit.send(EM_SETSEL, end, static_cast<LPARAM>(end));
  edit.send(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  return edit.text() != before;
}

namespace {

void putOnClipboard(std::string_view text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    auto* bytes = static_cast<char*>(GlobalLock(memory));
    std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
  }
  CloseClipboard();
}

}  // namespace

int typeOver(EditField& field, std::string_view text) {
  Win32EditField& edit = own<Win32EditField>(field);
  SetFocus(edit.hwnd());
  edit.send(EM_SETSEL, 0, -1);
  int taken = 0;
  for (char c : text) {
    const std::string before = edit.text();
    edit.send(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    taken += edit.text() != before;
  }
  return taken;
}

bool pasteOver(EditField& field, std::string_view text) {
  Win32EditField& edit = own<Win32EditField>(field);
  putOnClipboard(text);
  const std::string before = edit.text();
  edit.send(EM_SETSEL, 0, -1);
  edit.send(WM_CHAR, 0x16, 1);  // Ctrl+V, as the keyboard gives it
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

namespace {

// The system's controls paint when their turn in the message queue comes; what they show
// once they have is what the user sees.
BOOL CALLBACK paintControl(HWND child, LPARAM) {
  if (GetWindowLongPtrA(child, GWLP_WNDPROC) !=
      reinterpret_cast<LONG_PTR>(&Win32Window::procedure)) {
    UpdateWindow(child);
  }
  return TRUE;
}

}  // namespace

std::vector<Rgb> shownPixels(Window& window, const Rect& rect) {
  std::vector<Rgb> out(static_cast<std::size_t>(rect.w) * static_cast<std::size_t>(rect.h));
  Win32Window& win = own<Win32Window>(window);
  HDC dc = win.dc();
  if (!dc || out.empty()) return out;
  EnumChildWindows(win.hwnd(), paintControl, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = rect.w;
  info.bmiHeader.biHeight = -rect.h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC copy = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(copy, dib);
  BitBlt(copy, 0, 0, rect.w, rect.h, dc, rect.x, rect.y, SRCCOPY);
  GdiFlush();
  const auto* pixel = static_cast<const unsigned char*>(bits);
  for (Rgb& c : out) {
    c = {pixel[2], pixel[1], pixel[0]};
    pixel += 4;
  }
  SelectObject(copy, previous);
  DeleteDC(copy);
  DeleteObject(dib);
  return out;
}

namespace {

// The entries of a menu as the user sees them: the text before the tab, the key after it.
struct ShownEntry {
  MenuItem item;
  std::string key;
};

std::vector<ShownEntry> entriesOf(HMENU menu) {
  std::vector<ShownEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int k = 0; k < count; ++k) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(k), TRUE, &info)) continue;
    std::string shown = text;
    const std::size_t tab = shown.find('\t');
    ShownEntry entry;
    entry.key = tab == std::string::npos ? "" : shown.substr(tab + 1);
    const bool checked = (info.fState & MFS_CHECKED) != 0;
    // A menu of this system tells a check mark, not whether an entry could have one.
    entry.item = {shown.substr(0, tab), static_cast<int>(info.wID),
                  (info.fState & MFS_DISABLED) == 0, checked, checked};
    entries.push_back(entry);
  }
  return entries;
}

std::vector<ShownEntry> shownMenu(Window& window) {
  HMENU menu = own<Win32Window>(window).makeContextMenu();
  if (!menu) return {};
  std::vector<ShownEntry> entries = entriesOf(menu);
  DestroyMenu(menu);
  return entries;
}

}  // namespace

std::vector<MenuItem> contextMenu(Window& window) {
  std::vector<MenuItem> items;
  for (const ShownEntry& entry : shownMenu(window)) items.push_back(entry.item);
  return items;
}

bool chooseMenuItem(Window& window, int id) {
  for (const ShownEntry& entry : shownMenu(window)) {
    if (entry.item.id == id && entry.item.enabled) {
      own<Win32Window>(window).menuCommand(id);
      return true;
    }
  }
  return false;
}

std::string menuKeyText(Window& window, int id) {
  for (const ShownEntry& entry : shownMenu(window)) {
    if (entry.item.id == id) return entry.key;
  }
  return {};
}

void pressKey(Window& window, char key, bool ctrl, bool shift) {
  Win32Window& win = own<Win32Window>(window);
  if (!win.hwnd()) return;
  // The key reaches a control of the window, as when the user has just clicked one; the
  // modifiers are held in this thread's keyboard state meanwhile.
  BYTE saved[256] = {};
  GetKeyboardState(saved);
  BYTE held[256];
  std::memcpy(held, saved, sizeof held);
  held[VK_CONTROL] = ctrl ? 0x80 : 0;
  held[VK_SHIFT] = shift ? 0x80 : 0;
  held[VK_MENU] = 0;
  SetKeyboardState(held);
  HWND child = GetWindow(win.hwnd(), GW_CHILD);
  MSG msg{};
  msg.hwnd = child ? child : win.hwnd();
  msg.message = WM_KEYDOWN;
  msg.wParam = static_cast<WPARAM>(static_cast<unsigned char>(key));
  msg.lParam = 1;
  if (!Win32Window::routeKey(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  SetKeyboardState(saved);
}

void minimize(Window& window) {
  if (HWND hwnd = own<Win32Window>(window).hwnd()) ShowWindow(hwnd, SW_MINIMIZE);
}

bool minimized(Window& window) {
  HWND hwnd = own<Win32Window>(window).hwnd();
  return hwnd && IsIconic(hwnd);
}

CaptionBoxes captionBoxes(Window& window) {
  HWND hwnd = own<Win32Window>(window).hwnd();
  if (!hwnd) return {};
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  return {(style & WS_SYSMENU) != 0, (style & WS_MINIMIZEBOX) != 0, (style & WS_MAXIMIZEBOX) != 0};
}

std::string clipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// The console's host would inherit the files open when it starts: it starts first. What the
// process prints goes where it went before.
void prepareTerminationRequests() {
  FreeConsole();
  AllocConsole();
}

// Ctrl+C on the console reaches every process attached to it: this process alone.
void requestTermination() {
  GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

Rgb shownPixel(Window& window, Point at) {
  HDC dc = own<Win32Window>(window).dc();
  if (!dc) return kBlack;
  const COLORREF c = GetPixel(dc, at.x, at.y);
  return c == CLR_INVALID ? kBlack : fromColorref(c);
}

}  // namespace kestravin::platform::testing
