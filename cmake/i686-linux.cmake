# Builds for 32-bit x86 Linux at the i686 baseline: x87 floating point and no SSE2, the code
# paths of the 32-bit Windows program, run natively.
#   cmake --preset i686
# Where the kernel runs no 32-bit programs, they run under qemu-i386 instead.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
# Static programs need no 32-bit libraries at run time, natively or under an emulator.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

# The 64-bit GoogleTest and Google Benchmark of the system cannot be linked.
set(CMAKE_DISABLE_FIND_PACKAGE_GTest ON)
set(CMAKE_DISABLE_FIND_PACKAGE_benchmark ON)

set(_probe "${CMAKE_BINARY_DIR}/i686-probe")
if(NOT DEFINED KESTRAVIN_I686_RUNS_NATIVELY)
  file(WRITE "${_probe}.c" "int main(void) { return 0; }\n")
  execute_process(COMMAND gcc -m32 -march=i686 -static "${_probe}.c" -o "${_probe}"
                  RESULT_VARIABLE _built OUTPUT_QUIET ERROR_QUIET)
  set(_runs FALSE)
  if(_built EQUAL 0)
    execute_process(COMMAND "${_probe}" RESULT_VARIABLE _ran OUTPUT_QUIET ERROR_QUIET)
    if(_ran EQUAL 0)
      set(_runs TRUE)
    endif()
  endif()
  set(KESTRAVIN_I686_RUNS_NATIVELY ${_runs} CACHE BOOL "The kernel runs 32-bit programs")
endif()
if(NOT KESTRAVIN_I686_RUNS_NATIVELY)
  find_program(KESTRAVIN_QEMU_I386 qemu-i386)
  if(KESTRAVIN_QEMU_I386)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRAVIN_QEMU_I386})
  endif()
endif()
