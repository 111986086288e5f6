#include "experiment/run_record.h"

namespace kestravin {

std::string_view endName(RunEnd end) {
  switch (end) {
    case RunEnd::kTimeLimit:
      return "time-limit";
    case RunEnd::kEfficientPlayer:
      return "efficient";
    case RunEnd::kExtinct:
      return "extinct";
    default:
      return "other";
  }
}

std::optional<RunRecord> runToEnd(const SimParams& params, std::uint32_t seed,
                                  const std::function<bool()>& shouldStop,
                                  const std::function<void(const Simulation&)>& atEnd) {
  Simulation sim(params, seed);
  RunRecord record;
  record.seed = seed;
  while (sim.end() == RunEnd::kNone) {
    if (shouldStop && shouldStop()) return std::nullopt;
    sim.advance();
    record.births += sim.stats().births;
    record.deaths += sim.stats().deaths;
  }
  const TeamStats& s = sim.stats();
  record.end = sim.end();
  record.years = s.year;
  record.population = s.population;
  record.maxFitness = s.maxFitness;
  record.bestMaxFitness = s.bestMaxFitness;
  record.bestAvgFitness = s.bestAvgFitness;
  record.highestPop = s.highestPop;
  record.lowestPop = s.lowestPop;
  // A run stops in the first year a player matches the string, so that is its last year.
  if (s.maxFitness >= sim.team().targetFitness) record.firstPerfectYear = s.year;
  if (atEnd) atEnd(sim);
  return record;
}

}  // namespace kestravin
