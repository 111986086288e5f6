// Runs the desktop tests on the Win32 backend (under Wine, on a virtual display).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "ui/platform/win32/win32_platform.h"
#include "ui/test_platform.h"

namespace kestravin::test {
namespace {
platform::testing::TestingPlatform* gPlatform = nullptr;
}
platform::testing::TestingPlatform& testPlatform() {
  return *gPlatform;
}
}  // namespace kestravin::test

int main(int argc, char** argv) {
  kestravin::platform::testing::prepareTerminationRequests();
  ::testing::InitGoogleTest(&argc, argv);
  auto made = kestravin::platform::makeWin32Platform();
  if (!made.platform) {
    std::fprintf(stderr, "%s\n", made.error.c_str());
    return 1;
  }
  kestravin::platform::testing::TestingPlatform platform(*made.platform);
  kestravin::test::gPlatform = &platform;
  return RUN_ALL_TESTS();
}
