#include <gtest/gtest.h>

#include <random>

#include "common/errors.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "support/test_support.h"
#include "support/whole_file_oracle.h"

namespace sarnlink {
namespace {

using testing::Hex;
using testing::HexOf;

struct DetectCase {
  const char* name;
  const char* bytes;
  KanjiCode code;
};

KanjiCode DetectKanjiCode(const Bytes& buffer) {
  KanjiDetector detector;
  detector.Feed(buffer.data(), buffer.size());
  return detector.Result();
}

class DetectKanjiCodeTable : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectKanjiCodeTable, Decides) {
  EXPECT_EQ(DetectKanjiCode(Hex(GetParam().bytes)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DetectKanjiCodeTable,
    ::testing::Values(
        DetectCase{"OneByte", "88", kcShiftJIS}, DetectCase{"Empty", "", kcShiftJIS},
        DetectCase{"Ascii", "41 42 43 0D 0A", kcShiftJIS},
        DetectCase{"JisTwoByteEscape", "41 1B 24 42 30 21", kcJIS},
        DetectCase{"JisAsciiEscape", "41 42 1B 28 42", kcJIS},
        DetectCase{"EscapeAsLastByteNeverLooked", "41 42 1B", kcShiftJIS},
        DetectCase{"ShiftJisPair", "88 9F", kcShiftJIS}, DetectCase{"EucPairAlone", "B0 A1", kcEUC},
        DetectCase{"EucDecisive", "C6 FC", kcEUC}, DetectCase{"Utf16Zero", "41 00 42 00", kcBinary},
        DetectCase{"Utf8Hiragana", "E3 81 82", kcShiftJIS},
        DetectCase{"Utf8Kanji", "E6 97 A5", kcShiftJIS},
        // BOM then ASCII: scores end at J -2, S 0, E +3.
        DetectCase{"MarkThenAscii", "EF BB BF 41 42", kcEUC},
        // ESC with another byte: J +1, S -1, E -1 each time.
        DetectCase{"JisScoresWin", "1B 41 1B 41", kcJIS},
        // J above S and equal to E: ISO-2022-JP.
        DetectCase{"JisTiesEuc", "1B 41 1B 41 1B 41 A1 41 A1 41 A1 41 A1 41 A1 41 A1 41", kcJIS},
        // S and J equal and at least E: Shift_JIS.
        DetectCase{"TieGoesToShiftJis", "41 42", kcShiftJIS}),
    testing::ByName());

struct ConvertCase {
  const char* name;
  const char* in;
  const char* out;
};

class JISToSJISTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(JISToSJISTable, Converts) {
  EXPECT_EQ(HexOf(JISToSJIS(Hex(GetParam().in))), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JISToSJISTable,
    ::testing::Values(ConvertCase{"KanjiThenAscii", "1B 24 42 30 21 1B 28 42 41", "88 9F 41"},
                      ConvertCase{"Hiragana", "1B 24 42 24 22 1B 28 4A", "82 A0"},
                      ConvertCase{"FirstCell", "1B 24 42 21 21", "81 40"},
                      ConvertCase{"RowFiveF", "1B 24 42 5F 21", "E0 40"},
                      ConvertCase{"LastCell", "1B 24 42 7E 7E", "EF FC"},
                      ConvertCase{"OldJisEscape", "1B 24 40 30 21", "88 9F"},
                      ConvertCase{"Katakana", "1B 28 49 31", "B1"},
                      ConvertCase{"EscWithoutAFinalByteDropsOnlyEsc", "41 1B 20 20 20 20 42",
                                  "41 20 20 20 20 42"},
                      // A zero byte is kept, and so is everything after it.
                      ConvertCase{"ZeroIsKept", "41 00 42", "41 00 42"},
                      ConvertCase{"ZeroFirst", "00 41", "00 41"}),
    testing::ByName());

class EUCToJISTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(EUCToJISTable, Converts) {
  EXPECT_EQ(HexOf(EUCToJIS(Hex(GetParam().in))), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Rules, EUCToJISTable,
                         ::testing::Values(ConvertCase{"KanjiBetweenAscii", "41 B0 A1 42",
                                                       "41 1B 24 42 30 21 1B 28 4A 42"},
                                           ConvertCase{"Katakana", "8E B1", "1B 28 49 31"},
                                           ConvertCase{"NoEscapeAtTheEnd", "B0 A1",
                                                       "1B 24 42 30 21"},
                                           ConvertCase{"ZeroIsKept", "00 B0 A1 00 41",
                                                       "00 1B 24 42 30 21 1B 28 4A 00 41"}),
                         testing::ByName());

struct TextCase {
  const char* name;
  const char* in;
  std::u16string text;
};

class OtherSets : public ::testing::TestWithParam<TextCase> {};

// A character of a set that Shift_JIS has no bytes for becomes its character as iconv knows it
// (U+FFFD where it does not), never ASCII; the text after the set is read as the next escape
// says.
TEST_P(OtherSets, BecomeTheirCharactersNeverAscii) {
  static const IconvCodePage932 code_page;
  const TextCase& c = GetParam();
  const Bytes in = Hex(c.in);
  const bool euc = c.name[0] == 'E';
  EXPECT_EQ(euc ? EUCToString(in, code_page) : JISToString(in, code_page), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, OtherSets,
    ::testing::Values(TextCase{"JisX0212", "1B 24 28 44 30 21 30 22 1B 28 42 41", u"丂丄A"},
                      // か with a semi-voiced mark: two code points for one JIS X 0213 cell.
                      TextCase{"JisX0213Plane1", "41 1B 24 28 51 24 77 1B 28 42 0A",
                               u"Aか\u309A\n"},
                      TextCase{"JisX0213Plane2OutsideTheBmp", "1B 24 28 50 21 21 1B 24 42 30 21",
                               u"\U00020089\u4E9C"},
                      TextCase{"Gb2312", "1B 24 41 30 21 1B 28 4A 41", u"啊A"},
                      TextCase{"KsC5601", "1B 24 28 43 30 21 1B 28 42 41", u"가A"},
                      TextCase{"UnknownTwoByteSet", "1B 24 28 58 30 21 1B 28 42 41", u"\uFFFDA"},
                      TextCase{"UnknownSingleByteSetKeepsSpacesAndLineEnds",
                               "1B 28 44 41 20 42 0A 1B 28 42 43", u"\uFFFD \uFFFD\nC"},
                      TextCase{"SingleShiftMarksOneByte", "41 1B 4E 41 42", u"A\uFFFDB"},
                      TextCase{"OtherDesignationIsPassedOver", "41 1B 2E 41 42", u"AB"},
                      TextCase{"EucJisX0212", "41 8F B0 A1 B0 A1 0A", u"A丂\u4E9C\n"},
                      TextCase{"EucJisX0212Unassigned", "41 8F A1 A1 0A", u"A\uFFFD\n"},
                      // JIS X 0212's own reading stays where eucJP-ms reads it otherwise.
                      TextCase{"EucJisX0212BrokenBar", "8F A2 C3", u"\u00A6"},
                      // eucJP-ms's IBM extensions, and its user-defined area in both forms.
                      TextCase{"EucJpMsIbmExtension", "41 8F F4 FB 0A", u"A\u9AD9\n"},
                      TextCase{"EucJpMsUserDefinedPair", "F5 A1 FE FE", u"\uE000\uE3AB"},
                      TextCase{"EucJpMsUserDefinedThreeBytes", "8F F5 A1", u"\uE3AC"},
                      // Code page 932 has NEC-selected IBM extensions in these rows; they stay.
                      TextCase{"EucRowOfNecSelectedIbmExtensions", "F9 A1", u"\u7E8A"}),
    testing::ByName());

class EucJpReading : public ::testing::TestWithParam<TextCase> {};

// EUC-JP never fails: a broken character is one U+FFFD and never swallows the ASCII byte after
// it, so the line ends and keys after it are read as they are.
TEST_P(EucJpReading, BrokenCharactersBecomeOneReplacementEach) {
  static const IconvCodePage932 code_page;
  EXPECT_EQ(EUCToString(Hex(GetParam().in), code_page), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EucJpReading,
    ::testing::Values(TextCase{"LeadBeforeAscii", "B0 41 0A", u"\uFFFDA\n"},
                      TextCase{"LeadBeforeAHighByteBelowA1", "B0 90 41", u"\uFFFDA"},
                      TextCase{"LeadBeforeFF", "B0 FF B0 A1", u"\uFFFD\u4E9C"},
                      TextCase{"LeadAtTheEnd", "41 B0", u"A\uFFFD"},
                      TextCase{"KatakanaPrefixBeforeAscii", "8E 41", u"\uFFFDA"},
                      TextCase{"KatakanaPrefixBeforeAPairByte", "8E E0 41", u"\uFFFDA"},
                      TextCase{"ThreeBytesCutByAscii", "8F B0 41", u"\uFFFDA"},
                      TextCase{"ThreeBytesWithABrokenCell", "8F B0 90 41", u"\uFFFDA"},
                      TextCase{"ThreeBytesAtTheEnd", "41 8F B0", u"A\uFFFD"},
                      TextCase{"PrefixBeforeAscii", "8F 0A", u"\uFFFD\n"},
                      TextCase{"HighBytesThatLeadNothing", "80 9B A0 B0 A1",
                               u"\uFFFD\uFFFD\uFFFD亜"},
                      TextCase{"EscIsAControlCharacter", "1B 24 42 30 21", u"\x1B$B0!"},
                      TextCase{"ZeroByte", "41 00 B0 A1", u"A\uFFFD亜"},
                      TextCase{"Utf8", "E3 81 82 0A", u"\uFFFD\uFFFD\n"}),
    testing::ByName());

TEST(EUCToSJIS, GoesThroughJis) {
  EXPECT_EQ(HexOf(EUCToSJIS(Hex("41 B0 A1 42"))), "41 88 9F 42");
  EXPECT_EQ(HexOf(EUCToSJIS(Hex("8E B1"))), "B1");
  EXPECT_EQ(HexOf(EUCToSJIS(Hex("41 00 B0 A1"))), "41 00 88 9F");  // nothing cut at the zero
}

struct FailCase {
  const char* name;
  const char* in;
  const char* message;  // a part the message must hold: what and where
};

class JISToSJISFailures : public ::testing::TestWithParam<FailCase> {};

TEST_P(JISToSJISFailures, ThrowConversionErrorsWithTheOffset) {
  try {
    JISToSJIS(Hex(GetParam().in));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kConversion);
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, JISToSJISFailures,
    ::testing::Values(FailCase{"SelectorAlone", "1B 28 4A", "empty result"},
                      FailCase{"PairCutByTheEnd", "1B 24 42 30", "byte offset 3"},
                      FailCase{"EscAmongLastTwo", "41 1B 24", "byte offset 1"},
                      FailCase{"ComputedByteAboveFF", "1B 24 42 FF 21", "byte offset 3"}),
    testing::ByName());

class EUCToJISFailures : public ::testing::TestWithParam<FailCase> {};

TEST_P(EUCToJISFailures, ThrowConversionErrorsWithTheOffset) {
  try {
    EUCToJIS(Hex(GetParam().in));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kConversion);
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EUCToJISFailures,
    ::testing::Values(FailCase{"HighLastByte", "41 B0", "byte offset 1"},
                      FailCase{"SecondByteBelow80", "B0 41", "below 80 (B0 41) at byte offset 1"},
                      FailCase{"JisX0212CutByTheEnd", "41 8F B0",
                               "(8F) cut off by the end of the input at "
                               "byte offset 1"},
                      FailCase{"JisX0212CellBelowA1", "8F B0 41",
                               "(8F B0 41) whose row and cell are not A1-FE "
                               "at byte offset 0"},
                      FailCase{"MarkThenAscii", "EF BB BF 41", "byte offset 3"},
                      FailCase{"Empty", "", "empty result"}),
    testing::ByName());

TEST(KanjiStrings, ReachTextThroughCodePage932) {
  IconvCodePage932 code_page;
  EXPECT_EQ(EUCToString(Hex("B0 A1"), code_page), u"\u4E9C");
  EXPECT_EQ(JISToString(Hex("1B 24 42 24 22 1B 28 42 41"), code_page), u"\u3042A");
  EXPECT_EQ(JISToString(Hex("1B 28 49 31"), code_page), u"\uFF71");  // half-width katakana
}

TEST(KanjiConverters, RandomBytesEitherConvertOrThrowConversionErrors) {
  std::mt19937 random(99);
  for (int round = 0; round < 5000; ++round) {
    Bytes bytes(random() % 24);
    for (auto& b : bytes) {
      b = static_cast<std::uint8_t>(round % 3 == 0 ? 0x1B + random() % 0x70 : random());
    }
    DetectKanjiCode(bytes);
    using Convert = Bytes (*)(const Bytes&);
    const Convert jis = [](const Bytes& in) {
      std::vector<OtherSetMark> marks;
      Bytes out = JISToSJIS(in, &marks);
      out.resize(out.size() + marks.size(), '?');  // a marked character is text too
      return out;
    };
    for (Convert convert : {jis, Convert{&EUCToJIS}, Convert{&EUCToSJIS}}) {
      try {
        const Bytes out = convert(bytes);
        EXPECT_FALSE(out.empty());
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::kConversion);
      }
    }
  }
}

}  // namespace
}  // namespace sarnlink

namespace sarnlink {
namespace {

// What JISToSJIS(EUCToJIS(x)) gives, or the error message it throws.
std::string TwoPass(const Bytes& euc) {
  try {
    return testing::HexOf(JISToSJIS(EUCToJIS(euc)));
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

std::string OnePass(const Bytes& euc) {
  try {
    return testing::HexOf(EUCToSJIS(euc));
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

// EUCToSJIS takes a one-pass road when it can; it must agree with the two steps it stands for.
TEST(EUCToSJIS, AgreesWithTheTwoStepsOnRandomInput) {
  std::mt19937 random(2024);
  for (int round = 0; round < 20000; ++round) {
    Bytes euc(random() % 12);
    for (auto& b : euc) {
      const auto pick = random() % 10;
      b = static_cast<std::uint8_t>(pick < 3    ? 0x20 + random() % 0x60
                                    : pick == 9 ? random()
                                                : 0x8E + random() % 0x72);
    }
    ASSERT_EQ(OnePass(euc), TwoPass(euc)) << testing::HexOf(euc);
  }
}

// EUCToString takes one pass through the JIS text table where every character is plain, and
// reads the rest a character at a time; it must give exactly the text that reading the whole
// input a character at a time, by the rules alone, gives.
TEST(EUCToString, GivesTheTextOfTheReadingACharacterAtATime) {
  static const IconvCodePage932 code_page;
  std::mt19937 random(77);
  const std::vector<std::vector<std::uint8_t>> tokens = {
      {'a'},        {'\n'},       {0xA4, 0xA2},       {0xB0, 0xA1},       {0x8E, 0xB1},
      {0xAD, 0xA1}, {0xF9, 0xA1}, {0xA9, 0xA1},       {0x8F, 0xA1, 0xA1}, {0xA4},
      {0xFF, 0xFF}, {0x8E, 0x41}, {0x8F, 0xF4, 0xFB}, {0xF5, 0xA1},       {0x00},
      {0x8F, 0xB0}, {0x90},       {0x1B, '$', 'B'},   {0xB0, 0x41},       {0x8F}};
  for (int round = 0; round < 10000; ++round) {
    Bytes input;
    const std::size_t n = random() % 16;
    for (std::size_t k = 0; k < n; ++k) {
      const auto& token = tokens[random() % (random() % 4 == 0 ? tokens.size() : 7)];
      input.insert(input.end(), token.begin(), token.end());
    }
    ASSERT_EQ(ToUtf8(EUCToString(input, code_page)), ToUtf8(ReadEucJpPlainly(input, code_page)))
        << testing::HexOf(input);
  }
}

}  // namespace
}  // namespace sarnlink
