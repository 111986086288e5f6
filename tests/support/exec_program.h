#pragma once

// Starts one of the build's programs in a forked test process, under the build's emulator
// (qemu-i386, say) when it has one. For tests that fork; none where there is no fork.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <unistd.h>

namespace kestravin::test {

template <typename... Args>
[[noreturn]] void execProgram(const char* program, Args... args) {
  constexpr const char* emulator = KESTRAVIN_TEST_EMULATOR;
  if (emulator[0] != '\0') {
    execl(emulator, emulator, program, args..., static_cast<char*>(nullptr));
  } else {
    execl(program, program, args..., static_cast<char*>(nullptr));
  }
  _exit(127);
}

}  // namespace kestravin::test
#endif
