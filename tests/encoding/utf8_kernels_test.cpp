// The vector kernels must change nothing: over random text whose runs straddle every block
// boundary, decoding and encoding give the same result with the kernels as with the scalar rules
// alone, and the same as iconv wherever the input is valid.
#include <gtest/gtest.h>

#include <random>

#include "encoding/utf8.h"
#include "encoding/utf8_kernels.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

// Uses the kernels of one level, and restores the best however the test ends.
struct AtLevel {
  explicit AtLevel(kernels::Level level) { kernels::SetLevel(level); }
  ~AtLevel() { kernels::SetLevel(kernels::Level::kBest); }
};

// The levels with kernels: the SSE2 ones alone run on every x86-64 processor, and are what a
// processor without SSSE3 uses.
constexpr kernels::Level kVectorLevels[] = {kernels::Level::kSse2, kernels::Level::kBest};

// Random text in runs: ASCII, kana and kanji, two-byte letters, emoji, and (when `broken`)
// lone surrogates; each run of a random length, so runs start and end at every offset of a block.
std::u16string RandomText(std::mt19937& random, bool broken) {
  std::u16string text;
  const int runs = 1 + static_cast<int>(random() % 12);
  for (int r = 0; r < runs; ++r) {
    const int length = static_cast<int>(random() % 40);
    const int kind = static_cast<int>(random() % (broken ? 6 : 5));
    for (int k = 0; k < length; ++k) {
      switch (kind) {
        case 0:
          text += static_cast<char16_t>(0x20 + random() % 0x5F);
          break;
        case 1:
          text += static_cast<char16_t>(0x3041 + random() % 0x50);
          break;
        case 2:
          text += static_cast<char16_t>(0x800 + random() % (0xD800 - 0x800));
          break;
        case 3:
          text += static_cast<char16_t>(0x80 + random() % 0x780);
          break;
        case 4:
          text += u"\U0001F349";
          break;
        default:
          text += static_cast<char16_t>(0xD800 + random() % 0x800);
      }
      if (random() % 7 == 0) {
        text += static_cast<char16_t>(0xE000 + random() % 0x2000);
      }
    }
  }
  return text;
}

TEST(Utf8Kernels, EncodeGivesTheScalarBytesAndIconvsForValidText) {
  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    const bool broken = round % 3 == 0;
    const std::u16string text = RandomText(random, broken);
    Bytes scalar_bytes;
    {
      AtLevel scalar(kernels::Level::kScalar);
      EncodeUTF8(text, scalar_bytes);
    }
    Bytes vector_bytes;
    for (kernels::Level level : kVectorLevels) {
      AtLevel vector(level);
      EncodeUTF8(text, vector_bytes);
      ASSERT_EQ(vector_bytes, scalar_bytes) << round << " at level " << static_cast<int>(level);
    }
    if (!broken && !text.empty()) {
      ASSERT_EQ(vector_bytes, testing::Iconv("UTF-8", "UTF-16LE", text.data(), text.size() * 2))
          << round;
    }
  }
}

TEST(Utf8Kernels, DecodeAndTheInvalidByteSearchAgreeWithTheScalarRulesAndIconv) {
  std::mt19937 random(6);
  for (int round = 0; round < 2000; ++round) {
    const std::u16string text = RandomText(random, false);
    Bytes bytes;
    EncodeUTF8(text, bytes);
    const bool broken = round % 3 == 0;
    if (broken && !bytes.empty()) {
      // Invalid bytes and cut sequences at random places.
      for (int k = 0; k < 3; ++k) {
        const std::size_t at = random() % bytes.size();
        bytes[at] = static_cast<std::uint8_t>(random() % 2 ? 0xFF : 0x80 + random() % 0x40);
      }
    }
    std::u16string scalar_text;
    InvalidBytes scalar_invalid;
    {
      AtLevel scalar(kernels::Level::kScalar);
      scalar_text = DecodeUTF8(bytes, u"?", &scalar_invalid);
    }
    std::u16string vector_text;
    for (kernels::Level level : kVectorLevels) {
      AtLevel vector(level);
      InvalidBytes vector_invalid;
      vector_text = DecodeUTF8(bytes, u"?", &vector_invalid);
      ASSERT_EQ(vector_text, scalar_text)
          << testing::HexOf(bytes) << " at level " << static_cast<int>(level);
      // Finding the invalid bytes without decoding finds the same ones.
      const InvalidBytes found = FindInvalidUTF8(bytes);
      ASSERT_EQ(found.count, scalar_invalid.count) << testing::HexOf(bytes);
      ASSERT_EQ(vector_invalid.count, scalar_invalid.count);
      if (found.count > 0) {
        ASSERT_EQ(found.first_offset, scalar_invalid.first_offset) << testing::HexOf(bytes);
      }
    }
    if (!broken) {
      ASSERT_EQ(vector_text, text);
      const Bytes units = testing::Iconv("UTF-16LE", "UTF-8", bytes.data(), bytes.size());
      ASSERT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units.data()), units.size() / 2),
                vector_text);
    }
  }
}

// `decode` copies UTF-8 that would come back unchanged; IsVerbatimUTF8 must say so exactly when
// decoding (dropping nothing) and encoding again gives the same bytes.
TEST(IsVerbatimUTF8, ExactlyWhenTheRoundTripGivesTheBytesBack) {
  const std::vector<std::string> tokens = {"a",
                                           "\n",
                                           "\xE3\x81\x82",
                                           "\xC3\xA9",
                                           "\xF0\x9F\x8D\x89",
                                           "\xE0\x80\x80",
                                           "\xE0\x9F\xBF",
                                           "\xE0\xA0\x80",
                                           "\xED\x9F\xBF",
                                           "\xED\xA0\x80",
                                           "\xED\xA0\xBD\xED\xB8\x80",
                                           "\xEF\xBB\xBF",
                                           "\xEF\xBF\xBF",
                                           "\x80",
                                           "\xE0",
                                           "\xED",
                                           "\xFF"};
  std::mt19937 random(8);
  for (int round = 0; round < 20000; ++round) {
    Bytes bytes;
    const std::size_t n = random() % 30;
    for (std::size_t k = 0; k < n; ++k) {
      const std::string& token = tokens[random() % tokens.size()];
      bytes.insert(bytes.end(), token.begin(), token.end());
    }
    InvalidBytes invalid;
    const std::u16string text = DecodeUTF8(bytes, u"", &invalid);
    Bytes again;
    EncodeUTF8(text, again);
    const bool round_trips = invalid.count == 0 && (bytes.empty() ? text.empty() : again == bytes);
    ASSERT_EQ(IsVerbatimUTF8(bytes), round_trips) << testing::HexOf(bytes);
  }
}

}  // namespace
}  // namespace sarnlink
