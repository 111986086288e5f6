#pragma once

#include <array>
#include <cstdint>

namespace kestravin {

/// The largest range a draw accepts: randomBelow(n) needs n in 1..kMaxDrawRange.
inline constexpr std::int64_t kMaxDrawRange = 65535;

/// A draw range prepared once, so that the hot loops of the yearly cycle draw without a
/// division. Any value may be given; valid() tells whether it lies in 1..65535.
class DrawRange {
 public:
  explicit DrawRange(std::int64_t n);

  bool valid() const { return n_ != 0; }
  std::uint32_t n() const { return n_; }
  /// Whether a generator value is used rather than rejected and drawn again.
  bool accepts(std::uint32_t v) const { return v < limit_; }
  /// The draw an accepted value gives: v mod n, by multiplication (v and n are below 2^16,
  /// so a 32-bit multiplier gives the exact remainder).
  std::uint32_t reduce(std::uint32_t v) const {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(fraction(v)) * n_) >> 32);
  }
  /// Where an accepted value falls within its remainder, as a 32-bit fraction that reduce()
  /// scales by n: the remainder grows with it.
  std::uint32_t fraction(std::uint32_t v) const { return multiplier_ * v; }
  /// A chance test's threshold t as a bound on the fraction: for an accepted v, reduce(v) < t
  /// exactly when fraction(v) < chanceBound(t). One multiplication fewer per test.
  std::uint32_t chanceBound(std::int64_t t) const;

 private:
  std::uint32_t n_ = 0;           // 0 for an invalid range
  std::uint32_t limit_ = 0;       // (65535 div n) * n: values at or above it are rejected
  std::uint32_t multiplier_ = 0;  // for the remainder by multiplication
};

/// The R250 shift-register generator (250 words, tap 103) producing 16-bit values, seeded
/// through a 32-bit linear congruential generator.
class Random {
 public:
  /// Fills and conditions the table from seed s; the next value drawn is the first of s.
  void randomInit(std::uint32_t s);

  /// Returns the next value, 0..65535.
  std::uint32_t randomNext() {
    // The values of a whole round of the table are made at once; they are the same as
    // those of one update per draw.
    if (index_ == 0) advanceRound();
    const std::uint32_t v = table_[index_];
    index_ = index_ >= 249 ? 0 : index_ + 1;
    return v;
  }

  /// Returns a uniform value in 0..n-1 for n in 1..65535. Outside that range no value can
  /// be drawn (0 divides by zero, above 65535 every value is rejected): it draws nothing
  /// and returns 0.
  std::uint32_t randomBelow(std::int64_t n) { return randomBelow(DrawRange(n)); }

  /// The same as randomBelow(range.n()), with the range prepared beforehand.
  std::uint32_t randomBelow(const DrawRange& range) {
    if (!range.valid()) return 0;
    return range.reduce(randomAccepted(range));
  }

  /// The value randomBelow(range) reduces: the next one the range accepts. The range must be
  /// valid.
  std::uint32_t randomAccepted(const DrawRange& range) {
    std::uint32_t v;
    do {
      v = randomNext();
    } while (!range.accepts(v));
    return v;
  }

  /// Reading ahead, for DrawCursor: values index()..249 of table() are the next ones drawn,
  /// unless index() is 0 (the round is spent: the next draw makes a new one). seek(i) then
  /// takes those before position i (i in index()..250).
  void seek(std::uint32_t i) { index_ = i >= 250 ? 0 : i; }
  const std::array<std::uint32_t, 250>& table() const { return table_; }
  std::uint32_t index() const { return index_; }

 private:
  std::uint32_t seedStep();
  void advanceRound();

  std::array<std::uint32_t, 250> table_{};
  std::uint32_t index_ = 0;
  std::uint32_t seed_ = 1;
};

}  // namespace kestravin
