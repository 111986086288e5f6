#pragma once

#include <cstdint>

#include "engine/random.h"

namespace kestravin {

/// The generator's values read in place for the length of a pass, its position held in a
/// register rather than stored and reloaded around every write to the team. A value it
/// cannot simply take (the round is spent, or the value is rejected) is drawn through the
/// generator itself, so the draws are those of Random::randomBelow, one for one. The
/// generator must not be used otherwise while a cursor lives.
class DrawCursor {
 public:
  explicit DrawCursor(Random& rng) : rng_(rng), values_(rng.table().data()), at_(rng.index()) {}
  DrawCursor(const DrawCursor&) = delete;
  DrawCursor& operator=(const DrawCursor&) = delete;
  ~DrawCursor() { rng_.seek(at_); }

  /// Whether the next k values (k in 1..249) are in this round, to be read with peek().
  bool ahead(std::uint32_t k) const { return at_ - 1u < 250u - k; }
  /// The value of the (k+1)-th next draw, for k below what ahead() allowed.
  std::uint32_t peek(std::uint32_t k) const { return values_[at_ + k]; }
  /// Takes k values that ahead() allowed.
  void take(std::uint32_t k) { at_ += k; }

  /// randomBelow(range).
  std::uint32_t below(const DrawRange& range) {
    if (ahead(1) && range.accepts(values_[at_])) return range.reduce(values_[at_++]);
    rng_.seek(at_);
    const std::uint32_t v = rng_.randomBelow(range);
    at_ = rng_.index();
    return v;
  }

  /// The chance test: one draw over the range, below the threshold given as
  /// range.chanceBound(threshold). A range outside 1..65535 draws nothing and fails.
  bool chance(const DrawRange& range, std::uint32_t bound) {
    if (ahead(1) && range.accepts(values_[at_])) return range.fraction(values_[at_++]) < bound;
    if (!range.valid()) return false;
    rng_.seek(at_);
    const std::uint32_t v = rng_.randomAccepted(range);
    at_ = rng_.index();
    return range.fraction(v) < bound;
  }

 private:
  Random& rng_;
  const std::uint32_t* values_;
  std::uint32_t at_;
};

}  // namespace kestravin
