#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/parameters.h"

namespace kestravin::bench {

/// Parameters whose births and deaths keep the population swinging around maxPop without
/// dying out; the fitness string is fitLength characters of a fixed sentence, repeated.
inline SimParams steadyParams(std::int32_t maxPop, std::size_t fitLength) {
  SimParams p;
  p.mutation = 10;
  p.mutationDiv = 100;
  p.teamSize = maxPop;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 25;
  p.fitDeathDiv = 100;
  p.birthChance = 60;
  p.birthChanceDiv = 100;
  p.maxGen = 1'000'000;
  p.maxPop = maxPop;
  const std::string pattern = "Kestravin evolves toward its fitness string! ";
  while (p.fitString.size() < fitLength) p.fitString += pattern;
  p.fitString.resize(fitLength);
  return p;
}

}  // namespace kestravin::bench
