// kestravin-sim: runs one simulation headless, for batch runs and reproducible experiments.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define KESTRAVIN_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define KESTRAVIN_ISATTY(f) isatty(fileno(f))
#endif

#include "cli/simulator.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kestravin::runSimulator(args, std::cout, std::cerr, KESTRAVIN_ISATTY(stderr) != 0);
}
