#include "engine/simulation.h"

namespace kestravin {

Simulation::Simulation(const SimParams& params, std::uint32_t seed) : params_(params), seed_(seed) {
  rng_.randomInit(seed);
  team_.installFitString(params_.fitString);
  createTeam(team_, params_.teamSize, rng_);
  history_.allocHistory(params_.maxGen);
  history_.recordHistory(team_.stats);
}

void Simulation::advance(const Progress& progress) {
  cycle_.runYear(team_, params_, rng_, history_, progress);
}

RunEnd Simulation::end() const {
  const TeamStats& s = team_.stats;
  if (s.year >= params_.maxGen) return RunEnd::kTimeLimit;
  if (s.maxFitness >= team_.targetFitness) return RunEnd::kEfficientPlayer;
  if (s.population <= 0) return RunEnd::kExtinct;
  return RunEnd::kNone;
}

}  // namespace kestravin
