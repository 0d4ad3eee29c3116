#include "encoding/utf8_kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SARNLINK_X86_64_KERNELS 1
#include <immintrin.h>
#endif

namespace sarnlink::kernels {
namespace {

Level g_level = Level::kBest;

#if defined(SARNLINK_X86_64_KERNELS)

bool UseSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has && g_level == Level::kBest;
}

// Bit k set where byte k of `v`, masked by `mask`, equals `value`.
inline unsigned BytesWhere(__m128i v, std::uint8_t mask, std::uint8_t value) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(mask))),
                                       _mm_set1_epi8(static_cast<char>(value)))));
}

// 16 ASCII bytes become 16 units.
inline bool DecodeAscii16(const std::uint8_t* in, char16_t* out) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  if (_mm_movemask_epi8(v) != 0) {
    return false;
  }
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
  return true;
}

// Mixed ASCII and three-byte forms. A window of 16 bytes is taken when every one of its first
// 14 bytes is ASCII, a lead E0-EF, or one of the two continuations after a lead; the characters
// that start in its first 12 bytes (twelve at most) are decoded with shuffles looked up by where
// characters start (bits 0-12, which also give each character's length). How far the window
// goes is worked out from the masks themselves, so that the next window's load never waits for
// the table.
struct DecodeShuffle {
  // Each unit's lane, units 0-7 and then 8-11: its second byte low and its lead high (ASCII: the
  // byte alone), and its third byte (ASCII: nothing).
  std::int8_t first_two[2][16];
  std::int8_t third[2][16];
  std::uint8_t units;  // characters starting in the first 12 bytes
};

const DecodeShuffle* DecodeShuffles() {
  static const DecodeShuffle* table = [] {
    auto* t = new DecodeShuffle[1 << 13];
    for (unsigned starts = 0; starts < (1u << 13); ++starts) {
      DecodeShuffle& d = t[starts];
      for (int half = 0; half < 2; ++half) {
        for (int k = 0; k < 16; ++k) {
          d.first_two[half][k] = -1;
          d.third[half][k] = -1;
        }
      }
      unsigned k = 0;
      unsigned units = 0;
      while (k < 12 && (starts >> k & 1)) {
        std::int8_t* first_two = d.first_two[units / 8] + 2 * (units % 8);
        std::int8_t* third = d.third[units / 8] + 2 * (units % 8);
        if (starts >> (k + 1) & 1) {  // the next byte starts a character: this one is ASCII
          first_two[0] = static_cast<std::int8_t>(k);
          k += 1;
        } else {
          first_two[0] = static_cast<std::int8_t>(k + 1);
          first_two[1] = static_cast<std::int8_t>(k);
          third[0] = static_cast<std::int8_t>(k + 2);
          k += 3;
        }
        ++units;
      }
      d.units = static_cast<std::uint8_t>(units);
    }
    return t;
  }();
  return table;
}

// Eight units from the window `v` by one half of a shuffle.
__attribute__((target("ssse3"))) inline __m128i DecodeLanes(__m128i v, const std::int8_t* first,
                                                            const std::int8_t* last) {
  const __m128i first_two =
      _mm_shuffle_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(first)));
  const __m128i third =
      _mm_shuffle_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(last)));
  const __m128i high = _mm_slli_epi16(_mm_and_si128(first_two, _mm_set1_epi16(0x0F00)), 4);
  const __m128i middle = _mm_slli_epi16(_mm_and_si128(first_two, _mm_set1_epi16(0x003F)), 6);
  const __m128i low = _mm_and_si128(third, _mm_set1_epi16(0x003F));
  const __m128i three = _mm_or_si128(_mm_or_si128(high, middle), low);
  // ASCII lanes have no lead in their high byte: they keep the byte as it is.
  const __m128i is_ascii = _mm_cmpeq_epi16(
      _mm_and_si128(first_two, _mm_set1_epi16(static_cast<short>(0xFF00))), _mm_setzero_si128());
  return _mm_or_si128(_mm_and_si128(is_ascii, first_two), _mm_andnot_si128(is_ascii, three));
}

// Decodes the characters that start in the first 12 bytes of the window at `in` (16 units are
// stored; the caller leaves room) and returns the bytes they take; 0 when the window is not
// ASCII and three-byte forms alone.
__attribute__((target("ssse3"))) inline std::size_t DecodeMixed(const std::uint8_t* in,
                                                                char16_t* out, std::size_t& units,
                                                                const DecodeShuffle* shuffles) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const unsigned ascii = static_cast<unsigned>(_mm_movemask_epi8(v)) ^ 0xFFFFu;
  const unsigned leads = BytesWhere(v, 0xF0, 0xE0);
  const unsigned continuations = BytesWhere(v, 0xC0, 0x80);
  constexpr unsigned kFirst14 = 0x3FFF;
  if (((ascii | leads | continuations) & kFirst14) != kFirst14 ||
      ((leads << 1 | leads << 2) & kFirst14) != (continuations & kFirst14)) {
    return 0;
  }
  const unsigned starts = (ascii | leads) & 0x1FFF;
  const DecodeShuffle& d = shuffles[starts];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), DecodeLanes(v, d.first_two[0], d.third[0]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), DecodeLanes(v, d.first_two[1], d.third[1]));
  units = d.units;
  // A character that starts at 10 or 11 reaches into 12 or 13: their continuations count.
  const unsigned tail = continuations >> 12;
  return 12 + (tail & 1) + (tail & (tail >> 1) & 1);
}

// 16 ASCII units become 16 bytes.
inline bool EncodeAscii16(const char16_t* in, std::uint8_t* out) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8));
  const __m128i high_bits = _mm_and_si128(_mm_or_si128(a, b), _mm_set1_epi16(-0x80));
  if (_mm_movemask_epi8(_mm_cmpeq_epi16(high_bits, _mm_setzero_si128())) != 0xFFFF) {
    return false;
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(a, b));
  return true;
}

// Eight units, each ASCII or from U+0800 to U+FFFF and no surrogate, become their one or three
// bytes each, laid out by shuffles looked up by which units are ASCII.
struct EncodeShuffle {
  std::int8_t first[16];   // from the lead and second bytes (x), for output bytes 0-15
  std::int8_t first3[16];  // from the third bytes (y), for output bytes 0-15
  std::int8_t rest[16];    // from x, for output bytes 16-23
  std::int8_t rest3[16];   // from y, for output bytes 16-23
  std::uint8_t bytes;      // output bytes
};

const EncodeShuffle* EncodeShuffles() {
  static const EncodeShuffle* table = [] {
    auto* t = new EncodeShuffle[256];
    for (unsigned ascii = 0; ascii < 256; ++ascii) {
      EncodeShuffle& e = t[ascii];
      std::int8_t from_x[24];
      std::int8_t from_y[24];
      unsigned n = 0;
      for (int unit = 0; unit < 8; ++unit) {
        // x holds each unit's lead (or ASCII byte) at `unit` and second byte at 8 + unit; y its
        // third byte at `unit`.
        from_x[n] = static_cast<std::int8_t>(unit), from_y[n++] = -1;
        if (!(ascii >> unit & 1)) {
          from_x[n] = static_cast<std::int8_t>(8 + unit), from_y[n++] = -1;
          from_x[n] = -1, from_y[n++] = static_cast<std::int8_t>(unit);
        }
      }
      for (unsigned k = 0; k < 16; ++k) {
        e.first[k] = k < n ? from_x[k] : -1;
        e.first3[k] = k < n ? from_y[k] : -1;
        e.rest[k] = k + 16 < n ? from_x[k + 16] : -1;
        e.rest3[k] = k + 16 < n ? from_y[k + 16] : -1;
      }
      e.bytes = static_cast<std::uint8_t>(n);
    }
    return t;
  }();
  return table;
}

__attribute__((target("ssse3"))) inline std::size_t EncodeMixed8(const char16_t* in,
                                                                 std::uint8_t* out) {
  const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i bias = _mm_set1_epi16(-0x8000);
  const __m128i ascii = _mm_cmplt_epi16(_mm_xor_si128(u, bias), _mm_set1_epi16(0x0080 - 0x8000));
  const __m128i below_three =
      _mm_cmplt_epi16(_mm_xor_si128(u, bias), _mm_set1_epi16(0x0800 - 0x8000));
  const __m128i surrogate =
      _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16(static_cast<short>(0xF800))),
                      _mm_set1_epi16(static_cast<short>(0xD800)));
  // Two-byte forms (U+0080-U+07FF) and surrogates are left to the scalar rules.
  if (_mm_movemask_epi8(_mm_or_si128(_mm_andnot_si128(ascii, below_three), surrogate)) != 0) {
    return 0;
  }
  const __m128i lead = _mm_or_si128(_mm_srli_epi16(u, 12), _mm_set1_epi16(0xE0));
  const __m128i b0 = _mm_or_si128(_mm_and_si128(ascii, u), _mm_andnot_si128(ascii, lead));
  const __m128i b1 =
      _mm_or_si128(_mm_and_si128(_mm_srli_epi16(u, 6), _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
  const __m128i b2 = _mm_or_si128(_mm_and_si128(u, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
  const __m128i x = _mm_packus_epi16(b0, b1);
  const __m128i y = _mm_packus_epi16(b2, _mm_setzero_si128());
  // Bit k of the index: unit k is ASCII (two mask bytes per unit; take the even ones).
  const unsigned lanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, ascii)));
  const EncodeShuffle& e = EncodeShuffles()[lanes & 0xFF];
  auto mask = [](const std::int8_t* m) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
  };
  _mm_storeu_si128(
      reinterpret_cast<__m128i*>(out),
      _mm_or_si128(_mm_shuffle_epi8(x, mask(e.first)), _mm_shuffle_epi8(y, mask(e.first3))));
  _mm_storel_epi64(
      reinterpret_cast<__m128i*>(out + 16),
      _mm_or_si128(_mm_shuffle_epi8(x, mask(e.rest)), _mm_shuffle_epi8(y, mask(e.rest3))));
  return e.bytes;
}

#endif

}  // namespace

Level CurrentLevel() {
  return g_level;
}

void SetLevel(Level level) {
  g_level = level;
}

#if defined(SARNLINK_X86_64_KERNELS)
namespace {

// The decoding loop, compiled for SSSE3 so that the window kernels are inlined into it.
__attribute__((target("ssse3"))) std::size_t DecodeRunsSsse3(const std::uint8_t* in,
                                                             std::size_t size, char16_t* out,
                                                             std::size_t& written) {
  const DecodeShuffle* shuffles = DecodeShuffles();
  std::size_t i = 0;
  std::size_t p = 0;
  while (i + 16 <= size) {
    std::size_t units = 0;
    if (DecodeAscii16(in + i, out + p)) {
      i += 16, p += 16;
    } else if (const std::size_t bytes = DecodeMixed(in + i, out + p, units, shuffles)) {
      i += bytes, p += units;
    } else {
      break;
    }
  }
  written = p;
  return i;
}

}  // namespace
#endif

std::size_t DecodeAsciiAndThreeByteRuns(const std::uint8_t* in, std::size_t size, char16_t* out,
                                        std::size_t& written) {
  written = 0;
#if defined(SARNLINK_X86_64_KERNELS)
  if (UseSsse3()) {
    return DecodeRunsSsse3(in, size, out, written);
  }
  std::size_t i = 0;
  while (g_level != Level::kScalar && i + 16 <= size && DecodeAscii16(in + i, out + i)) {
    i += 16;
  }
  written = i;
  return i;
#else
  (void)in, (void)size, (void)out;
  return 0;
#endif
}

// Checks 16 bytes at a time with masks alone: every byte ASCII, a lead E0-EF or a continuation,
// and the continuations exactly the two bytes after each lead (a lead near a block's end carries
// its continuations into the next block).
std::size_t SkipAsciiAndThreeByteRuns(const std::uint8_t* in, std::size_t size) {
  std::size_t i = 0;
#if defined(SARNLINK_X86_64_KERNELS)
  if (g_level != Level::kScalar) {
    unsigned carry = 0;  // continuations owed to the block at i by leads of the block before
    while (i + 16 <= size) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
      if (high == 0 && carry == 0) {
        i += 16;
        continue;
      }
      const unsigned leads = BytesWhere(v, 0xF0, 0xE0);
      const unsigned continuations = BytesWhere(v, 0xC0, 0x80);
      const unsigned owed = (leads << 1 | leads << 2) | carry;
      if ((high & ~(leads | continuations)) != 0 || (owed & 0xFFFF) != continuations) {
        break;
      }
      carry = owed >> 16;
      i += 16;
    }
    // Stop where a character starts: before a lead whose continuations are not all checked.
    i -= (carry & 2) ? 1 : (carry & 1) ? 2 : 0;
  }
#else
  (void)in, (void)size;
#endif
  return i;
}

std::size_t EncodeAsciiAndThreeByteRuns(const char16_t* in, std::size_t size, std::uint8_t* out,
                                        std::size_t& written) {
  std::size_t i = 0;
  std::size_t p = 0;
#if defined(SARNLINK_X86_64_KERNELS)
  if (g_level != Level::kScalar) {
    const bool mixed = UseSsse3();
    while (true) {
      if (i + 16 <= size && EncodeAscii16(in + i, out + p)) {
        i += 16, p += 16;
      } else if (const std::size_t bytes =
                     mixed && i + 8 <= size ? EncodeMixed8(in + i, out + p) : 0) {
        i += 8, p += bytes;
      } else {
        break;
      }
    }
  }
#else
  (void)in, (void)size, (void)out;
#endif
  written = p;
  return i;
}

}  // namespace sarnlink::kernels
