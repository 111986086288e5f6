// Drives the real Windows program from outside, through its windows and messages, as a user
// would: it checks the windows, presses the buttons, asks for a report, reads the report file
// and looks at a screenshot of the main window.
//
//   desktop_smoke <kestravin.exe> <consts.txt> <empty work folder>
//
// Exit code 0 when everything held; otherwise every failed check has been printed.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

std::string textOf(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string classOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

struct Found {
  DWORD process = 0;
  std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == found->process) found->windows.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK collectChildren(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, collectChildren, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND childWith(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND child : childrenOf(parent)) {
    // The system's own classes answer in their own case ("Button", "ListBox").
    if (lstrcmpiA(classOf(child).c_str(), cls.c_str()) == 0 &&
        (text.empty() || textOf(child) == text)) {
      return child;
    }
  }
  return nullptr;
}

// The top-level window of the process with this class, or nullptr.
HWND topLevel(DWORD process, const std::string& cls) {
  Found found{process, {}};
  EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&found));
  for (HWND hwnd : found.windows) {
    if (classOf(hwnd) == cls) return hwnd;
  }
  return nullptr;
}

// Presses a button as its click notification reaches the parent; handled before the return.
void press(HWND parent, HWND button) {
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The screen under a window's client area, from its top-left corner, as 24-bit pixels; also
// written out as a BMP picture to look at.
struct Shot {
  int w = 0;
  int h = 0;
  std::vector<unsigned char> bgr;  // bottom-up rows, padded to 4 bytes
  COLORREF at(int x, int y) const {
    const int stride = (w * 3 + 3) & ~3;
    const std::size_t i = static_cast<std::size_t>((h - 1 - y) * stride + x * 3);
    return RGB(bgr[i + 2], bgr[i + 1], bgr[i]);
  }
};

Shot screenshot(HWND window, int w, int h, const fs::path& file) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, old);

  Shot shot;
  shot.w = w;
  shot.h = h;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int stride = (w * 3 + 3) & ~3;
  shot.bgr.resize(static_cast<std::size_t>(stride * h));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), shot.bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + static_cast<DWORD>(shot.bgr.size());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(reinterpret_cast<const char*>(shot.bgr.data()),
            static_cast<std::streamsize>(shot.bgr.size()));
  return shot;
}

bool isBlue(COLORREF c) {
  return GetRValue(c) == 0 && GetGValue(c) == 0 && GetBValue(c) == 255;
}

// Presses keys as the keyboard would, in the foreground window: each key of `keys` goes down
// in order and comes up in reverse.
void pressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto k = keys.size(); k-- > 0;) {
    INPUT in = inputs[k];
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A visible dialog box of the process with this title, waited for up to five seconds.
HWND dialogOf(DWORD process, const std::string& title) {
  for (int k = 0; k < 50; ++k) {
    Found found{process, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&found));
    for (HWND hwnd : found.windows) {
      if (classOf(hwnd) == "#32770" && IsWindowVisible(hwnd) && textOf(hwnd) == title) return hwnd;
    }
    Sleep(100);
  }
  return nullptr;
}

std::uint32_t big32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = v << 8 | static_cast<std::uint8_t>(s[at + k]);
  return v;
}

// The pixels of a PNG of the program's kind (8-bit RGB, stored deflate blocks, no filters),
// row by row as COLORREFs; empty when it is not one.
std::vector<COLORREF> pngPixels(const std::string& file, int& w, int& h) {
  std::vector<COLORREF> pixels;
  if (file.size() < 33 || file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return pixels;
  w = static_cast<int>(big32(file, 16));
  h = static_cast<int>(big32(file, 20));
  std::string zlib;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::uint32_t length = big32(file, at);
    if (file.compare(at + 4, 4, "IDAT") == 0) zlib += file.substr(at + 8, length);
    at += 12 + length;
  }
  std::string raw;
  for (std::size_t at = 2; at + 5 <= zlib.size();) {
    const std::size_t n = static_cast<std::uint8_t>(zlib[at + 1]) |
                          static_cast<std::size_t>(static_cast<std::uint8_t>(zlib[at + 2])) << 8;
    raw += zlib.substr(at + 5, n);
    if (zlib[at] & 1) break;
    at += 5 + n;
  }
  const std::size_t stride = 1 + 3 * static_cast<std::size_t>(w);
  if (raw.size() != stride * static_cast<std::size_t>(h)) return pixels;
  for (std::size_t y = 0; y < static_cast<std::size_t>(h); ++y) {
    for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x) {
      const char* p = &raw[y * stride + 1 + 3 * x];
      pixels.push_back(RGB(static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[1]),
                           static_cast<std::uint8_t>(p[2])));
    }
  }
  return pixels;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: desktop_smoke <kestravin.exe> <consts.txt> <work folder>\n");
    return 2;
  }
  const fs::path program = fs::absolute(argv[1]);
  const fs::path folder = fs::absolute(argv[3]);
  std::error_code ec;
  fs::create_directories(folder, ec);
  fs::copy_file(argv[2], folder / "consts.txt", fs::copy_options::overwrite_existing, ec);
  if (ec) {
    std::fprintf(stderr, "cannot copy the constants file: %s\n", ec.message().c_str());
    return 2;
  }

  // A seed from the command line: the program starts as it does without one.
  std::string commandLine = "\"" + program.string() + "\" --seed 5";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(program.string().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder.string().c_str(), &startup, &child)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", program.string().c_str(), GetLastError());
    return 2;
  }

  // The main window is shown at the end of start-up.
  HWND main = nullptr;
  for (int k = 0; k < 300 && !(main && IsWindowVisible(main)); ++k) {
    main = topLevel(child.dwProcessId, "MAINCLASS");
    Sleep(100);
  }
  check(main && IsWindowVisible(main), "the main window is shown");
  if (!main) {
    TerminateProcess(child.hProcess, 1);
    return 1;
  }
  check(textOf(main) == "Kestravin", "the main window's title is \"Kestravin\"");
  check(FindWindowA("MAINCLASS", "Kestravin") == main, "FindWindowA finds it by class and title");

  HWND options = topLevel(child.dwProcessId, "OPTCLASS");
  HWND graph = topLevel(child.dwProcessId, "GRAPHCLASS");
  check(options && textOf(options) == "Options" && !IsWindowVisible(options),
        "the options window (\"OPTCLASS\", \"Options\") exists, hidden");
  check(graph && textOf(graph) == "Genetic Graphs" && !IsWindowVisible(graph),
        "the graph window (\"GRAPHCLASS\", \"Genetic Graphs\") exists, hidden");

  RECT outer{};
  GetWindowRect(main, &outer);
  check(outer.right - outer.left == 500 && outer.bottom - outer.top == 525,
        "the main window's outer size is 500 x 525");

  HWND panel = childWith(main, "PLAYERCLASS", "");
  HWND busy = childWith(main, "STATUSCLASS", "");
  HWND list = childWith(main, "LISTBOX", "");
  check(panel != nullptr, "the player panel (\"PLAYERCLASS\") is in the main window");
  check(busy != nullptr, "the busy indicator (\"STATUSCLASS\") is in the main window");
  check(list && GetDlgCtrlID(list) == 160, "the player list has the id 160");

  const struct {
    const char* text;
    int id;
  } buttons[] = {
      {"Start/Stop", 100}, {"Reset", 101}, {"Options", 103}, {"Step", 104}, {"Graphs", 105}};
  HWND buttonOf[5] = {};
  for (int k = 0; k < 5; ++k) {
    buttonOf[k] = childWith(main, "BUTTON", buttons[k].text);
    check(buttonOf[k] && GetDlgCtrlID(buttonOf[k]) == buttons[k].id,
          std::string("the button \"") + buttons[k].text + "\" has the id " +
              std::to_string(buttons[k].id));
  }
  HWND startStop = buttonOf[0], reset = buttonOf[1], step = buttonOf[3];
  if (!startStop || !reset || !step || !list || !options) {
    TerminateProcess(child.hProcess, 1);
    return 1;
  }

  // The shipped constants give founders, listed at start-up.
  const LRESULT founders = SendMessageA(list, LB_GETCOUNT, 0, 0);
  check(founders > 0, "the founders are listed (" + std::to_string(founders) + " rows)");

  // The status panel's separator: blue from x 5 to 489 at y 32, black just outside.
  Sleep(500);
  RECT client{};
  GetClientRect(main, &client);
  const Shot shot = screenshot(main, client.right, client.bottom, folder / "main-window.bmp");
  bool separator = true;
  for (int x = 5; x <= 489; ++x) separator = separator && isBlue(shot.at(x, 32));
  check(separator, "the separator line is blue over x 5..489 at y 32");
  check(shot.at(4, 32) == RGB(0, 0, 0) && shot.at(490, 32) == RGB(0, 0, 0),
        "the separator line ends at x 5 and 489");

  // A step is asked for by the button and made by the next passes of the main loop.
  press(main, step);
  Sleep(300);
  check(SendMessageA(list, LB_GETCOUNT, 0, 0) > 0, "after Step the list shows the players");

  // The shipped constants may let the run end within a second, which lists the players
  // again; the list is looked at right after the press.
  press(main, startStop);
  check(SendMessageA(list, LB_GETCOUNT, 0, 0) == 0, "Start/Stop empties the list and runs");
  Sleep(300);
  press(main, startStop);
  check(SendMessageA(list, LB_GETCOUNT, 0, 0) > 0, "Start/Stop again shows the players");

  HWND outputToFile = childWith(options, "BUTTON", "Output to File");
  check(outputToFile && GetDlgCtrlID(outputToFile) == 102, "\"Output to File\" has the id 102");
  if (outputToFile) SendMessageA(outputToFile, BM_SETCHECK, BST_CHECKED, 0);
  check(IsDlgButtonChecked(options, 102) == BST_CHECKED, "\"Output to File\" is ticked");
  press(main, reset);
  for (int k = 0; k < 3; ++k) {
    press(main, step);
    Sleep(300);
  }

  const fs::path report = folder / "generation 0.txt";
  check(fs::exists(report), "Reset with the box ticked makes \"generation 0.txt\"");

  // The graph window's Ctrl+S opens the common save dialog; the picture it saves holds what
  // the window shows. Saving again to the same name asks first, and No keeps the file.
  press(main, buttonOf[4]);
  Sleep(500);
  check(IsWindowVisible(graph), "Graphs shows the graph window");
  SetForegroundWindow(graph);
  Sleep(300);
  pressKeys({VK_CONTROL, 'S'});
  HWND dialog = dialogOf(child.dwProcessId, "Save picture");
  check(dialog != nullptr, "Ctrl+S in the graph window opens the dialog \"Save picture\"");
  const fs::path picture = folder / "graph.png";
  if (dialog) {
    // The file name box: a combo box in the Explorer-style dialog, an edit field otherwise.
    if (!SetDlgItemTextA(dialog, 1148, picture.string().c_str())) {
      SetDlgItemTextA(dialog, 1152, picture.string().c_str());
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    for (int k = 0; k < 50 && !fs::exists(picture); ++k) Sleep(100);
  }
  Sleep(500);
  int w = 0, h = 0;
  const std::vector<COLORREF> saved = pngPixels(slurp(picture), w, h);
  check(
      w == 440 && h == 340 && saved.size() == 440u * 340u,
      "the picture is a PNG of 440 x 340 (" + std::to_string(w) + " x " + std::to_string(h) + ")");
  const Shot shown = screenshot(graph, 445, 345, folder / "graph-window.bmp");
  int differ = 0;
  for (int y = 0; y < h && !saved.empty(); ++y) {
    for (int x = 0; x < w; ++x)
      differ += saved[static_cast<std::size_t>(y * w + x)] != shown.at(x + 5, y + 5);
  }
  check(!saved.empty() && differ == 0,
        "the picture is the graph window's pixels (" + std::to_string(differ) + " differ)");

  const auto before = fs::last_write_time(picture, ec);
  SetForegroundWindow(graph);
  Sleep(300);
  pressKeys({VK_CONTROL, 'S'});
  dialog = dialogOf(child.dwProcessId, "Save picture");
  if (dialog) {
    if (!SetDlgItemTextA(dialog, 1148, picture.string().c_str())) {
      SetDlgItemTextA(dialog, 1152, picture.string().c_str());
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }
  // The dialog's own question has the dialog's title too; it is the one that is not the dialog.
  HWND question = nullptr;
  for (int k = 0; k < 50 && !question; ++k) {
    Found found{child.dwProcessId, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&found));
    for (HWND hwnd : found.windows) {
      if (hwnd != dialog && classOf(hwnd) == "#32770" && IsWindowVisible(hwnd)) question = hwnd;
    }
    if (!question) Sleep(100);
  }
  check(question != nullptr, "saving over an existing file asks first");
  if (question) PostMessageA(question, WM_COMMAND, IDNO, 0);
  Sleep(500);
  if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  Sleep(500);
  check(fs::last_write_time(picture, ec) == before, "No leaves the file as it was");

  // Closing the main window ends the program, and the report is written out whole.
  PostMessageA(main, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0;
  DWORD exitCode = 1;
  GetExitCodeProcess(child.hProcess, &exitCode);
  check(ended && exitCode == 0, "closing the main window ends the program with exit code 0");
  if (!ended) TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  const std::string text = slurp(report);
  std::size_t blocks = 0;
  for (std::size_t at = text.find("**** Team Info, Year "); at != std::string::npos;
       at = text.find("**** Team Info, Year ", at + 1)) {
    ++blocks;
  }
  check(blocks == 4, "the report has the founders' year and three steps (" +
                         std::to_string(blocks) + " blocks)");
  bool crlf = !text.empty();
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\n') crlf = crlf && k > 0 && text[k - 1] == '\r';
  }
  check(crlf, "every line of the report ends in CR LF");
  const std::string rule = "\r\n" + std::string(31, '*') + "\r\n\r\n";
  check(
      text.size() >= rule.size() && text.compare(text.size() - rule.size(), rule.size(), rule) == 0,
      "the report ends with its closing rule");

  std::printf("%s\n", failures == 0 ? "all checks held" : "some checks failed");
  return failures == 0 ? 0 : 1;
}
