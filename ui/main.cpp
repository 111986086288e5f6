// The desktop program: the windows of a run, on the Qt backend.
#include <cstdio>

#include "ui/application.h"
#include "ui/platform/qt/qt_platform.h"

int main(int argc, char** argv) {
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
  if (!made.platform) {
    std::fprintf(stderr, "kestravin: %s\n", made.error.c_str());
    return 1;
  }
  kestravin::ui::Application app(*made.platform, {});
  return app.run();
}
