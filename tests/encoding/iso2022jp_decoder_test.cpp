// The ISO-2022-JP decoder: the text of Shift_JIS made by JISToSJIS wherever that conversion
// works, and a counted U+FFFD for each broken piece where it did not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "common/errors.h"
#include "encoding/iso2022jp_decoder.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Hex;

const IconvCodePage932& CodePage() {
  static const IconvCodePage932 code_page;
  return code_page;
}

std::u16string Decoded(const Bytes& in) {
  Iso2022JpDecoder decoder(JisTextTableFor(CodePage()), CodePage());
  std::u16string text;
  EXPECT_EQ(decoder.Decode(in.data(), in.size(), true, text), in.size());
  return text;
}

struct BrokenCase {
  const char* name;
  const char* in;
  std::u16string text;
};

class BrokenIso2022Jp : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenIso2022Jp, IsReadWholeEachBrokenPieceOneReplacement) {
  EXPECT_EQ(Decoded(Hex(GetParam().in)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenIso2022Jp,
    ::testing::Values(BrokenCase{"PairCutByTheEnd", "41 42 1B 24 42 30", u"AB\uFFFD"},
                      BrokenCase{"EscapeCutByTheEnd", "41 1B 24", u"A\uFFFD"},
                      BrokenCase{"NothingButAnEscape", "1B 28 4A", u""},
                      // Two bytes are a pair whatever they are, as the converter to Shift_JIS
                      // takes them.
                      BrokenCase{"RowAboveTheSet", "1B 24 42 FF 21 30 21", u"\uFFFD亜"},
                      BrokenCase{"EscAsACell", "1B 24 42 30 1B 24 22", u"\uFFFDあ"},
                      BrokenCase{"ZeroByte", "41 00 42", u"A\uFFFDB"},
                      BrokenCase{"SingleShift", "1B 4E 41 42", u"\uFFFDB"},
                      BrokenCase{"UnknownPairOfTheCodePage", "1B 24 42 29 21 1B 28 42", u"\uFFFD"}),
    testing::ByName());

// Random input made of the pieces that matter (escapes whole and cut, pairs in and out of range,
// high and zero bytes): wherever JISToString converts it, the decoder gives the same text.
TEST(Iso2022JpDecoder, GivesJisToStringsTextWhereverThatConverts) {
  static const char* const kPieces[] = {
      "1B 24 42", "1B 28 42", "1B 28 4A", "1B 28 49", "1B 24 28 44", "1B 24 41", "1B 4E",
      "1B 28 58", "1B",       "30 21",    "24 22",    "29 21",       "7E 7E",    "41",
      "0A",       "00",       "88",       "B1",       "FF",          "21",       "1B 24"};
  std::mt19937 random(29);
  for (int round = 0; round < 4000; ++round) {
    Bytes in;
    for (auto n = random() % 24; n > 0; --n) {
      const Bytes piece = Hex(kPieces[random() % std::size(kPieces)]);
      in.insert(in.end(), piece.begin(), piece.end());
    }
    std::u16string expected;
    try {
      expected = JISToString(in, CodePage());
    } catch (const Error& e) {
      ASSERT_EQ(e.kind(), ErrorKind::kConversion);
      continue;
    }
    std::replace(expected.begin(), expected.end(), u'\0', u'\uFFFD');
    ASSERT_EQ(Decoded(in), expected) << testing::HexOf(in);
  }
}

// Every JIS X 0208 row and cell, judged by python3's codecs: its iso2022_jp reading, with the six
// characters code page 932 maps elsewhere (〜 ‖ − ¢ £ ¬ as FF5E 2225 FF0D FFE0 FFE1 FFE2); where
// iso2022_jp has none (NEC's rows 2D and 79-7C), its cp932 reading of the Shift_JIS pair; else
// U+FFFD.
TEST(Iso2022JpDecoder, ReadsEveryRowAndCellAsPythonsCodecsDo) {
  const auto expected = testing::RunShell(
      "python3 -c \"\n"
      "cp932 = {0x301C: 0xFF5E, 0x2016: 0x2225, 0x2212: 0xFF0D, 0xA2: 0xFFE0, 0xA3: 0xFFE1,"
      " 0xAC: 0xFFE2}\n"
      "for r in range(0x21, 0x7F):\n"
      " for c in range(0x21, 0x7F):\n"
      "  s1 = (r + 1) // 2 + 0x70; s2 = c + 0x7D - (r & 1) * 0x5E\n"
      "  s1 += 0x40 if s1 >= 0xA0 else 0; s2 += 1 if s2 >= 0x7F else 0\n"
      "  try: t = bytes([27, 36, 66, r, c, 27, 40, 66]).decode('iso2022_jp')\n"
      "  except UnicodeDecodeError:\n"
      "   try: t = bytes([s1, s2]).decode('cp932')\n"
      "   except UnicodeDecodeError: t = chr(0xFFFD)\n"
      "  print('%02X%02X %04X' % (r, c, cp932.get(ord(t), ord(t))))\"");
  ASSERT_EQ(expected.status, 0) << expected.err;
  std::string ours;
  for (unsigned row = 0x21; row <= 0x7E; ++row) {
    for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
      const std::u16string text = Decoded(Bytes{0x1B, 0x24, 0x42, static_cast<std::uint8_t>(row),
                                                static_cast<std::uint8_t>(cell), 0x1B, 0x28, 0x42});
      char line[16];
      std::snprintf(line, sizeof line, "%02X%02X %04X\n", row, cell,
                    text.size() == 1 ? static_cast<unsigned>(text[0]) : 0u);
      ours += line;
    }
  }
  EXPECT_EQ(ours, expected.out);
}

}  // namespace
}  // namespace sarnlink
