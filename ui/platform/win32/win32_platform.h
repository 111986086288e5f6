#pragma once

#include <string>
#include <vector>

#include "ui/platform/platform.h"

namespace kestravin::platform {

struct Win32PlatformOptions {
  /// Window classes that registerClass refuses, so that start-up failures can be tested.
  std::vector<std::string> refusedClasses;
};

/// The native Windows backend on user32 and gdi32. Only one may exist at a time, on the
/// thread that runs the program's windows.
PlatformResult makeWin32Platform(Win32PlatformOptions options = {});

}  // namespace kestravin::platform
