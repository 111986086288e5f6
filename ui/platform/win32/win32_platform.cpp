#include "ui/platform/win32/win32_platform.h"

#include <set>

#include "ui/platform/win32/win32_surface.h"
#include "ui/platform/win32/win32_util.h"
#include "ui/platform/win32/win32_window.h"

namespace kestravin::platform {

namespace {

// Every class of the program: redrawn whole when resized, double clicks, a private device
// context (so a font selected once stays), the standard icon and arrow, a black background.
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;

class Win32Platform : public Platform {
 public:
  Win32Platform() : thread_(GetCurrentThreadId()) {
    // Make sure this thread has a message queue before anyone posts to it.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  ~Win32Platform() override {
    for (const std::string& name : registered_) UnregisterClassA(name.c_str(), instance());
  }

  bool registerClass(const std::string& name) override {
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
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  }

  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override {
    answer(MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OKCANCEL) == IDOK);
  }

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
  std::set<std::string> registered_;
  DWORD thread_;
  bool quit_ = false;
};

}  // namespace

PlatformResult makeWin32Platform() {
  return {std::make_unique<Win32Platform>(), {}};
}

}  // namespace kestravin::platform
