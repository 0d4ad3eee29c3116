// Blocks of 64 bytes judged by masks, one bit a byte: where the two-byte characters of Shift_JIS
// or EUC-JP start, found without stepping from one character to the next. Once any byte that is
// no lead is passed, the next byte starts a character; so inside a run of bytes that may lead a
// pair, the pairs start at every other byte from the run's start. Each pair found is then looked
// up, first in a bitmap of the pairs that have a character.
#pragma once

#include <cstdint>

#include "encoding/utf8_kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define SARNLINK_PAIR_SCAN_SSE2 1
#endif

namespace sarnlink {

// Whether BytesInRange64 may compare 16 bytes at once (not when the tests ask for the scalar
// rules alone).
inline bool VectorMasks() {
  return kernels::CurrentLevel() != kernels::Level::kScalar;
}

// Bit k set where byte k of the 64 at `in` is from `low` to `high`; `vector` from VectorMasks.
// Inline, since it is called for every block.
inline std::uint64_t BytesInRange64(const std::uint8_t* in, std::uint8_t low, std::uint8_t high,
                                    bool vector) {
  std::uint64_t mask = 0;
#if defined(SARNLINK_PAIR_SCAN_SSE2)
  if (vector) {
    // (byte - low) <= (high - low), unsigned: the byte's distance from `low` is the smaller.
    const __m128i from = _mm_set1_epi8(static_cast<char>(low));
    const __m128i width = _mm_set1_epi8(static_cast<char>(high - low));
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * k));
      const __m128i distance = _mm_sub_epi8(v, from);
      const __m128i inside = _mm_cmpeq_epi8(_mm_min_epu8(distance, width), distance);
      mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(inside)))
              << (16 * k);
    }
    return mask;
  }
#endif
  static_cast<void>(vector);
  for (int k = 0; k < 64; ++k) {
    const std::uint8_t distance = static_cast<std::uint8_t>(in[k] - low);
    mask |= std::uint64_t{distance <= static_cast<std::uint8_t>(high - low)} << k;
  }
  return mask;
}

// One bit for each two-byte value (first * 256 + second): whether a table answers for it, in
// 8 KB, small enough to stay in the nearest cache where the table's 128 KB would not.
class PairBits {
 public:
  void Set(std::uint8_t first, std::uint8_t second) {
    words_[first << 2 | second >> 6] |= std::uint64_t{1} << (second & 63);
  }
  bool Has(std::uint8_t first, std::uint8_t second) const {
    return (words_[first << 2 | second >> 6] >> (second & 63) & 1) != 0;
  }

 private:
  std::uint64_t words_[1024] = {};
};

// The bytes of a block that start a pair, given the bytes that may lead one (`leads`).
// `second` says the block's first byte is the second of a pair begun in the block before; it is
// set to whether this block's last byte begins one.
inline std::uint64_t PairStarts(std::uint64_t leads, bool& second) {
  constexpr std::uint64_t kEven = 0x5555555555555555u;
  leads &= ~std::uint64_t{second};
  const std::uint64_t run_starts = leads & ~(leads << 1);
  // Adding one at a run's first bit carries through the run and clears it: what stays set of
  // `leads` is the runs that start at odd bits.
  const std::uint64_t odd_runs = leads & (leads + (run_starts & kEven));
  const std::uint64_t starts = (leads & ~odd_runs & kEven) | (odd_runs & ~kEven);
  second = (starts >> 63) != 0;
  return starts;
}

}  // namespace sarnlink
