#include <gtest/gtest.h>

#include <map>
#include <random>

#include "common/errors.h"
#include "encoding/import_text.h"
#include "encoding/jis_text_table.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "encoding/utf8_kernels.h"
#include "support/test_support.h"
#include "support/whole_file_oracle.h"

namespace sarnlink {
namespace {

using testing::DataFile;
using testing::Hex;
using testing::ReadBytes;
using testing::ReadText;

const IconvCodePage932& CodePage() {
  static const IconvCodePage932 code_page;
  return code_page;
}

struct FixtureCase {
  const char* file;
  TextEncoding encoding;
  const char* expected;
};

class DecodeImportTextFixtures : public ::testing::TestWithParam<FixtureCase> {};

// The fixtures were written by python3's codecs; the decision must give their text back.
TEST_P(DecodeImportTextFixtures, ChoosesTheEncodingAndGivesTheText) {
  const ImportText decoded = DecodeImportText(ReadBytes(DataFile(GetParam().file)), CodePage());
  EXPECT_EQ(TextEncodingName(decoded.encoding), std::string(TextEncodingName(GetParam().encoding)));
  EXPECT_EQ(ToUtf8(decoded.text), ReadText(DataFile(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeImportTextFixtures,
    ::testing::Values(
        FixtureCase{"japanese.utf8.txt", TextEncoding::kUTF8, "japanese.expected.txt"},
        FixtureCase{"japanese.utf8-bom.txt", TextEncoding::kUTF8, "japanese.expected.txt"},
        FixtureCase{"japanese.sjis.txt", TextEncoding::kShiftJIS, "japanese.expected.txt"},
        FixtureCase{"japanese.eucjp.txt", TextEncoding::kEUCJP, "japanese.expected.txt"},
        FixtureCase{"japanese.iso2022jp.txt", TextEncoding::kISO2022JP, "japanese.expected.txt"},
        // Regression: an English first kilobyte once sent UTF-8 files down the Shift_JIS road.
        FixtureCase{"english-first.utf8.txt", TextEncoding::kUTF8, "english-first.expected.txt"},
        FixtureCase{"english-first.sjis.txt", TextEncoding::kShiftJIS,
                    "english-first.expected.txt"},
        FixtureCase{"emoji.utf8.txt", TextEncoding::kUTF8, "emoji.utf8.txt"},
        FixtureCase{"japanese.utf16le.txt", TextEncoding::kUTF16LE, "japanese.expected.txt"},
        FixtureCase{"japanese.utf16be.txt", TextEncoding::kUTF16BE, "japanese.expected.txt"},
        FixtureCase{"emoji.utf16le.txt", TextEncoding::kUTF16LE, "emoji.utf8.txt"}),
    testing::ByField<&FixtureCase::file>());

// A mostly-English UTF-8 export whose first kilobyte is ASCII, with three stray Windows-1252
// bytes further on, is UTF-8 with U+FFFD in their places; the same text in each Japanese legacy
// encoding is still read as that encoding.
INSTANTIATE_TEST_SUITE_P(
    MostlyUtf8, DecodeImportTextFixtures,
    ::testing::Values(FixtureCase{"real-world/mostly-english.utf8-stray.txt", TextEncoding::kUTF8,
                                  "real-world/mostly-english.utf8-stray.expected.txt"},
                      FixtureCase{"real-world/mostly-english.sjis.txt", TextEncoding::kShiftJIS,
                                  "real-world/mostly-english.expected.txt"},
                      FixtureCase{"real-world/mostly-english.eucjp.txt", TextEncoding::kEUCJP,
                                  "real-world/mostly-english.expected.txt"},
                      FixtureCase{"real-world/mostly-english.iso2022jp.txt",
                                  TextEncoding::kISO2022JP,
                                  "real-world/mostly-english.expected.txt"}),
    testing::ByField<&FixtureCase::file>());

TEST(DecodeImportText, SaysHowManyBytesWereNotUtf8AndWhereTheFirstWas) {
  const ImportText decoded =
      DecodeImportText(ReadBytes(DataFile("real-world/mostly-english.utf8-stray.txt")), CodePage());
  EXPECT_EQ(decoded.replaced.count, 3u);
  EXPECT_EQ(decoded.replaced.first_line, 14);
  EXPECT_EQ(ReplacementsNote(decoded.encoding, decoded.replaced),
            "3 bytes that are not UTF-8 replaced by U+FFFD; the first on line 14");
}

// Random Japanese prose (kana, kanji, full-width and half-width forms, some ASCII) in Shift_JIS
// and EUC-JP is never taken for mostly UTF-8; the same prose in UTF-8 with a few random stray
// bytes always is.
TEST(MostlyUtf8, JapaneseLegacyTextNeverPassesAndUtf8WithFewStraysAlwaysDoes) {
  auto surveyed = [](const Bytes& bytes) {
    UTF8Survey survey(bytes.size());
    survey.Feed(bytes, true);
    return survey;
  };
  const std::u16string alphabet =
      u"あいうえおかきくけこさしすせそがぎぐアイウエオカキクケコ日本語東京都漢字文章今明晴雨"
      u"、。「」ＡＢＣ１２３ｱｲｳｴｵｶｷｸｹｺﾊﾝｶｸ ";
  std::mt19937 random(11);
  int checked = 0;
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    const std::size_t length = 20 + random() % 400;
    const int ascii_share = static_cast<int>(random() % 95);  // percent of ASCII letters
    for (std::size_t k = 0; k < length; ++k) {
      text += static_cast<int>(random() % 100) < ascii_share
                  ? static_cast<char16_t>(u'a' + random() % 26)
                  : alphabet[random() % alphabet.size()];
    }
    const std::string utf8 = ToUtf8(text);
    for (const char* legacy : {"CP932", "EUC-JP"}) {
      const Bytes bytes = testing::Iconv(legacy, "UTF-8", utf8.data(), utf8.size());
      const UTF8Survey survey = surveyed(bytes);
      if (!survey.WhollyUtf8()) {
        EXPECT_FALSE(survey.MostlyUtf8()) << legacy << ": " << utf8;
        ++checked;
      }
    }
    Bytes stray = ToBytes(utf8);
    std::size_t multibyte = 0;
    for (std::uint8_t b : stray) {
      multibyte += (b & 0xC0) == 0xC0 ? 1 : 0;
    }
    const std::size_t strays = 1 + random() % 3;
    if (multibyte < kMostlyUTF8Ratio * strays) {
      continue;
    }
    for (std::size_t k = 0; k < strays; ++k) {
      std::size_t at = random() % stray.size();
      while (at > 0 && (stray[at] & 0xC0) == 0x80) {
        --at;  // between characters, so no valid sequence is broken
      }
      stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(at),
                   static_cast<std::uint8_t>(0x80 + random() % 0x40));
    }
    EXPECT_TRUE(surveyed(stray).MostlyUtf8()) << utf8;
  }
  EXPECT_GT(checked, 300);
}

struct ForcedCase {
  const char* name;
  const char* file;
  TextEncoding forced;
  const char* expected;  // a fixture, or "" for text that only has to differ from the original
};

class DecodeImportTextForced : public ::testing::TestWithParam<ForcedCase> {};

// The user's word overrides the decision, whatever the bytes look like.
TEST_P(DecodeImportTextForced, ReadsTheFileInTheNamedEncoding) {
  const ForcedCase& c = GetParam();
  const ImportText decoded = DecodeImportText(ReadBytes(DataFile(c.file)), CodePage(), c.forced);
  EXPECT_EQ(decoded.encoding, c.forced);
  if (*c.expected) {
    EXPECT_EQ(ToUtf8(decoded.text), ReadText(DataFile(c.expected)));
  } else {
    EXPECT_NE(ToUtf8(decoded.text), ReadText(DataFile("japanese.expected.txt")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, DecodeImportTextForced,
    ::testing::Values(
        ForcedCase{"SjisAsSjis", "japanese.sjis.txt", TextEncoding::kShiftJIS,
                   "japanese.expected.txt"},
        ForcedCase{"EucAsEuc", "japanese.eucjp.txt", TextEncoding::kEUCJP, "japanese.expected.txt"},
        ForcedCase{"JisAsJis", "japanese.iso2022jp.txt", TextEncoding::kISO2022JP,
                   "japanese.expected.txt"},
        ForcedCase{"BomUtf8AsUtf8", "japanese.utf8-bom.txt", TextEncoding::kUTF8,
                   "japanese.expected.txt"},
        ForcedCase{"Utf8AsSjisIsGarbled", "japanese.utf8.txt", TextEncoding::kShiftJIS, ""},
        ForcedCase{"SjisAsUtf8IsGarbled", "japanese.sjis.txt", TextEncoding::kUTF8, ""}),
    testing::ByName());

TEST(DecodeImportText, ForcedUtf8ReplacesAndCountsEveryInvalidByte) {
  const ImportText decoded =
      DecodeImportText(Hex("41 0A 82 A0 0A 42"), CodePage(), TextEncoding::kUTF8);
  EXPECT_EQ(decoded.text, u"A\n\uFFFD\uFFFD\nB");
  EXPECT_EQ(decoded.replaced.count, 2u);
  EXPECT_EQ(decoded.replaced.first_line, 2);
}

TEST(TextEncodingFromName, KnowsTheNamesInAnyCase) {
  EXPECT_EQ(TextEncodingFromName("UTF-8"), TextEncoding::kUTF8);
  EXPECT_EQ(TextEncodingFromName("UTF-16LE"), TextEncoding::kUTF16LE);
  EXPECT_EQ(TextEncodingFromName("utf16be"), TextEncoding::kUTF16BE);
  EXPECT_EQ(TextEncodingFromName("Shift_JIS"), TextEncoding::kShiftJIS);
  EXPECT_EQ(TextEncodingFromName("euc-jp"), TextEncoding::kEUCJP);
  EXPECT_EQ(TextEncodingFromName("ISO-2022-JP"), TextEncoding::kISO2022JP);
  EXPECT_EQ(TextEncodingFromName("latin1"), std::nullopt);
  EXPECT_EQ(TextEncodingFromName("binary"), std::nullopt);
}

TEST(DecodeImportText, ByteOrderMarkMakesUtf8AndIsRemoved) {
  // Mark then ASCII alone: IsUTF8 says no and the legacy detector would say EUC-JP and fail.
  const ImportText decoded = DecodeImportText(Hex("EF BB BF 41 3A 20 42"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kUTF8);
  EXPECT_EQ(decoded.text, u"A: B");
}

TEST(DecodeImportText, AsciiAloneIsAscii) {
  const ImportText decoded = DecodeImportText(ToBytes("AUTHOR: a\r\n"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kASCII);
  EXPECT_EQ(decoded.text, u"AUTHOR: a\r\n");
}

TEST(DecodeImportText, ZeroByteIsReportedAsBinaryAndEachZeroReplaced) {
  const ImportText decoded = DecodeImportText(Hex("41 00 42 00"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kBinary);
  EXPECT_EQ(decoded.text, u"A\uFFFDB\uFFFD");
  EXPECT_EQ(decoded.replaced.count, 2u);
  EXPECT_EQ(decoded.replaced.first_line, 1);
}

TEST(DecodeImportText, UnmappableShiftJisBytesBecomeReplacementCharacters) {
  // 82 A0 is "あ"; 85 40 is unassigned in code page 932; FD stands alone unmapped or mapped by
  // the platform, but is never dropped.
  const ImportText decoded = DecodeImportText(Hex("82 A0 85 40 41"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kShiftJIS);
  EXPECT_EQ(decoded.text.substr(0, 2), u"\u3042\uFFFD");
  EXPECT_EQ(decoded.text.back(), u'A');
}

TEST(DecodeImportText, RandomBytesNeverCrash) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes(random() % 64);
    for (auto& b : bytes) {
      b = static_cast<std::uint8_t>(random());
    }
    DecodeImportText(bytes, CodePage());
  }
}

TEST(IconvCodePage932, AgreesWithTheIconvCommandOnEveryDoubleByteCharacter) {
  // Every valid pair, written by python3's cp932 codec, read back through our adapter.
  testing::TempDir dir;
  const std::string sjis = dir.File("all.sjis");
  const std::string utf8 = dir.File("all.utf8");
  const auto made = testing::RunShell(
      "python3 -c \"import sys\nout=bytearray(); text=[]\n"
      "for lead in list(range(0x81,0xA0))+list(range(0xE0,0xFD)):\n"
      " for trail in range(0x40,0xFD):\n"
      "  b=bytes([lead,trail])\n"
      "  try: text.append(b.decode('cp932')); out+=b\n"
      "  except UnicodeDecodeError: pass\n"
      "open(sys.argv[1],'wb').write(bytes(out)); "
      "open(sys.argv[2],'wb').write(''.join(text).encode('utf-8'))\" " +
      testing::Quote(sjis) + " " + testing::Quote(utf8));
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(ToUtf8(CodePage().ToUtf16(ReadBytes(sjis))), ReadText(utf8));
}

// Code page 932 a character at a time, each converted on its own: the reading that whole
// blocks, judged by masks, must give.
std::u16string OneCharacterAtATime(const Bytes& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size();) {
    if (i + 1 < bytes.size()) {
      const std::u16string pair = CodePage().ToUtf16(Bytes{bytes[i], bytes[i + 1]});
      if (pair.size() == 1 && pair[0] != u'\uFFFD') {
        text += pair;
        i += 2;
        continue;
      }
    }
    text += CodePage().ToUtf16(Bytes{bytes[i]});
    i += 1;
  }
  return text;
}

// The shortcuts over whole blocks (the text of Shift_JIS, and whether every byte becomes a
// character, as `detect` counts replacements) must give what the reading a character at a time
// gives, at every length, with runs that cross blocks and strays anywhere in them.
TEST(CodePageShortcuts, AgreeWithTheReadingACharacterAtATime) {
  const JisTextTable& table = JisTextTableFor(CodePage());
  const std::vector<std::string> tokens = {
      "a",        "abcdefghij", "\n",   std::string(1, '\0'), "\x82\xA0", "\x88\x9F", "\xB1",
      "\x81",  // a lead alone, or with the next token's first byte
      "\x85\x40", "\xA0",       "\xFD", "\xA4\xA2",           "\xB0\xA1", "\x8E\xB1", "\xA4\xFA",
      "\xFF"};
  std::mt19937 random(53);
  std::map<std::string, int> answers;
  for (const kernels::Level level : {kernels::Level::kBest, kernels::Level::kScalar}) {
    kernels::SetLevel(level);
    for (int round = 0; round < 20000; ++round) {
      // Half the buffers hold characters only (the first six tokens, or EUC-JP's); the others
      // hold a stray now and then, anywhere in up to three blocks of 64 bytes.
      const bool strays = random() % 2 == 0;
      const bool euc_only = random() % 4 == 0;
      Bytes bytes;
      for (std::size_t k = random() % 100; k > 0; --k) {
        const std::size_t pick = strays && random() % 16 == 0 ? random() % tokens.size()
                                 : euc_only                   ? 11 + random() % 3
                                                              : random() % 6;
        bytes.insert(bytes.end(), tokens[pick].begin(), tokens[pick].end());
      }
      const std::u16string text_of_sjis = CodePage().ToUtf16(bytes);
      ASSERT_EQ(ToUtf8(text_of_sjis), ToUtf8(OneCharacterAtATime(bytes)))
          << "Shift_JIS " << testing::HexOf(bytes);
      const bool sjis = text_of_sjis.find(u'\uFFFD') == std::u16string::npos;
      ASSERT_EQ(CodePage().AllCharacters(bytes), sjis) << "Shift_JIS " << testing::HexOf(bytes);
      std::u16string text;
      const bool euc = AppendPlainEucText(bytes.data(), bytes.size(), table, text);
      ASSERT_EQ(IsPlainEucText(bytes.data(), bytes.size(), table), euc)
          << "EUC-JP " << testing::HexOf(bytes);
      ++answers[std::string(sjis ? "Shift_JIS" : "not Shift_JIS") + (euc ? ", EUC-JP" : "")];
    }
  }
  kernels::SetLevel(kernels::Level::kBest);
  for (const char* answer : {"Shift_JIS", "Shift_JIS, EUC-JP", "not Shift_JIS"}) {
    EXPECT_GT(answers[answer], 2000) << answer;
  }
}

}  // namespace
}  // namespace sarnlink
