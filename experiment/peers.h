#pragma once

#include <string>
#include <vector>

namespace kestravin {

/// The processes that make one experiment together (MPI ranks), numbered from 0; process 0
/// reads the input and writes the outputs. Every process calls the exchanges in the same
/// order.
class Peers {
 public:
  virtual ~Peers() = default;
  virtual int rank() const = 0;
  virtual int size() const = 0;
  /// Process 0's bytes, handed to every process.
  virtual void broadcast(std::string& bytes) = 0;
  /// Every process's bytes, in rank order, at process 0; the others get nothing.
  virtual std::vector<std::string> gather(const std::string& bytes) = 0;
  /// Ends every process of the experiment after a failure that this one cannot recover
  /// from; the message names this process.
  [[noreturn]] virtual void abort(const std::string& message) = 0;
};

/// A single process.
class LonePeer : public Peers {
 public:
  int rank() const override { return 0; }
  int size() const override { return 1; }
  void broadcast(std::string&) override {}
  std::vector<std::string> gather(const std::string& bytes) override { return {bytes}; }
  [[noreturn]] void abort(const std::string& message) override;
};

}  // namespace kestravin
