// The desktop program: the windows of a run, on the Qt backend, or on Win32 on Windows.
#include <cstdio>

#include "ui/application.h"
#ifdef _WIN32
#include "ui/platform/win32/win32_platform.h"
#else
#include "ui/platform/qt/qt_platform.h"
#endif

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
