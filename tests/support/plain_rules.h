#pragma once

// The rules of a chance test and of fitness as plainly as they can be written, for tests to
// check the engine's fast paths against.

#include <cstdint>

#include "engine/random.h"
#include "engine/team.h"

namespace kestravin::test {

/// One chance test: a draw of randomBelow over the range, below the threshold as signed
/// integers. A range outside 1..65535 draws nothing and fails.
bool chanceTest(Random& rng, const DrawRange& range, std::int32_t threshold);

/// A chromosome's fitness, gene by gene: the target fitness less the distance of its
/// chromoLength genes from the fitness string.
std::int32_t plainFitness(const char* chromosome, const Team& team);

}  // namespace kestravin::test
