# Builds for WebAssembly with Debian's Emscripten (3.1.6, `scripts/deps web`):
#   cmake -S . -B build/wasm -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
# Programs run in a browser, or under Node (ctest uses it as the emulator).
# KESTRAVIN_WASM_SIMD (on) compiles with WebAssembly SIMD, which also gives the engine its SSE2
# paths through Emscripten's SSE2 headers; browsers since 2021 and Node 16 on run it.
if(NOT EMSCRIPTEN_ROOT_PATH)
  set(EMSCRIPTEN_ROOT_PATH /usr/share/emscripten)
endif()
include(${EMSCRIPTEN_ROOT_PATH}/cmake/Modules/Platform/Emscripten.cmake)

option(KESTRAVIN_WASM_SIMD "Use WebAssembly SIMD (and the engine's SSE2 paths through it)" ON)
if(KESTRAVIN_WASM_SIMD)
  set(CMAKE_CXX_FLAGS_INIT "-msimd128 -msse2")
endif()
# Optimised builds are optimised across files at link time: a year of a small team calls from
# one file into another often enough to matter.
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-flto")

# emcc runs Node on its own scripts at link time, and they need Debian's acorn. A Node that is
# not Debian's (NodeSource's, say) does not look in /usr/share/nodejs, so the link is told.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# Node 18 and later would fetch() the .wasm beside a program by its file path and fail: the
# flag makes the loader read the file instead.
find_program(KESTRAVIN_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRAVIN_NODE} --no-experimental-fetch)
