// The desktop program: the windows of a run, on the Qt backend, or on Win32 on Windows.
#include <cstdio>
#include <string>

#include "ui/application.h"
#include "ui/command_line.h"
#ifdef _WIN32
#include "ui/platform/win32/win32_platform.h"
#else
#include "ui/platform/qt/qt_platform.h"
#endif

namespace {

// Help, or what is wrong with the command line. A window program on Windows has no console to
// print to: it shows a box there.
void tell(kestravin::platform::Platform* platform, const std::string& text, bool error) {
#ifdef _WIN32
  if (platform) {
    platform->messageBox(text, error ? std::string(kestravin::ui::kErrorCaption) : "Kestravin");
    return;
  }
#else
  (void)platform;
#endif
  std::fprintf(error ? stderr : stdout, "%s\n", text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage(kestravin::ui::kDesktopUsage);
#ifndef _WIN32
  // Help needs no display.
  if (kestravin::ui::parseDesktopArgs(argc, argv).help) {
    tell(nullptr, usage, false);
    return 0;
  }
  // The toolkit takes its own options (such as -platform) out of the command line first.
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
#else
  auto made = kestravin::platform::makeWin32Platform();
#endif
  if (!made.platform) {
    std::fprintf(stderr, "kestravin: %s\n", made.error.c_str());
    return 1;
  }
  const kestravin::ui::DesktopArgs args = kestravin::ui::parseDesktopArgs(argc, argv);
  if (!args.error.empty()) {
    tell(made.platform.get(), "kestravin: " + args.error + "\n" + usage, true);
    return 2;
  }
  if (args.help) {
    tell(made.platform.get(), usage, false);
    return 0;
  }
  kestravin::ui::Application::Options options;
  if (args.seed) options.seedSource = [seed = *args.seed] { return seed; };
  kestravin::ui::Application app(*made.platform, std::move(options));
  return app.run();
}
