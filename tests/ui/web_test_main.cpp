// Runs the desktop tests on the web backend, in a page of the browser: the tests' output goes
// to the page's console, and the last line says how they ended.
#include <gtest/gtest.h>

#include <cstdio>

#include "ui/platform/web/web_platform.h"
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
  ::testing::InitGoogleTest(&argc, argv);
  auto made = kestravin::platform::web::makeWebPlatform();
  kestravin::platform::testing::TestingPlatform platform(*made.platform);
  kestravin::test::gPlatform = &platform;
  const int result = RUN_ALL_TESTS();
  std::printf("kestravin tests ended: %s\n", result == 0 ? "passed" : "failed");
  std::fflush(stdout);
  return result;
}
