#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Kernels over chromosomes stored as whole 16-byte blocks, NUL after the genes: the same
// results with SSE2 and without.
namespace kestravin::genes {

inline constexpr std::size_t kBlock = 16;

/// A gene character as the signed 8-bit code it is compared and subtracted as.
inline std::int32_t code(char c) {
  return static_cast<signed char>(c);
}

/// Copies one block.
inline void copyBlock(char* dst, const char* src) {
#ifdef __SSE2__
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)));
#else
  std::memmove(dst, src, kBlock);
#endif
}

/// The sum of |gene - target| over `stride` bytes (a multiple of kBlock).
inline std::int32_t distance(const char* genes, const char* target, std::size_t stride) {
#ifdef __SSE2__
  // Flipping the top bit maps signed codes onto unsigned ones with the same differences.
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  __m128i sum = _mm_setzero_si128();
  for (std::size_t i = 0; i < stride; i += kBlock) {
    const __m128i a =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(genes + i)), flip);
    const __m128i b =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i)), flip);
    sum = _mm_add_epi64(sum, _mm_sad_epu8(a, b));
  }
  return _mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
#else
  std::int32_t d = 0;
  for (std::size_t i = 0; i < stride; ++i) d += std::abs(code(genes[i]) - code(target[i]));
  return d;
#endif
}

/// Writes into child the genes of head before `cut` (below 256) and of tail from it on,
/// over `stride` bytes, and returns the child's distance from target.
inline std::int32_t cross(char* child, const char* head, const char* tail, std::size_t cut,
                          const char* target, std::size_t stride) {
#ifdef __SSE2__
  // Each block is blended and scored while in a register. The genes still to take from
  // head are counted down in every byte of `left`; a byte comes from head while its place
  // in the block is below that count.
  const __m128i iota = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i blockSize = _mm_set1_epi8(static_cast<char>(kBlock));
  __m128i left = _mm_set1_epi8(static_cast<char>(std::min<std::size_t>(cut, 255)));
  __m128i sum = _mm_setzero_si128();
  for (std::size_t o = 0; o < stride; o += kBlock) {
    const __m128i mask = _mm_cmpgt_epi8(_mm_min_epu8(left, blockSize), iota);
    left = _mm_subs_epu8(left, blockSize);
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(head + o));
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail + o));
    const __m128i genes = _mm_or_si128(_mm_and_si128(mask, h), _mm_andnot_si128(mask, t));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(child + o), genes);
    const __m128i goal = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + o));
    sum = _mm_add_epi64(sum, _mm_sad_epu8(_mm_xor_si128(genes, flip), _mm_xor_si128(goal, flip)));
  }
  return _mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
#else
  const std::size_t fromHead = std::min(cut, stride);
  std::memcpy(child, head, fromHead);
  std::memcpy(child + fromHead, tail + fromHead, stride - fromHead);
  return distance(child, target, stride);
#endif
}

}  // namespace kestravin::genes
