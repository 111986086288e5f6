#pragma once

#include "ui/platform/platform.h"

namespace kestravin::platform {

/// The native Windows backend on user32 and gdi32. Only one may exist at a time, on the
/// thread that runs the program's windows.
PlatformResult makeWin32Platform();

}  // namespace kestravin::platform
