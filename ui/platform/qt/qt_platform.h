#pragma once

#include "ui/platform/platform.h"

namespace kestravin::platform {

/// The Qt Widgets backend. Only one may exist at a time. Without a display (and without
/// QT_QPA_PLATFORM naming one, such as offscreen) it returns an error line instead of letting
/// the toolkit abort.
PlatformResult makeQtPlatform(int& argc, char** argv);

}  // namespace kestravin::platform
