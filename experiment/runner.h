#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "experiment/plan.h"
#include "experiment/run_record.h"
#include "experiment/year_aggregate.h"

namespace kestravin {

/// Which runs of a plan one process makes: first, first + stride, ... (MPI rank and size).
struct Share {
  std::int64_t first = 0;
  std::int64_t stride = 1;
};

/// What a runner leaves: the finished runs in run order and, when asked for, the yearly
/// aggregate of each set's finished runs.
struct RunnerResult {
  std::vector<RunRecord> records;
  std::vector<YearAggregate> years;  // one per set; empty without perYear
  bool stopped = false;              // shouldStop said yes before every run was made
  std::string failure;               // why runs could not be made; empty when none failed
};

/// Makes the runs of a share on worker threads, each taking the next run not yet taken.
/// Memory grows with the workers (one team and history each) and the rows, not the runs.
class Runner {
 public:
  /// Starts up to jobs threads at once. shouldStop is asked before every year of every run,
  /// from the workers; when it says yes, runs in progress are abandoned and no run starts.
  Runner(const Plan& plan, Share share, int jobs, bool perYear, std::function<bool()> shouldStop);
  ~Runner();
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  /// Runs in the share, and runs finished so far.
  std::int64_t total() const { return count_; }
  std::int64_t done() const { return done_.load(std::memory_order_relaxed); }
  /// Waits at most `wait` for the workers to end; true when they have.
  bool waitFor(std::chrono::milliseconds wait);
  /// Waits for the workers and hands over what they made.
  RunnerResult finish();

 private:
  void work(std::size_t worker);
  void fail(const std::string& why);

  const Plan& plan_;
  Share share_;
  std::int64_t count_;
  bool perYear_;
  std::function<bool()> shouldStop_;

  std::atomic<std::int64_t> next_{0};
  std::atomic<std::int64_t> done_{0};
  std::atomic<bool> halt_{false};
  std::atomic<bool> stopped_{false};
  std::vector<std::vector<RunRecord>> records_;  // one list per worker
  std::vector<YearAggregate> years_;
  std::unique_ptr<std::mutex[]> yearLocks_;  // one per set

  std::mutex mutex_;  // guards running_ and failure_
  std::condition_variable ended_;
  std::size_t running_ = 0;
  std::string failure_;
  std::vector<std::thread> threads_;
};

}  // namespace kestravin
