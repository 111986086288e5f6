// Runs the desktop tests on the Win32 backend (under Wine, on a virtual display).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "ui/platform/win32/win32_platform.h"
#include "ui/test_platform.h"

namespace kestravin::test {
namespace {
platform::Platform* gPlatform = nullptr;
}
platform::Platform& testPlatform() {
  return *gPlatform;
}
}  // namespace kestravin::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto made = kestravin::platform::makeWin32Platform();
  if (!made.platform) {
    std::fprintf(stderr, "%s\n", made.error.c_str());
    return 1;
  }
  kestravin::test::gPlatform = made.platform.get();
  return RUN_ALL_TESTS();
}
