#include "experiment/runner.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace kestravin {

Runner::Runner(const Plan& plan, Share share, int jobs, bool perYear,
               std::function<bool()> shouldStop)
    : plan_(plan),
      share_(share),
      count_(share.first < plan.totalRuns()
                 ? (plan.totalRuns() - share.first + share.stride - 1) / share.stride
                 : 0),
      perYear_(perYear),
      shouldStop_(std::move(shouldStop)) {
  if (perYear_) {
    years_.resize(plan.sets.size());
    yearLocks_ = std::make_unique<std::mutex[]>(plan.sets.size());
  }
  const auto workers =
      static_cast<std::size_t>(std::clamp<std::int64_t>(count_, 0, std::max(jobs, 1)));
  records_.resize(workers);
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t w = 0; w < workers; ++w) {
    try {
      threads_.emplace_back(&Runner::work, this, w);
      ++running_;
    } catch (const std::system_error& e) {
      if (threads_.empty()) failure_ = std::string("no worker thread could start: ") + e.what();
      break;  // fewer workers do the same work
    }
  }
}

Runner::~Runner() {
  halt_ = true;
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
}

void Runner::fail(const std::string& why) {
  halt_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  if (failure_.empty()) failure_ = why;
}

void Runner::work(std::size_t worker) {
  std::vector<RunRecord>& mine = records_[worker];
  const auto stopNow = [this] {
    if (halt_.load(std::memory_order_relaxed)) return true;
    if (!shouldStop_ || !shouldStop_()) return false;
    stopped_ = true;
    halt_ = true;
    return true;
  };
  while (!stopNow()) {
    const std::int64_t k = next_.fetch_add(1, std::memory_order_relaxed);
    if (k >= count_) break;
    const std::int64_t run = share_.first + k * share_.stride;
    const int set = plan_.setOf(run);
    std::function<void(const Simulation&)> atEnd;
    if (perYear_) {
      atEnd = [this, set](const Simulation& sim) {
        std::lock_guard<std::mutex> lock(yearLocks_[set]);
        years_[set].addRun(sim.history(), sim.stats().year);
      };
    }
    try {
      auto record = runToEnd(plan_.sets[set].params, plan_.seedOf(run), stopNow, atEnd);
      if (!record) break;
      record->run = run;
      record->set = set;
      mine.push_back(*record);
      done_.fetch_add(1, std::memory_order_relaxed);
    } catch (const std::bad_alloc&) {
      fail("run " + std::to_string(run) + " (set " + std::to_string(set) +
           ") does not fit in memory");
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  --running_;
  ended_.notify_all();
}

bool Runner::waitFor(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  return ended_.wait_for(lock, wait, [this] { return running_ == 0; });
}

RunnerResult Runner::finish() {
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
  RunnerResult result;
  for (auto& list : records_) {
    result.records.insert(result.records.end(), list.begin(), list.end());
    list = {};
  }
  std::sort(result.records.begin(), result.records.end(),
            [](const RunRecord& a, const RunRecord& b) { return a.run < b.run; });
  result.years = std::move(years_);
  result.stopped = stopped_;
  result.failure = failure_;
  return result;
}

}  // namespace kestravin
