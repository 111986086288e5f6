#include "cli/sweep_mpi.h"

#include <mpi.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kestravin {

namespace {

// MPI counts are ints: long messages go in pieces.
constexpr std::size_t kPiece = 1u << 30;
constexpr int kResultTag = 15;

void sendAll(const std::string& bytes, int to) {
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const int n = static_cast<int>(std::min(kPiece, bytes.size() - at));
    MPI_Send(bytes.data() + at, n, MPI_CHAR, to, kResultTag, MPI_COMM_WORLD);
  }
}

void receiveAll(std::string& bytes, int from) {
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const int n = static_cast<int>(std::min(kPiece, bytes.size() - at));
    MPI_Recv(bytes.data() + at, n, MPI_CHAR, from, kResultTag, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  }
}

}  // namespace

bool startedByMpiLauncher() {
  // Open MPI, PMIx (Open MPI 5, Slurm), PMI (MPICH's Hydra, Slurm) and Slurm's own.
  for (const char* name :
       {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_RANK", "PMI_SIZE", "SLURM_PROCID"}) {
    if (std::getenv(name) != nullptr) return true;
  }
  return false;
}

MpiPeers::MpiPeers(int* argc, char*** argv) {
  // Only the main thread talks to MPI; the workers only simulate.
  int provided = 0;
  MPI_Init_thread(argc, argv, MPI_THREAD_FUNNELED, &provided);
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
  char name[MPI_MAX_PROCESSOR_NAME] = "";
  int length = 0;
  MPI_Get_processor_name(name, &length);
  host_.assign(name, static_cast<std::size_t>(std::max(length, 0)));
}

MpiPeers::~MpiPeers() {
  MPI_Finalize();
}

void MpiPeers::broadcast(std::string& bytes) {
  std::uint64_t size = bytes.size();
  MPI_Bcast(&size, 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
  bytes.resize(static_cast<std::size_t>(size));
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const int n = static_cast<int>(std::min(kPiece, bytes.size() - at));
    MPI_Bcast(bytes.data() + at, n, MPI_CHAR, 0, MPI_COMM_WORLD);
  }
}

std::vector<std::string> MpiPeers::gather(const std::string& bytes) {
  std::uint64_t mine = bytes.size();
  std::vector<std::uint64_t> sizes(rank_ == 0 ? static_cast<std::size_t>(size_) : 0);
  MPI_Gather(&mine, 1, MPI_UINT64_T, sizes.data(), 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
  if (rank_ != 0) {
    sendAll(bytes, 0);
    return {};
  }
  std::vector<std::string> parts(static_cast<std::size_t>(size_));
  parts[0] = bytes;
  for (int from = 1; from < size_; ++from) {
    parts[from].resize(static_cast<std::size_t>(sizes[from]));
    receiveAll(parts[from], from);
  }
  return parts;
}

void MpiPeers::abort(const std::string& message) {
  std::fprintf(stderr, "%s (MPI process %d of %d, on %s)\n", message.c_str(), rank_, size_,
               host_.c_str());
  std::fflush(stderr);
  MPI_Abort(MPI_COMM_WORLD, 1);
  std::abort();
}

}  // namespace kestravin
