#pragma once

#include "ui/platform/platform.h"

namespace kestravin::test {
/// The one Qt platform of the test process (offscreen).
platform::Platform& testPlatform();
}  // namespace kestravin::test
