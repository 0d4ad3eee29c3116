#include <gtest/gtest.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Hex;
using testing::HexOf;

struct EncodeCase {
  std::u16string text;
  const char* bytes;
};

class EncodeUTF8Table : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeUTF8Table, WritesTheBytesAndReturnsTheirCount) {
  Bytes buffer;
  const std::int32_t count = EncodeUTF8(GetParam().text, buffer);
  EXPECT_EQ(HexOf(buffer), GetParam().bytes);
  EXPECT_EQ(static_cast<std::size_t>(count), buffer.size());
}

INSTANTIATE_TEST_SUITE_P(
    Units, EncodeUTF8Table,
    ::testing::Values(
        EncodeCase{u"A", "41"}, EncodeCase{u"\r\n", "0D 0A"}, EncodeCase{u"\u007F", "7F"},
        EncodeCase{u"\u0080", "C2 80"}, EncodeCase{u"\u00E9", "C3 A9"},
        EncodeCase{u"\u07FF", "DF BF"}, EncodeCase{u"\u0800", "E0 A0 80"},
        EncodeCase{u"\u3042", "E3 81 82"}, EncodeCase{u"\uFF5E", "EF BD 9E"},
        EncodeCase{u"\uFFFF", "EF BF BF"}, EncodeCase{std::u16string(1, u'\0'), "00"},
        // A pair is one standard four-byte sequence (U+1F600).
        EncodeCase{u"\xD83D\xDE00", "F0 9F 98 80"}, EncodeCase{u"\xDBFF\xDFFF", "F4 8F BF BF"},
        // Lone or reversed surrogates become U+FFFD, never CESU-8.
        EncodeCase{u"\xDC00", "EF BF BD"}, EncodeCase{u"a\xD83Dz", "61 EF BF BD 7A"},
        EncodeCase{u"\xDE00\xD83D", "EF BF BD EF BF BD"}, EncodeCase{u"\xD83D", "EF BF BD"}),
    (testing::ByField<&EncodeCase::bytes, true>()));

TEST(EncodeUTF8, EmptyTextLeavesTheBufferAsItWas) {
  Bytes buffer = Hex("41 42 43");
  EXPECT_EQ(EncodeUTF8(u"", buffer), 0);
  EXPECT_EQ(HexOf(buffer), "41 42 43");
}

TEST(EncodeUTF8, ShorterLineLeavesNoStaleBytesOfTheLongerOne) {
  Bytes buffer;
  EncodeUTF8(u"日本語の長い行です\r\n", buffer);
  EXPECT_EQ(EncodeUTF8(u"A\r\n", buffer), 3);
  EXPECT_EQ(HexOf(buffer), "41 0D 0A");
}

TEST(EncodeUTF8, NeverWritesAByteOrderMark) {
  Bytes buffer;
  EncodeUTF8(u"AUTHOR: ", buffer);
  EXPECT_EQ(buffer.front(), 0x41);
}

TEST(EncodeUTF8, RoundTripsEveryBmpUnitAndPairThroughTheDecoder) {
  std::u16string text;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) {
      text += static_cast<char16_t>(c);
    }
  }
  for (char32_t c = 0x10000; c <= 0x10FFFF; c += 0x3FF) {
    text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  Bytes buffer;
  EncodeUTF8(text, buffer);
  EXPECT_EQ(DecodeUTF8(buffer, u""), text);
}

}  // namespace
}  // namespace sarnlink
