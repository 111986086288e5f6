#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/platform/platform.h"

namespace kestravin::platform {

struct QtPlatformOptions {
  /// Window classes that registerClass refuses, so that start-up failures can be tested.
  std::vector<std::string> refusedClasses;
};

/// The Qt Widgets backend. Only one may exist at a time. Without a display (and without
/// QT_QPA_PLATFORM naming one, such as offscreen) it returns an error line instead of letting
/// the toolkit abort.
PlatformResult makeQtPlatform(int& argc, char** argv, QtPlatformOptions options = {});

}  // namespace kestravin::platform
