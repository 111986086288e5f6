#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "config/parameters.h"
#include "engine/simulation.h"

namespace kestravin {

/// How one finished run of an experiment went.
struct RunRecord {
  std::int64_t run = 0;
  std::int32_t set = 0;
  std::uint32_t seed = 0;
  RunEnd end = RunEnd::kNone;
  std::int32_t years = 0;  // years simulated
  std::int32_t population = 0;
  std::int32_t maxFitness = 0;
  std::int32_t bestMaxFitness = 0;
  float bestAvgFitness = 0.0f;
  std::int32_t highestPop = 0;
  std::int32_t lowestPop = 0;
  std::int64_t births = 0;  // over the simulated years; the founders are not births
  std::int64_t deaths = 0;
  std::int32_t firstPerfectYear = -1;  // the year a player first matched the string; -1: none

  bool perfect() const { return firstPerfectYear >= 0; }
  bool operator==(const RunRecord&) const = default;
};

/// The name of an end in the experiment's tables: "time-limit", "efficient", "extinct";
/// "other" for any other end.
std::string_view endName(RunEnd end);

/// Runs one simulation to its end and describes it. shouldStop is asked before every year;
/// when it says yes the run is abandoned and nullopt returned. atEnd, when given, sees the
/// finished simulation (its history) before it is released. Throws std::bad_alloc when the
/// run does not fit in memory.
std::optional<RunRecord> runToEnd(const SimParams& params, std::uint32_t seed,
                                  const std::function<bool()>& shouldStop,
                                  const std::function<void(const Simulation&)>& atEnd = {});

}  // namespace kestravin
