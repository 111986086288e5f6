# Cross-compiles for Windows with Debian's mingw-w64 toolchain.
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# makes the 32-bit programs; -DKESTRAVIN_WINDOWS_ARCH=x86_64 makes 64-bit ones, which Wine
# can run on a machine whose kernel runs no 32-bit programs.
set(KESTRAVIN_WINDOWS_ARCH "i686" CACHE STRING "Windows processor: i686 (32-bit) or x86_64")
set(_triple "${KESTRAVIN_WINDOWS_ARCH}-w64-mingw32")

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KESTRAVIN_WINDOWS_ARCH})
# The posix thread model gives std::thread and std::mutex; winpthreads is linked statically.
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: the C and C++ runtimes and winpthreads are linked in, so nothing
# but Windows' own libraries is needed to run them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests of the cross-compiled programs run under Wine when it is there: wine64 for 64-bit
# programs, and wine (with wine32) for 32-bit ones.
if(KESTRAVIN_WINDOWS_ARCH STREQUAL "x86_64")
  find_program(KESTRAVIN_WINE NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
else()
  find_program(KESTRAVIN_WINE NAMES wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(KESTRAVIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRAVIN_WINE})
endif()
