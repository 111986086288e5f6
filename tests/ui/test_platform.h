#pragma once

#include "ui/platform/testing.h"

namespace kestravin::test {
/// The one platform of the test process (Qt offscreen, or Win32), behind a testing platform
/// that takes the message boxes when a test asks for them.
platform::testing::TestingPlatform& testPlatform();
}  // namespace kestravin::test
