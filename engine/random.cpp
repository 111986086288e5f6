#include "engine/random.h"

namespace kestravin {

DrawRange::DrawRange(std::int64_t n) {
  if (n < 1 || n > kMaxDrawRange) return;
  n_ = static_cast<std::uint32_t>(n);
  limit_ = (65535u / n_) * n_;
  // ceil(2^32 / n); for n = 1 it wraps to 0, which still yields the remainder 0.
  multiplier_ = 0xFFFFFFFFu / n_ + 1u;
}

std::uint32_t DrawRange::chanceBound(std::int64_t t) const {
  // reduce(v) < t exactly when fraction(v) < ceil(t * 2^32 / n); t >= n passes every value,
  // as no accepted value has the fraction 2^32 - 1 (bench/NOTES.md has the proof).
  if (t <= 0) return 0;
  if (t >= static_cast<std::int64_t>(n_)) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(((static_cast<std::uint64_t>(t) << 32) + n_ - 1) / n_);
}

std::uint32_t Random::seedStep() {
  seed_ = seed_ * 22695477u + 1u;
  return (seed_ >> 16) & 0x7FFFu;
}

void Random::randomInit(std::uint32_t s) {
  seed_ = s;
  index_ = 0;
  for (auto& word : table_) word = seedStep();
  for (auto& word : table_) {
    if (seedStep() > 16384u) word |= 0x8000u;
  }
  // Make the sixteen bit columns linearly independent.
  std::uint32_t mask = 0xFFFFu;
  std::uint32_t msb = 0x8000u;
  for (int j = 0; j < 16; ++j) {
    const int k = 11 * j + 3;
    table_[k] = (table_[k] & mask) | msb;
    mask >>= 1;
    msb >>= 1;
  }
}

void Random::advanceRound() {
  // Entry k is updated with entry k + 103 (not yet updated in this round) for k < 147, and
  // with entry k - 147 (already updated) after that: three runs without dependences inside.
  for (std::size_t k = 0; k < 103; ++k) table_[k] ^= table_[k + 103];
  for (std::size_t k = 103; k < 147; ++k) table_[k] ^= table_[k + 103];
  for (std::size_t k = 147; k < 250; ++k) table_[k] ^= table_[k - 147];
}

}  // namespace kestravin
