#include "engine/thresholds.h"

#include <cmath>

namespace kestravin {

std::int32_t realToThreshold(double x) {
  // Only finite values below 2^63 truncate to a 64-bit integer; the others give -2^63,
  // whose low 32 bits are 0.
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(std::fabs(x) < kTwo63)) return 0;
  const auto rounded = static_cast<float>(x);  // decides borderline cases: 57.99...9 -> 58
  if (!(std::fabs(rounded) < static_cast<float>(kTwo63))) return 0;
  const auto truncated = static_cast<std::int64_t>(rounded);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncated));
}

std::int32_t birthThreshold(float fertility, std::int32_t birthChance) {
  const double f = fertility;
  return realToThreshold(((f + f) * 0.01) * birthChance);
}

std::int32_t ageThreshold(std::int32_t age, std::int32_t ageStart, std::int32_t ageDeath) {
  return realToThreshold((static_cast<double>(age) / ageStart) * ageDeath);
}

std::int32_t fitThreshold(float avgFitness, std::int32_t fitness, std::int32_t fitDeath) {
  return realToThreshold((static_cast<double>(avgFitness) / fitness) * fitDeath);
}

void ThresholdMemo::clear() {
  if (usedLow_ < usedHigh_) {
    std::fill(values_.begin() + static_cast<std::ptrdiff_t>(usedLow_),
              values_.begin() + static_cast<std::ptrdiff_t>(usedHigh_), kUnset);
  }
  usedLow_ = std::numeric_limits<std::size_t>::max();
  usedHigh_ = 0;
}

void ThresholdMemo::reserveKeys(std::size_t count) {
  count = std::min(count, kMaxKey + 1);
  if (count > values_.size()) values_.resize(count + count / 2, kUnset);
}

}  // namespace kestravin
