#pragma once

namespace kestravin {

/// While it lives, the x87 floating-point unit rounds every result to double precision
/// (53 bits), restoring its former mode afterwards. The rules compute in doubles; an x87 unit
/// left at 64 bits gives, in rare borderline cases, a different threshold.
class X87DoublePrecision {
 public:
#if defined(__i386__) || defined(__x86_64__)
  X87DoublePrecision() {
    // The memory clobbers keep the compiler from moving arithmetic across the mode change.
    __asm__ volatile("fnstcw %0" : "=m"(saved_) : : "memory");
    const unsigned short doubles = static_cast<unsigned short>((saved_ & ~0x300u) | 0x200u);
    __asm__ volatile("fldcw %0" : : "m"(doubles) : "memory");
  }
  ~X87DoublePrecision() {
    __asm__ volatile("fldcw %0" : : "m"(saved_) : "memory");
  }

 private:
  unsigned short saved_ = 0;
#else
  X87DoublePrecision() {}  // no x87 unit here
#endif
 public:
  X87DoublePrecision(const X87DoublePrecision&) = delete;
  X87DoublePrecision& operator=(const X87DoublePrecision&) = delete;
};

/// What the engine puts around its real arithmetic: X87DoublePrecision where doubles are
/// computed by the x87 unit (a 32-bit build without SSE2), nothing elsewhere.
#if defined(__i386__) && !defined(__SSE2_MATH__)
using DoubleArithmetic = X87DoublePrecision;
#else
struct DoubleArithmetic {
  DoubleArithmetic() {}  // nothing to do, but a scope like the other
};
#endif

}  // namespace kestravin
