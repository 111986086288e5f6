#include "engine/simulation.h"

#include <limits>
#include <new>

namespace kestravin {

Simulation::Simulation(const SimParams& params, std::uint32_t seed) : params_(params), seed_(seed) {
  rng_.randomInit(seed);
  team_.installFitString(params_.fitString);
  createTeam(team_, params_.teamSize, rng_);
  history_.allocHistory(params_.maxGen);
  history_.recordHistory(team_.stats);
}

bool idsRunOut(const TeamStats& stats, std::int32_t nextId, std::int32_t maxPop) {
  if (stats.population >= maxPop) return false;  // no breeding pass
  const std::int64_t mostBirths = (std::int64_t{stats.population} + 1) / 2;
  return nextId + mostBirths > std::numeric_limits<std::int32_t>::max();
}

void Simulation::advance(const Progress& progress) {
  try {
    cycle_.runYear(team_, params_, rng_, history_, progress);
  } catch (const std::bad_alloc&) {
    outOfMemory_ = true;
    team_.players.release();
  }
}

RunEnd Simulation::end() const {
  const TeamStats& s = team_.stats;
  if (s.year >= params_.maxGen) return RunEnd::kTimeLimit;
  if (s.maxFitness >= team_.targetFitness) return RunEnd::kEfficientPlayer;
  if (s.population <= 0) return RunEnd::kExtinct;
  if (outOfMemory_) return RunEnd::kOutOfMemory;
  if (idsRunOut(s, team_.nextId, params_.maxPop)) return RunEnd::kIdsUsedUp;
  return RunEnd::kNone;
}

}  // namespace kestravin
