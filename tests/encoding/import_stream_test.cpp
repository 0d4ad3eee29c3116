// The import reads its file in pieces; whatever the piece size, the decision, the text, the
// invalid bytes and the failures must be exactly those of the whole-file decoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "common/errors.h"
#include "encoding/import_stream.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "interface/memory_input_file.h"
#include "support/test_support.h"
#include "support/whole_file_oracle.h"

namespace sarnlink {
namespace {

using testing::DataFile;
using testing::ReadBytes;

const IconvCodePage932& CodePage() {
  static const IconvCodePage932 code_page;
  return code_page;
}

// What a decoding gave: its encoding, its text and replacements, or its failure's message.
std::string Outcome(TextEncoding encoding, const std::u16string& text,
                    const Replacements& replaced) {
  return std::string(TextEncodingName(encoding)) + "|" + ToUtf8(text) + "|" +
         std::to_string(replaced.count) + "@" + std::to_string(replaced.first_line);
}

std::string Whole(const Bytes& bytes, std::optional<TextEncoding> forced = std::nullopt) {
  try {
    const ImportText t = DecodeImportText(bytes, CodePage(), forced);
    return Outcome(t.encoding, t.text, t.replaced);
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

// The replacements counted without the text (as `detect` counts them), or the failure.
std::string CountedInPieces(MemoryInputFile& file, const StreamDecision& decision,
                            std::size_t piece_size) {
  try {
    const Replacements counted = ReadInPieces(
        file, decision, CodePage(),
        [](StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
          decoder.Count(piece, last);
        },
        piece_size);
    return std::to_string(counted.count) + "@" + std::to_string(counted.first_line);
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

// The decision and the text in pieces; the replacements counted without the text must be the
// same, or the outcome says what they were.
std::string InPieces(const Bytes& bytes, std::size_t piece_size,
                     std::optional<TextEncoding> forced = std::nullopt) {
  MemoryInputFile file(bytes);
  StreamDecision decision;
  std::string outcome;
  try {
    decision = DecideImportEncoding(file, bytes.size(), forced, true, piece_size);
    std::u16string text;
    const Replacements replaced = DecodeInPieces(
        file, decision, CodePage(), [&text](std::u16string_view t) { text += t; }, piece_size);
    outcome = Outcome(decision.encoding, text, replaced);
  } catch (const Error& e) {
    outcome = std::string("error: ") + e.what();
  }
  file.Rewind();
  const std::string counted = CountedInPieces(file, decision, piece_size);
  const std::string decoded = outcome.substr(outcome.rfind('|') + 1);
  return counted == decoded || (outcome.starts_with("error") && counted == outcome)
             ? outcome
             : outcome + " but counted " + counted;
}

constexpr std::size_t kPieceSizes[] = {1, 2, 3, 5, 7, 64, 1000, 1 << 20};

TEST(DecodeInPieces, GivesTheWholeFilesTextForEveryFixtureAndPieceSize) {
  for (const char* name :
       {"japanese.utf8.txt", "japanese.utf8-bom.txt", "japanese.sjis.txt", "japanese.eucjp.txt",
        "japanese.iso2022jp.txt", "english-first.utf8.txt", "english-first.sjis.txt",
        "emoji.utf8.txt", "japanese.utf16le.txt", "japanese.utf16be.txt", "emoji.utf16le.txt",
        "real-world/mostly-english.utf8-stray.txt", "real-world/mostly-english.sjis.txt",
        "real-world/mostly-english.eucjp.txt", "real-world/mostly-english.iso2022jp.txt",
        "real-world/blog-service.utf8.txt"}) {
    const Bytes bytes = ReadBytes(DataFile(name));
    const std::string expected = Whole(bytes);
    for (std::size_t size : kPieceSizes) {
      EXPECT_EQ(InPieces(bytes, size), expected) << name << " in pieces of " << size;
    }
    for (TextEncoding forced :
         {TextEncoding::kUTF8, TextEncoding::kShiftJIS, TextEncoding::kUTF16LE}) {
      EXPECT_EQ(InPieces(bytes, 3, forced), Whole(bytes, forced)) << name << " forced";
    }
  }
}

// Random bytes drawn to hit every road: mostly text with high bytes, escapes, zero bytes,
// invalid sequences, and broken ISO-2022-JP (cut escapes and pairs), which no longer fails.
TEST(DecodeInPieces, AgreesWithTheWholeFileOnRandomBytes) {
  std::mt19937 random(29);
  std::map<std::string, int> seen;  // how often each road was taken, so that none is missed
  // Each family is a list of tokens; a buffer is mostly one family with others mixed in.
  const std::vector<std::vector<std::string>> families = {
      {"a", "\n", "\r\n", " ", "\r"},
      {"\xE3\x81\x82", "\xC3\xA9", "\xF0\x9F\x8D\x89", "\xEF\xBB\xBF", "\x80",
       "\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\xBD", "\x80\x80\x80\x80", "\xE3\x81"},
      {"\x82\xA0", "\x88\x9F", "\xB1", "\x81"},
      // A4 FA has no character; its Shift_JIS form's second byte F8 may lead a pair with the
      // next character's first byte, so the pairs after it in its run are read shifted.
      {"\xA4\xA2", "\xB0\xA1", "\x8E\xB1", "\xA4", "\xA9\xA1", "\xAA\xA1", "\xA2\xAF", "\xFF\xFF",
       "\xA4\xFA"},
      {"\x1B$B0!", "\x1B(B", "\x1B(I1", "\x1B$", "\x1B$(D0!", "\x1B$A", "\x1BN"},
      {std::string(1, '\0'), "\xFF", "\x9B", "\x1B"},
  };
  for (int round = 0; round < 4000; ++round) {
    Bytes bytes;
    if (random() % 8 == 0) {  // a UTF-16 mark, or one that is cut short
      const std::string mark = random() % 2 ? "\xFF\xFE" : "\xFE\xFF";
      bytes.insert(bytes.end(), mark.begin(), mark.begin() + 1 + random() % 2);
    }
    const std::size_t mix = random() % families.size();
    const std::size_t tokens = 1 + random() % 40;
    for (std::size_t k = 0; k < tokens; ++k) {
      const std::size_t family =
          random() % 5 == 0 ? random() % families.size() : (random() % 3 ? mix : 0);
      const std::string& token = families[family][random() % families[family].size()];
      bytes.insert(bytes.end(), token.begin(), token.end());
    }
    const std::string expected = Whole(bytes);
    ++seen[expected.substr(0, expected.find_first_of("|:"))];
    for (std::size_t size : {std::size_t{1}, std::size_t{4}, std::size_t{9}}) {
      ASSERT_EQ(InPieces(bytes, size), expected)
          << testing::HexOf(bytes) << " in pieces of " << size;
    }
  }
  for (const char* road :
       {"UTF-8", "UTF-16LE", "UTF-16BE", "Shift_JIS", "EUC-JP", "ISO-2022-JP", "binary", "ASCII"}) {
    EXPECT_GT(seen[road], 20) << road;
  }
}

// `decode` copies UTF-8 that would come back unchanged and encodes the rest again; in pieces of
// any size it must write what encoding the whole file's text gives, an encoded surrogate pair
// cut by a piece included.
TEST(DecodeToUtf8, InPiecesWritesTheWholeFilesTextAsUtf8) {
  const std::vector<std::string> tokens = {"a",
                                           "\n",
                                           "\xE3\x81\x82",
                                           "\xF0\x9F\x8D\x89",
                                           "\xED\xA0\xBD\xED\xB8\x80",
                                           "\xED\xA0\xBD",
                                           "\xED\xB8\x80",
                                           "\x80",
                                           "\xE3\x81",
                                           "\xC3\xA9"};
  std::mt19937 random(8);
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = ToBytes("\xE3\x81\x82\xE3\x81\x84");  // UTF-8 by the first kilobyte
    for (std::size_t k = random() % 40; k > 0; --k) {
      const std::string& token = tokens[random() % tokens.size()];
      bytes.insert(bytes.end(), token.begin(), token.end());
    }
    Bytes expected;
    EncodeUTF8(DecodeImportText(bytes, CodePage()).text, expected);
    for (std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{7}}) {
      MemoryInputFile file(bytes);
      const StreamDecision decision = DecideImportEncoding(file, bytes.size(), std::nullopt);
      Bytes written;
      ReadInPieces(
          file, decision, CodePage(),
          [&](StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
            decoder.DecodeToUtf8(piece, last, written);
          },
          size);
      ASSERT_EQ(testing::HexOf(written), testing::HexOf(expected))
          << testing::HexOf(bytes) << " in pieces of " << size;
    }
  }
}

// EUC-JP with what its one-pass table cannot take (zero bytes, ESC, stray high bytes, the 8F
// form, eucJP-ms's user-defined pairs, broken characters and characters cut by the end) anywhere:
// in pieces of any size it must give the whole file's text, replacements and line.
TEST(DecodeInPieces, EucJpAgreesWithTheWholeFile) {
  const std::vector<std::string> tokens = {"a",
                                           "\n",
                                           "\xB0\xA1",
                                           "\xA4\xA2",
                                           "\x8E\xB1",
                                           "\x8F\xB0\xA1",
                                           "\x8F\xF4\xFB",
                                           "\xF5\xA1",
                                           "\x1B$B",
                                           "\x1B(B",
                                           "\x1B",
                                           "\x9B\xA1",
                                           "\x80\xA1",
                                           std::string(1, '\0'),
                                           "\xB0\x41",
                                           "\x8F\x41",
                                           "\x8F\xB0",
                                           "\xB0\x90",
                                           "\xB0"};
  std::mt19937 random(41);
  std::map<std::string, int> seen;
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes;
    for (std::size_t k = 1 + random() % 30; k > 0; --k) {
      const std::string& token = tokens[random() % (random() % 4 == 0 ? tokens.size() : 8)];
      bytes.insert(bytes.end(), token.begin(), token.end());
    }
    const std::string expected = Whole(bytes, TextEncoding::kEUCJP);
    ++seen[expected.ends_with("|0@0") ? "read whole" : "replaced"];
    for (std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
      ASSERT_EQ(InPieces(bytes, size, TextEncoding::kEUCJP), expected)
          << testing::HexOf(bytes) << " in pieces of " << size;
    }
  }
  EXPECT_GT(seen["read whole"], 500);
  EXPECT_GT(seen["replaced"], 500);
}

struct ReplacementCase {
  const char* name;
  const char* hex;
  const char* encoding;
  std::u16string text;
  std::size_t count;
  std::int64_t first_line;
  std::optional<TextEncoding> forced = std::nullopt;  // the user's word, else the decision
};

class Replacing : public ::testing::TestWithParam<ReplacementCase> {};

// Whatever road decided the encoding, a byte or sequence that does not become its character
// becomes U+FFFD, is counted, and the line of the first is known, in pieces of any size.
TEST_P(Replacing, EveryRoadReplacesCountsAndPlacesWhatItCannotRead) {
  const ReplacementCase& c = GetParam();
  const Bytes bytes = testing::Hex(c.hex);
  const std::string expected = std::string(c.encoding) + "|" + ToUtf8(c.text) + "|" +
                               std::to_string(c.count) + "@" + std::to_string(c.first_line);
  EXPECT_EQ(Whole(bytes, c.forced), expected);
  for (std::size_t size : kPieceSizes) {
    EXPECT_EQ(InPieces(bytes, size, c.forced), expected) << "in pieces of " << size;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Roads, Replacing,
    ::testing::Values(
        // A UTF-8 mark in front of Shift_JIS: every lead byte became nothing before.
        ReplacementCase{"Utf8MarkBeforeShiftJis", "EF BB BF 41 0D 0A 82 A0", "UTF-8",
                        u"A\r\n\uFFFD\uFFFD", 2, 2},
        ReplacementCase{"ShiftJisUnassignedPair", "41 0D 42 0D 85 40 82 A0 88 9F", "Shift_JIS",
                        u"A\rB\r\uFFFD@あ亜", 1, 3},
        ReplacementCase{"Utf16LeWithMark", "FF FE 41 00 0A 00 42 30 3D D8 00 DE", "UTF-16LE",
                        u"A\nあ\U0001F600", 0, 0},
        ReplacementCase{"Utf16BeWithMark", "FE FF 00 41 00 0A 30 42", "UTF-16BE", u"A\nあ", 0, 0},
        ReplacementCase{"Utf16LoneHighSurrogate", "FF FE 41 00 0A 00 3D D8 42 00", "UTF-16LE",
                        u"A\n\uFFFDB", 1, 2},
        ReplacementCase{"Utf16LoneLowSurrogate", "FE FF DE 00 00 0D 00 41", "UTF-16BE",
                        u"\uFFFD\rA", 1, 1},
        ReplacementCase{"Utf16HighSurrogateAtTheEnd", "FF FE 41 00 3D D8", "UTF-16LE", u"A\uFFFD",
                        1, 1},
        ReplacementCase{"Utf16OddLastByte", "FF FE 41 00 0A 00 42", "UTF-16LE", u"A\n\uFFFD", 1, 2},
        // A4 FA (row 4, past the kana) has no character. It is one U+FFFD, and the pairs after
        // it are themselves: its Shift_JIS bytes once left F8 to pair with the next one.
        ReplacementCase{"EucJpPairWithoutCharacter", "41 0D 0A B5 FE C5 D4 A4 FA A4 E2 A1 A2 0D 0A",
                        "EUC-JP", u"A\r\n京都\uFFFDも、\r\n", 1, 2},
        ReplacementCase{"EucJpThroughJisPairWithoutCharacter",
                        "41 0D 0A B5 FE C5 D4 8F B0 A1 A4 FA A4 E2 A1 A2 0D 0A", "EUC-JP",
                        u"A\r\n京都丂\uFFFDも、\r\n", 1, 2},
        ReplacementCase{"Iso2022JpPairWithoutCharacter",
                        "41 0D 0A 1B 24 42 35 7E 45 54 24 7A 24 62 21 22 1B 28 42 0D 0A",
                        "ISO-2022-JP", u"A\r\n京都\uFFFDも、\r\n", 1, 2}),
    testing::ByName());

// A zero byte (UTF-16's U+0000) is no text, on every road: it becomes U+FFFD and is counted and
// placed, and the text after it is all there.
INSTANTIATE_TEST_SUITE_P(
    Zeros, Replacing,
    ::testing::Values(
        ReplacementCase{"Utf8", "E3 81 82 E3 81 84 0A 41 00 42 0A 00", "UTF-8",
                        u"あい\nA\uFFFDB\n\uFFFD", 2, 2},
        ReplacementCase{"Utf8AfterAStrayByte", "E3 81 82 E3 81 84 0A 80 0A 00", "UTF-8",
                        u"あい\n\uFFFD\n\uFFFD", 2, 2, TextEncoding::kUTF8},
        ReplacementCase{"Utf16Le", "FF FE 41 00 0A 00 00 00 42 00", "UTF-16LE", u"A\n\uFFFDB", 1,
                        2},
        ReplacementCase{"Utf16Be", "FE FF 00 41 00 0A 00 00", "UTF-16BE", u"A\n\uFFFD", 1, 2},
        ReplacementCase{"ShiftJis", "82 A0 0A 00 82 A2 0A", "Shift_JIS", u"あ\n\uFFFDい\n", 1, 2},
        ReplacementCase{"EucJp", "B0 A1 C6 FC 0A 00 0A", "EUC-JP", u"亜日\n\uFFFD\n", 1, 2},
        ReplacementCase{"Iso2022Jp", "1B 24 42 30 21 1B 28 42 0A 41 00 42", "ISO-2022-JP",
                        u"亜\nA\uFFFDB", 1, 2},
        ReplacementCase{"Iso2022JpZeroOnly", "00", "ISO-2022-JP", u"\uFFFD", 1, 1,
                        TextEncoding::kISO2022JP},
        ReplacementCase{"Binary", "41 00 42 0A 43", "binary", u"A\uFFFDB\nC", 1, 1}),
    testing::ByName());

// A file without a byte from 80 up (and no escape of ISO-2022-JP) is ASCII, however long its
// first kilobyte; a zero byte that ends it is replaced as anywhere else.
INSTANTIATE_TEST_SUITE_P(
    Ascii, Replacing,
    ::testing::Values(
        ReplacementCase{"Alone", "41 3A 20 42 0D 0A 43", "ASCII", u"A: B\r\nC", 0, 0},
        ReplacementCase{"ZeroAtTheEnd", "41 0A 00", "ASCII", u"A\n\uFFFD", 1, 2},
        // ESC A is an escape ISO-2022-JP does not know, passed over whole.
        ReplacementCase{"WithAStrayEscape", "41 1B 41 0A", "ISO-2022-JP", u"A\n", 0, 0},
        ReplacementCase{"OneHighByteIsShiftJis", "41 0A 42 B1", "Shift_JIS", u"A\nB\uFF71", 0, 0}),
    testing::ByName());

// UTF-16 without a byte-order mark is known by its ASCII beside zero bytes in the first kilobyte;
// too few such units are not enough.
INSTANTIATE_TEST_SUITE_P(
    Utf16WithoutMark, Replacing,
    ::testing::Values(
        ReplacementCase{"LittleEndian",
                        "54 00 49 00 54 00 4C 00 45 00 3A 00 20 00 42 30 0D 00 0A 00", "UTF-16LE",
                        u"TITLE: あ\r\n", 0, 0},
        ReplacementCase{"BigEndian", "00 54 00 49 00 54 00 4C 00 45 00 3A 00 20 30 42 00 0D 00 0A",
                        "UTF-16BE", u"TITLE: あ\r\n", 0, 0},
        ReplacementCase{
            "ZeroUnitAndAnOddLastByte",
            "54 00 49 00 54 00 4C 00 45 00 3A 00 20 00 61 00 0D 00 0A 00 00 00 62 00 63",
            "UTF-16LE", u"TITLE: a\r\n\uFFFDb\uFFFD", 2, 2},
        // U+3000 and U+4E00 put their zero bytes the other way round; the key line's colon,
        // space and line end decide.
        ReplacementCase{"IdeographicSpacesAndOnes",
                        "41 00 3A 00 20 00 00 30 00 4E 00 30 00 4E 00 30 00 4E 0D 00 0A 00",
                        "UTF-16LE", u"A: \u3000\u4E00\u3000\u4E00\u3000\u4E00\r\n", 0, 0},
        ReplacementCase{"LettersAloneAreBinary", "41 00 42 00 43 00 44 00 45 00 46 00 47 00",
                        "binary", u"A\uFFFDB\uFFFDC\uFFFDD\uFFFDE\uFFFDF\uFFFDG\uFFFD", 7, 1}),
    testing::ByName());

// EUC-JP no longer fails at a broken character: each is one U+FFFD, counted with its line, and
// the ASCII after it is read as it is. eucJP-ms's characters are text, not replacements.
INSTANTIATE_TEST_SUITE_P(
    EucJp, Replacing,
    ::testing::Values(ReplacementCase{"EucJpMsCharactersAreText", "41 0A 8F F4 FB F5 A1 B5 FE 0A",
                                      "EUC-JP", u"A\n\u9AD9\uE000京\n", 0, 0},
                      ReplacementCase{"LeadBeforeALineEnd", "41 0A B0 0A B0 A1 0A", "EUC-JP",
                                      u"A\n\uFFFD\n亜\n", 1, 2, TextEncoding::kEUCJP},
                      ReplacementCase{"SecondByteBelowA1", "B0 A1 0A 0A B0 90 B0 A1 8E 41 0A",
                                      "EUC-JP", u"亜\n\n\uFFFD亜\uFFFDA\n", 2, 3,
                                      TextEncoding::kEUCJP},
                      ReplacementCase{"CutByTheEnd", "B0 A1 0A 8F B0", "EUC-JP", u"亜\n\uFFFD", 1,
                                      2, TextEncoding::kEUCJP}),
    testing::ByName());

// ASCII is known only at the file's end: a high byte after the first kilobyte, or after many
// pieces, still makes it Shift_JIS.
TEST(DecideImportEncoding, AsciiIsAsciiToTheLastByte) {
  Bytes bytes(3000, 'A');
  EXPECT_EQ(InPieces(bytes, 7), "ASCII|" + std::string(3000, 'A') + "|0@0");
  bytes.push_back(0xB1);
  EXPECT_EQ(InPieces(bytes, 7), "Shift_JIS|" + std::string(3000, 'A') + "\uFF71|0@0");
  EXPECT_EQ(Whole(bytes), InPieces(bytes, 7));
}

// The first kilobyte says UTF-8; stray bytes further on were once dropped. The file's own
// U+FFFD is text, not a replacement.
TEST(Replacing, Utf8DecidedByItsFirstKilobyteReplacesLaterStrays) {
  Bytes bytes = testing::Hex("EF BF BD E3 81 82 0A E3 81 84 0A");
  bytes.insert(bytes.end(), 1100, 'A');
  const Bytes tail = testing::Hex("0A 42 80 43 0A FF");
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  const std::string expected = "UTF-8|\xEF\xBF\xBD\xE3\x81\x82\n\xE3\x81\x84\n" +
                               std::string(1100, 'A') +
                               "\nB\xEF\xBF\xBD"
                               "C\n\xEF\xBF\xBD|2@4";
  EXPECT_EQ(Whole(bytes), expected);
  for (std::size_t size : kPieceSizes) {
    EXPECT_EQ(InPieces(bytes, size), expected) << "in pieces of " << size;
  }
}

// EUC-JP whose Japanese starts with half-width katakana (a kaomoji such as (ﾟДﾟ)) is read as
// EUC-JP, though its prefix 8E is a Shift_JIS lead byte; Shift_JIS prose, half-width katakana and
// all, never is, even where the scores alone would call it EUC-JP.
TEST(DecideImportEncoding, EucJpLedByHalfWidthKatakanaIsEucJpAndShiftJisNeverIs) {
  const std::u16string alphabet =
      u"あいうえおかきくけこさしすせそがぎぐアイウエオカキクケコ日本語東京都漢字文章今明晴雨"
      u"、。「」ＡＢＣ１２３ｱｲｳｴｵｶｷｸｹｺﾊﾝｶｸ ";
  std::mt19937 random(5);
  std::map<std::string, int> leads;  // how often each reading led the file
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    const std::size_t length = 20 + random() % 200;
    for (std::size_t k = 0; k < length; ++k) {
      text += random() % 4 == 0 ? static_cast<char16_t>(u'a' + random() % 26)
                                : alphabet[random() % alphabet.size()];
    }
    for (const std::u16string lead : {u"", u"(ﾟДﾟ) ", u"ｷﾀ━━(ﾟ∀ﾟ)━━!! "}) {
      const std::string utf8 = "TITLE: " + ToUtf8(lead + text) + "\n";
      const Bytes euc = testing::Iconv("EUC-JP", "UTF-8", utf8.data(), utf8.size());
      const Bytes sjis = testing::Iconv("CP932", "UTF-8", utf8.data(), utf8.size());
      const auto first_high =
          std::find_if(euc.begin(), euc.end(), [](std::uint8_t b) { return b >= 0x80; });
      ++leads[first_high != euc.end() && *first_high == 0x8E ? "katakana" : "other"];
      EXPECT_EQ(InPieces(euc, 64), "EUC-JP|" + utf8 + "|0@0") << testing::HexOf(euc);
      EXPECT_EQ(Whole(euc), "EUC-JP|" + utf8 + "|0@0");
      EXPECT_EQ(InPieces(sjis, 64).rfind("Shift_JIS|", 0), 0u) << testing::HexOf(sjis);
      EXPECT_EQ(Whole(sjis).rfind("Shift_JIS|", 0), 0u);
    }
  }
  EXPECT_GT(leads["katakana"], 300);
  EXPECT_GT(leads["other"], 100);
  // One half-width katakana: the scores say EUC-JP, but EUC-JP cannot end a character at LF.
  EXPECT_EQ(Whole(testing::Hex("72 BA 0A")).rfind("Shift_JIS|", 0), 0u);
}

TEST(DecideImportEncoding, WithoutHeedingTheMarkLooksAtTheBytes) {
  const Bytes bytes = testing::Hex("EF BB BF 41 0D 0A 82 A0 82 A2 82 A4 0D 0A");
  MemoryInputFile file(bytes);
  const StreamDecision marked = DecideImportEncoding(file, bytes.size(), std::nullopt);
  EXPECT_EQ(marked.encoding, TextEncoding::kUTF8);
  EXPECT_TRUE(marked.from_mark);
  EXPECT_EQ(DecideImportEncoding(file, bytes.size(), std::nullopt, false).encoding,
            TextEncoding::kShiftJIS);
}

}  // namespace
}  // namespace sarnlink
