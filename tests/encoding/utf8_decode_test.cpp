#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>

#include "encoding/utf8.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Hex;

struct DecodeCase {
  const char* bytes;
  std::u16string replacement;
  std::u16string text;
};

class DecodeUTF8Table : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUTF8Table, Decodes) {
  EXPECT_EQ(DecodeUTF8(Hex(GetParam().bytes), GetParam().replacement), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DecodeUTF8Table,
    ::testing::Values(
        DecodeCase{"C3 A9", u"", u"\u00E9"}, DecodeCase{"E3 81 82", u"", u"\u3042"},
        DecodeCase{"00", u"", std::u16string(1, u'\0')},
        // The six-byte surrogate form older files carry gives the same pair as four bytes.
        DecodeCase{"ED A0 BD ED B8 80", u"", u"\xD83D\xDE00"},
        DecodeCase{"F0 9F 98 80", u"", u"\xD83D\xDE00"},
        DecodeCase{"F4 8F BF BF", u"", u"\xDBFF\xDFFF"},
        DecodeCase{"F0 90 80 80", u"", u"\xD800\xDC00"},
        // The decoder keeps the mark; the import's decision removes it.
        DecodeCase{"EF BB BF 41", u"", u"\uFEFFA"},
        DecodeCase{"E0 80 80", u"", std::u16string(1, u'\0')}),
    testing::ByField<&DecodeCase::bytes>());

INSTANTIATE_TEST_SUITE_P(
    InvalidBytes, DecodeUTF8Table,
    ::testing::Values(DecodeCase{"41 FF 42", u"", u"AB"}, DecodeCase{"C3 41", u"", u"A"},
                      DecodeCase{"E3 81", u"", u""}, DecodeCase{"C0 80", u"", u""},
                      DecodeCase{"41 FF 42", u"?", u"A?B"}, DecodeCase{"C3 41", u"?", u"?A"},
                      DecodeCase{"80 BF", u"?", u"??"},
                      // Four-byte forms out of range or overlong stay invalid, byte by byte.
                      DecodeCase{"F4 90 80 80", u"?", u"????"},
                      DecodeCase{"F0 8F BF BF", u"?", u"????"},
                      DecodeCase{"F5 80 80 80", u"?", u"????"},
                      DecodeCase{"F0 9F 98", u"?", u"???"},
                      DecodeCase{"F0 9F 98 41", u"?", u"???A"},
                      DecodeCase{"E3 81 82 E3", u"[bad]", u"\u3042[bad]"}),
    (testing::ByField<&DecodeCase::bytes, true>()));

TEST(DecodeUTF8, EmptyBufferGivesEmptyText) {
  EXPECT_EQ(DecodeUTF8(Bytes(), u"?"), u"");
}

// The fast ASCII path must hand over to the exact rules at every position.
TEST(DecodeUTF8, SequencesAtEveryOffsetAroundTheAsciiBlocks) {
  for (std::size_t prefix = 0; prefix < 20; ++prefix) {
    Bytes bytes(prefix, 'a');
    const Bytes tail = Hex("E3 81 82 F0 9F 98 80 FF 62");
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    EXPECT_EQ(DecodeUTF8(bytes, u"?"), std::u16string(prefix, u'a') + u"\u3042\xD83D\xDE00?b")
        << "prefix " << prefix;
  }
}

TEST(DecodeUTF8, RandomBytesStayInBoundsAndNeverGrowPastTheWorstCase) {
  std::mt19937 random(1234);
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes(random() % 40);
    for (auto& b : bytes) {
      b = static_cast<std::uint8_t>(random());
    }
    EXPECT_LE(DecodeUTF8(bytes, u"").size(), bytes.size());
    EXPECT_LE(DecodeUTF8(bytes, u"<?>").size(), 3 * bytes.size());
  }
}

struct DetectCase {
  const char* name;
  Bytes bytes;
  std::int32_t count;
  bool utf8;
};

class IsUTF8Table : public ::testing::TestWithParam<DetectCase> {};

TEST_P(IsUTF8Table, Judges) {
  EXPECT_EQ(IsUTF8(GetParam().bytes, GetParam().count), GetParam().utf8);
}

Bytes Padded(std::size_t ascii, const char* hex, std::size_t after = 0) {
  Bytes bytes(ascii, 'a');
  const Bytes middle = Hex(hex);
  bytes.insert(bytes.end(), middle.begin(), middle.end());
  bytes.insert(bytes.end(), after, 'b');
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IsUTF8Table,
    ::testing::Values(
        DetectCase{"AsciiOnly", Padded(50, ""), 1024, false},
        DetectCase{"OneCharacter", Padded(10, "E3 81 82", 10), 1024, false},
        DetectCase{"TwoCharacters", Padded(10, "E3 81 82 C3 A9", 10), 1024, true},
        DetectCase{"MarkCountsAsOne", Padded(0, "EF BB BF C3 A9", 3), 1024, true},
        DetectCase{"MarkAloneIsNotEnough", Padded(0, "EF BB BF", 10), 1024, false},
        DetectCase{"StrayContinuation", Padded(0, "E3 81 82 C3 A9 80", 3), 1024, false},
        DetectCase{"FeFfPassedOver", Padded(0, "FE FF 41 42"), 1024, false},
        DetectCase{"FeFfBetweenSequences", Padded(0, "C3 A9 FE FF C3 A9"), 1024, true},
        DetectCase{"SixByteLeadAccepted", Padded(0, "FC 80 80 80 80 80 C3 A9", 2), 1024, true},
        DetectCase{"BadContinuation", Padded(0, "C3 A9 E3 41 41"), 1024, false},
        DetectCase{"ZeroCount", Padded(0, "C3 A9 C3 A9"), 0, false},
        DetectCase{"EmptyBuffer", Bytes(), 1024, false},
        DetectCase{"ShorterThanCount", Padded(3, "C3 A9 C3 A9"), 1024, true},
        // The window ends inside a sequence: the verdict rests on what came before it.
        DetectCase{"LeadAt1022StopsTheScan", Padded(1020, "C3 A9 E3 81 82 C3 A9", 20), 1024, false},
        DetectCase{"LeadAt1021IsExamined", Padded(1019, "C3 A9 E3 81 82", 20), 1024, true},
        DetectCase{"CharactersPastTheWindow", Padded(1030, "C3 A9 C3 A9"), 1024, false}),
    testing::ByName());

struct WholeCase {
  const char* name;
  Bytes bytes;
  bool decodable;
};

class WhollyUtf8Table : public ::testing::TestWithParam<WholeCase> {};

// Whole and in pieces of 7 bytes, so that sequences are cut by pieces too.
TEST_P(WhollyUtf8Table, Judges) {
  const Bytes& bytes = GetParam().bytes;
  for (std::size_t piece : {bytes.size() + 1, std::size_t{7}}) {
    UTF8Survey survey(bytes.size());
    for (std::size_t at = 0; at <= bytes.size(); at += piece) {
      const std::size_t length = std::min(piece, bytes.size() - at);
      survey.Feed(std::span<const std::uint8_t>(bytes.data() + at, length),
                  at + length == bytes.size());
      if (at + length == bytes.size()) {
        break;
      }
    }
    EXPECT_EQ(survey.WhollyUtf8(), GetParam().decodable) << "in pieces of " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WhollyUtf8Table,
    ::testing::Values(WholeCase{"AsciiOnly", Padded(3000, ""), false},
                      WholeCase{"OneCharacterLate", Padded(3000, "E3 81 82", 5), true},
                      WholeCase{"FourByteForm", Padded(30, "F0 9F 98 80"), true},
                      WholeCase{"ShiftJisPair", Padded(30, "82 A0"), false},
                      WholeCase{"EucPair", Padded(30, "B0 A1"), false},
                      WholeCase{"CutAtTheEnd", Padded(30, "E3 81 82 E3 81"), false},
                      WholeCase{"OutOfRangeFourByte", Padded(30, "F4 90 80 80"), false}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
