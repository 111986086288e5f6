#include "ui/platform/win32/win32_platform.h"

#include <cstring>
#include <set>

#include "ui/platform/win32/win32_surface.h"
#include "ui/platform/win32/win32_util.h"
#include "ui/platform/win32/win32_window.h"

// The common dialogs need windows.h before them.
#include <commdlg.h>

namespace kestravin::platform {

namespace {

// The window that a console's Ctrl+C (or its closing) closes, and an event set once the
// program has shut down, for which a closing console waits.
HWND gCloseOnTermination = nullptr;
HANDLE gShutDown = nullptr;

// Runs on a thread of its own: it only posts, and for a console that is going away waits a
// little for the shutdown, as the system ends the process when it returns.
BOOL WINAPI onConsoleControl(DWORD event) {
  if (!gCloseOnTermination) return FALSE;
  PostMessageA(gCloseOnTermination, WM_CLOSE, 0, 0);
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    if (gShutDown) WaitForSingleObject(gShutDown, 4000);
  }
  return TRUE;
}

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
    if (gShutDown) {
      SetConsoleCtrlHandler(onConsoleControl, FALSE);
      gCloseOnTermination = nullptr;
      SetEvent(gShutDown);
      CloseHandle(gShutDown);
      gShutDown = nullptr;
    }
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

  // The common save dialog, which asks itself before a file is replaced.
  std::optional<std::string> askSaveFileName(const SaveDialogSpec& request) override {
    char file[MAX_PATH] = {};
    std::strncpy(file, request.fileName.c_str(), sizeof file - 1);
    // Pairs of NUL-ended texts, the list ended by an empty one.
    std::string filter = request.typeName + " (*." + request.extension + ")";
    filter += '\0';
    filter += "*." + request.extension;
    filter += '\0';
    filter += '\0';
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner ? static_cast<Win32Window*>(request.owner)->hwnd() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = request.title.c_str();
    ofn.lpstrDefExt = request.extension.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&ofn)) return std::nullopt;
    return std::string(file);
  }

  void copyText(std::string_view text) override {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
      if (auto* bytes = static_cast<char*>(GlobalLock(memory))) {
        std::memcpy(bytes, text.data(), text.size());
        bytes[text.size()] = '\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
      } else {
        GlobalFree(memory);
      }
    }
    CloseClipboard();
  }

  // Ctrl+C or Ctrl+Break in the program's console, or the console closing, close the window
  // as the user would; a window program without a console hears nothing of the kind.
  void closeOnTermination(Window& window) override {
    gCloseOnTermination = static_cast<Win32Window&>(window).hwnd();
    if (gShutDown) return;
    gShutDown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
  }

  // One message at most per call, so that the run controller's idle step follows every
  // message. With `wait` and an empty queue, the thread sleeps until something arrives. The
  // queue is looked at without handling anything (a message sent from another program and
  // handled here would change what the caller decided on), and the wait also ends for such
  // a sent message, which WaitMessage would handle and go on sleeping.
  //
  // Once quit has been asked for, messages are still handled (a program made afterwards in the
  // same process, as the tests make them, gets its messages), but never waited for.
  bool processEvents(bool wait) override {
    if (wait && !quit_ && HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) {
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) quit_ = true;
      if (!Win32Window::routeKey(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (quit_ && gShutDown) SetEvent(gShutDown);
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
