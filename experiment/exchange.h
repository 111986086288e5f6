#pragma once

#include <string>

#include "experiment/plan.h"
#include "experiment/runner.h"

namespace kestravin {

/// What process 0 tells the others before the runs: whether to go on (status 0 means yes,
/// other values are the exit status), the plan, the worker count (0: one per core) and
/// whether yearly aggregates are wanted.
struct PlanMessage {
  int status = 0;
  Plan plan;
  int jobs = 0;
  bool perYear = false;
};
std::string encodePlan(const PlanMessage& message);
/// Throws std::runtime_error for bytes that encodePlan did not make.
PlanMessage decodePlan(const std::string& bytes);

/// What each process sends back: its finished runs and aggregates, and how it stopped.
std::string encodeResult(const RunnerResult& result);
RunnerResult decodeResult(const std::string& bytes);

/// The results of all processes as one: the runs in run order, the aggregates merged, stopped
/// when any stopped, the first failure named after its process ("process 2: ...").
RunnerResult mergeResults(const std::vector<RunnerResult>& parts, std::size_t sets);

}  // namespace kestravin
