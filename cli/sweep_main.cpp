// kestravin-sweep: many runs of each of several parameter sets, their statistics and plots;
// across the processes of an MPI job when built with KESTRAVIN_MPI.
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define KESTRAVIN_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define KESTRAVIN_ISATTY(f) isatty(fileno(f))
#endif

#include "cli/sweeper.h"
#if KESTRAVIN_MPI
#include "cli/sweep_mpi.h"
#endif

int main(int argc, char** argv) {
  std::unique_ptr<kestravin::Peers> made;
#if KESTRAVIN_MPI
  if (kestravin::startedByMpiLauncher()) made = std::make_unique<kestravin::MpiPeers>(&argc, &argv);
#endif
  if (!made) made = std::make_unique<kestravin::LonePeer>();
  kestravin::Peers& peers = *made;
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool terminal = KESTRAVIN_ISATTY(stderr) != 0;
  try {
    return kestravin::runSweeper(args, std::cout, std::cerr, terminal, peers);
  } catch (const std::bad_alloc&) {
    peers.abort("kestravin-sweep: out of memory, process " + std::to_string(peers.rank()));
  } catch (const std::exception& e) {
    peers.abort("kestravin-sweep: process " + std::to_string(peers.rank()) +
                " failed: " + e.what());
  }
}
