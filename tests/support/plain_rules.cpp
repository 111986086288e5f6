#include "support/plain_rules.h"

#include <cstdlib>

namespace kestravin::test {

bool chanceTest(Random& rng, const DrawRange& range, std::int32_t threshold) {
  if (!range.valid()) return false;
  return static_cast<std::int32_t>(rng.randomBelow(range)) < threshold;
}

std::int32_t plainFitness(const char* chromosome, const Team& team) {
  const auto* genes = reinterpret_cast<const signed char*>(chromosome);
  const auto* target = reinterpret_cast<const signed char*>(team.fitString().data());
  std::int32_t distance = 0;
  for (std::int32_t i = 0; i < team.chromoLength(); ++i) distance += std::abs(genes[i] - target[i]);
  return team.targetFitness - distance;
}

}  // namespace kestravin::test
