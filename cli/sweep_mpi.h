#pragma once

#include <string>
#include <vector>

#include "experiment/peers.h"

namespace kestravin {

/// Whether an MPI launcher (mpirun, mpiexec, srun) started this process, as its environment
/// tells. A program started alone then skips MPI's start-up, which costs a good part of a
/// second and may wait much longer.
bool startedByMpiLauncher();

/// The processes of an MPI job (MPI_COMM_WORLD). Initialises MPI when made and finalises it
/// when destroyed; only the thread that made it may use it.
class MpiPeers : public Peers {
 public:
  MpiPeers(int* argc, char*** argv);
  ~MpiPeers() override;
  MpiPeers(const MpiPeers&) = delete;
  MpiPeers& operator=(const MpiPeers&) = delete;

  int rank() const override { return rank_; }
  int size() const override { return size_; }
  void broadcast(std::string& bytes) override;
  std::vector<std::string> gather(const std::string& bytes) override;
  /// Prints the message with this process's rank and host, then ends the whole job.
  [[noreturn]] void abort(const std::string& message) override;

 private:
  int rank_ = 0;
  int size_ = 1;
  std::string host_;
};

}  // namespace kestravin
