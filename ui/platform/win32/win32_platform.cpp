#include "ui/platform/win32/win32_platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

namespace kestravin::platform {

namespace {

// Every class of the program: redrawn whole when resized, double clicks, a private device
// context (so a font selected once stays), the standard icon and arrow, a black background.
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;

HINSTANCE instance() {
  return GetModuleHandleA(nullptr);
}

COLORREF toColorref(Rgb c) {
  return RGB(c.r, c.g, c.b);
}

Rgb fromColorref(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

std::string windowText(HWND hwnd) {
  if (!hwnd) return {};
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  const int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

// Position and size of a window in its parent's client area.
Rect childGeometry(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class Win32Font : public Font {
 public:
  explicit Win32Font(const FontSpec& desc) {
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
  ~Win32Font() override {
    if (handle_) DeleteObject(handle_);
  }
  Win32Font(const Win32Font&) = delete;
  Win32Font& operator=(const Win32Font&) = delete;

  HFONT handle() const { return handle_; }

 private:
  HFONT handle_ = nullptr;
};

// Drawing on a device context: a window's own or a memory one. It remembers what the context
// held before its own pen and font, and puts that back when it is done.
class DcSurface : public Surface {
 public:
  DcSurface() = default;
  ~DcSurface() override { detach(); }
  DcSurface(const DcSurface&) = delete;
  DcSurface& operator=(const DcSurface&) = delete;

  void attach(HDC dc) {
    dc_ = dc;
    if (dc_) SetBkMode(dc_, TRANSPARENT);
  }

  // Puts the original pen and font back and forgets the context.
  void detach() {
    if (!dc_) return;
    if (originalPen_) SelectObject(dc_, originalPen_);
    if (originalFont_) SelectObject(dc_, originalFont_);
    originalPen_ = nullptr;
    originalFont_ = nullptr;
    dc_ = nullptr;
    if (pen_) DeleteObject(pen_);
    pen_ = nullptr;
  }

  HDC dc() const { return dc_; }

  void fillBlack(const Rect& rect) override {
    if (dc_) BitBlt(dc_, rect.x, rect.y, rect.w, rect.h, nullptr, 0, 0, BLACKNESS);
  }

  void setTextColor(Rgb color) override {
    if (dc_) SetTextColor(dc_, toColorref(color));
  }

  void selectFont(const Font* font) override {
    if (!dc_) return;
    if (!font) {
      if (originalFont_) SelectObject(dc_, originalFont_);
      originalFont_ = nullptr;
      return;
    }
    HGDIOBJ previous = SelectObject(dc_, static_cast<const Win32Font*>(font)->handle());
    if (!originalFont_) originalFont_ = previous;
  }

  void setPen(Rgb color) override {
    if (!dc_) return;
    HPEN pen = CreatePen(PS_SOLID, 1, toColorref(color));
    HGDIOBJ previous = SelectObject(dc_, pen);
    if (!originalPen_) originalPen_ = previous;
    if (pen_) DeleteObject(pen_);
    pen_ = pen;
  }

  void moveTo(Point to) override {
    if (dc_) MoveToEx(dc_, to.x, to.y, nullptr);
  }

  // LineTo paints up to but not including its end point, as the interface asks.
  void lineTo(Point to) override {
    if (dc_) LineTo(dc_, to.x, to.y);
  }

  void drawText(Point at, std::string_view text) override {
    if (dc_) TextOutA(dc_, at.x, at.y, text.data(), static_cast<int>(text.size()));
  }

 private:
  HDC dc_ = nullptr;
  HPEN pen_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
};

// An off-screen buffer: a memory device context with a bitmap compatible with the screen.
class Win32Buffer : public Buffer {
 public:
  explicit Win32Buffer(Size size) : size_{std::max(size.w, 1), std::max(size.h, 1)} {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, size_.w, size_.h);
    ReleaseDC(nullptr, screen);
    originalBitmap_ = SelectObject(dc_, bitmap_);
    surface_.attach(dc_);
    surface_.fillBlack({0, 0, size_.w, size_.h});
  }
  ~Win32Buffer() override {
    surface_.detach();
    if (originalBitmap_) SelectObject(dc_, originalBitmap_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Win32Buffer(const Win32Buffer&) = delete;
  Win32Buffer& operator=(const Win32Buffer&) = delete;

  HDC dc() const { return dc_; }

  Size size() const override { return size_; }
  Rgb pixel(Point at) const override {
    if (at.x < 0 || at.y < 0 || at.x >= size_.w || at.y >= size_.h) return kBlack;
    return fromColorref(GetPixel(dc_, at.x, at.y));
  }
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

// A child control made with one of the system's classes, addressed by its handle.
class ControlBase {
 public:
  ControlBase(const char* cls, std::string_view text, DWORD style, const Rect& rect, HWND parent,
              int id)
      : id_(id) {
    const std::string caption(text);
    hwnd_ = CreateWindowExA(0, cls, caption.c_str(), WS_CHILD | WS_VISIBLE | style, rect.x, rect.y,
                            rect.w, rect.h, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
  }

  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return hwnd_ ? SendMessageA(hwnd_, message, wparam, lparam) : 0;
  }
  // Tells the parent what the user did, as the control itself would.
  void notifyParent(int notification) const {
    if (!hwnd_) return;
    SendMessageA(GetParent(hwnd_), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(id_), static_cast<WORD>(notification)),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
  void setFontOf(const Font& font) const {
    send(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<const Win32Font&>(font).handle()), TRUE);
  }

  HWND hwnd_ = nullptr;
  int id_ = 0;
};

class Win32Button : public Button, private ControlBase {
 public:
  Win32Button(std::string_view text, const Rect& rect, HWND parent, int id)
      : ControlBase("BUTTON", text, BS_DEFPUSHBUTTON, rect, parent, id) {}
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  void click() override { notifyParent(BN_CLICKED); }
};

class Win32CheckBox : public CheckBox, private ControlBase {
 public:
  Win32CheckBox(std::string_view text, const Rect& rect, HWND parent, int id)
      : ControlBase("BUTTON", text, BS_AUTOCHECKBOX, rect, parent, id) {}
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  bool checked() const override {
    return hwnd_ && IsDlgButtonChecked(GetParent(hwnd_), id_) == BST_CHECKED;
  }
  void click() override {
    send(BM_SETCHECK, checked() ? BST_UNCHECKED : BST_CHECKED);
    notifyParent(BN_CLICKED);
  }
};

// Without ES_AUTOHSCROLL the system's edit field takes no more characters once the text
// fills its width; with ES_NUMBER it takes only digits from the keyboard.
class Win32EditField : public EditField, private ControlBase {
 public:
  Win32EditField(const EditSpec& desc, HWND parent)
      : ControlBase("EDIT", "", WS_BORDER | (desc.digitsOnly ? ES_NUMBER : 0), desc.rect, parent,
                    desc.id) {}
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  void setText(std::string_view text) override {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
  }
  bool type(char c) override {
    const std::string before = text();
    const auto end = static_cast<WPARAM>(before.size());
    send(EM_SETSEL, end, static_cast<LPARAM>(end));
    send(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    return text() != before;
  }
};

class Win32ListBox : public ListBox, private ControlBase {
 public:
  // The player list expands tabs at the list box's default stops.
  Win32ListBox(const ListBoxSpec& desc, HWND parent)
      : ControlBase("LISTBOX", "",
                    WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_DISABLENOSCROLL |
                        (desc.tabStops.empty() ? 0 : LBS_USETABSTOPS),
                    desc.rect, parent, desc.id) {}
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }

  void addRow(std::string_view text) override {
    send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(text).c_str()));
  }
  void insertRow(int index, std::string_view text) override {
    send(LB_INSERTSTRING, static_cast<WPARAM>(index),
         reinterpret_cast<LPARAM>(std::string(text).c_str()));
  }
  bool deleteRow(int index) override {
    if (index < 0 || !hwnd_) return false;
    return send(LB_DELETESTRING, static_cast<WPARAM>(index)) != LB_ERR;
  }
  void clear() override { send(LB_RESETCONTENT); }
  int rowCount() const override { return hwnd_ ? static_cast<int>(send(LB_GETCOUNT)) : 0; }
  std::string rowText(int index) const override {
    if (index < 0 || index >= rowCount()) return {};
    const LRESULT length = send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got =
        send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
    return text;
  }
  void setRowData(int index, std::int32_t data) override {
    send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  }
  std::int32_t rowData(int index) const override {
    if (index < 0 || index >= rowCount()) return 0;
    return static_cast<std::int32_t>(send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
  }
  int selectedRow() const override {
    if (!hwnd_) return -1;
    const LRESULT row = send(LB_GETCURSEL);
    return row == LB_ERR ? -1 : static_cast<int>(row);
  }
  void selectRow(int index) override { send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
  void userSelect(int index) override {
    selectRow(index);
    notifyParent(LBN_SELCHANGE);
  }
};

class Win32Window : public Window {
 public:
  Win32Window(const WindowSpec& desc)
      : className_(desc.className), kind_(desc.kind), handler_(desc.handler) {
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
    hwnd_ =
        CreateWindowExA(0, desc.className.c_str(), desc.title.c_str(), style, desc.rect.x,
                        desc.rect.y, desc.rect.w, desc.rect.h, parent, nullptr, instance(), this);
    // The class has a private device context: taken once, it is the one every paint cycle
    // hands out too, so a font selected into it stays.
    if (hwnd_) surface_.attach(GetDC(hwnd_));
  }

  ~Win32Window() override {
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
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  bool created() const { return hwnd_ != nullptr; }

  LRESULT handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
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
      case WM_NCDESTROY:
        // The window and its device context are gone; everything after this draws nothing.
        surface_.detach();
        hwnd_ = nullptr;
        break;
      default:
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
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

  const std::string& className() const override { return className_; }
  std::string title() const override { return windowText(hwnd_); }
  Surface& surface() override { return surface_; }

  void copyFrom(const Buffer& from, const Rect& part, Point to) override {
    if (!surface_.dc()) return;
    BitBlt(surface_.dc(), to.x, to.y, part.w, part.h, static_cast<const Win32Buffer&>(from).dc(),
           part.x, part.y, SRCCOPY);
  }

  void invalidate(const Rect& rect) override {
    if (!hwnd_) return;
    const RECT r{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h};
    InvalidateRect(hwnd_, &r, TRUE);
  }

  // Delivers the paint message at once when part of the window is invalid.
  void paintNow() override {
    if (hwnd_) UpdateWindow(hwnd_);
  }

  void show() override {
    if (!hwnd_) return;
    UpdateWindow(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
  }
  void hide() override {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  }
  bool visible() const override { return hwnd_ && IsWindowVisible(hwnd_); }
  void close() override {
    if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  }
  void activate() override {
    if (!hwnd_) return;
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
  }

  Rect clientRect() const override {
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
  Rect outerRect() const override {
    if (!hwnd_) return {};
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  Rgb shownPixel(Point at) override {
    if (!surface_.dc()) return kBlack;
    const COLORREF c = GetPixel(surface_.dc(), at.x, at.y);
    return c == CLR_INVALID ? kBlack : fromColorref(c);
  }

  Button& addButton(std::string_view text, const Rect& rect, int id) override {
    return add(std::make_unique<Win32Button>(text, rect, hwnd_, id));
  }
  CheckBox& addCheckBox(std::string_view text, const Rect& rect, int id) override {
    return add(std::make_unique<Win32CheckBox>(text, rect, hwnd_, id));
  }
  EditField& addEditField(const EditSpec& desc) override {
    return add(std::make_unique<Win32EditField>(desc, hwnd_));
  }
  ListBox& addListBox(const ListBoxSpec& desc) override {
    return add(std::make_unique<Win32ListBox>(desc, hwnd_));
  }

 private:
  template <typename T>
  T& add(std::unique_ptr<T> control) {
    T& made = *control;
    controls_.push_back(std::move(control));
    return made;
  }

  std::string className_;
  WindowKind kind_;
  WindowHandler* handler_;
  HWND hwnd_ = nullptr;
  DcSurface surface_;
  std::vector<std::unique_ptr<Control>> controls_;
};

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(Win32PlatformOptions options)
      : refused_(options.refusedClasses.begin(), options.refusedClasses.end()),
        thread_(GetCurrentThreadId()) {
    // Make sure this thread has a message queue before anyone posts to it.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  ~Win32Platform() override {
    for (const std::string& name : registered_) UnregisterClassA(name.c_str(), instance());
  }

  bool registerClass(const std::string& name) override {
    if (refused_.count(name)) return false;
    if (registered_.count(name)) return true;  // already there, from an earlier start-up
    WNDCLASSA wc{};
    wc.style = kClassStyle;
    wc.lpfnWndProc = &Win32Window::procedure;
    wc.hInstance = instance();
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = name.c_str();
    if (RegisterClassA(&wc) == 0) return false;
    registered_.insert(name);
    return true;
  }

  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override {
    if (!registered_.count(desc.className)) return nullptr;
    auto window = std::make_unique<Win32Window>(desc);
    if (!window->created()) return nullptr;
    return window;
  }

  std::unique_ptr<Buffer> createBuffer(Size size) override {
    return std::make_unique<Win32Buffer>(size);
  }
  std::unique_ptr<Font> createFont(const FontSpec& desc) override {
    return std::make_unique<Win32Font>(desc);
  }

  void messageBox(const std::string& text, const std::string& caption) override {
    if (hook_) {
      hook_(text, caption);
      return;
    }
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  }
  void setMessageBoxHook(MessageBoxHook hook) override { hook_ = std::move(hook); }

  // One message at most per call, so that the run controller's idle step follows every
  // message. With `wait` and an empty queue, the thread sleeps until something arrives. The
  // queue is looked at without handling anything (a message sent from another program and
  // handled here would change what the caller decided on), and the wait also ends for such
  // a sent message, which WaitMessage would handle and go on sleeping.
  bool processEvents(bool wait) override {
    if (quit_) return true;
    if (wait && HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) {
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) quit_ = true;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return quit_;
  }
  void postQuit() override { PostQuitMessage(0); }
  // An empty thread message ends a WaitMessage; it is taken and dispatched to no window.
  void wake() override { PostThreadMessageA(thread_, WM_NULL, 0, 0); }
  void yield() override { Sleep(0); }

 private:
  std::set<std::string> refused_;
  std::set<std::string> registered_;
  DWORD thread_;
  MessageBoxHook hook_;
  bool quit_ = false;
};

}  // namespace

PlatformResult makeWin32Platform(Win32PlatformOptions options) {
  return {std::make_unique<Win32Platform>(std::move(options)), {}};
}

}  // namespace kestravin::platform
