// The desktop program: the windows of a run, on the Qt backend, or on Win32 on Windows; and
// the same program as a web page.
#include <cstdio>

#include "ui/application.h"
#ifdef _WIN32
#include "ui/platform/win32/win32_platform.h"
#elif defined(__EMSCRIPTEN__)
#include "ui/platform/web/web_platform.h"
#else
#include "ui/platform/qt/qt_platform.h"
#endif

#ifdef __EMSCRIPTEN__
// The page: the shipped constants file is built in, and reports go to the user as downloads.
// The page's own event loop runs the program after main has returned, so the platform and the
// program live as long as the page.
int main() {
  namespace web = kestravin::platform::web;
  static auto made = web::makeWebPlatform();
  static kestravin::ui::Application app(*made.platform, {"/consts.txt", web::kOutbox, {}});
  if (!app.start()) return 1;
  static_cast<web::WebPlatform&>(*made.platform).runInPage([] { return app.loopPass(); });
  return 0;
}
#else
int main(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  auto made = kestravin::platform::makeWin32Platform();
#else
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
#endif
  if (!made.platform) {
    std::fprintf(stderr, "kestravin: %s\n", made.error.c_str());
    return 1;
  }
  kestravin::ui::Application app(*made.platform, {});
  return app.run();
}
#endif
