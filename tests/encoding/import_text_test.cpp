#include <gtest/gtest.h>

#include <random>

#include "common/errors.h"
#include "encoding/import_text.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "support/test_support.h"

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
        FixtureCase{"emoji.utf8.txt", TextEncoding::kUTF8, "emoji.utf8.txt"}),
    testing::ByField<&FixtureCase::file>());

TEST(DecodeImportText, ByteOrderMarkMakesUtf8AndIsRemoved) {
  // Mark then ASCII alone: IsUTF8 says no and the legacy detector would say EUC-JP and fail.
  const ImportText decoded = DecodeImportText(Hex("EF BB BF 41 3A 20 42"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kUTF8);
  EXPECT_EQ(decoded.text, u"A: B");
}

TEST(DecodeImportText, AsciiGoesTheLegacyRoadAndDecodesTheSame) {
  const ImportText decoded = DecodeImportText(ToBytes("AUTHOR: a\r\n"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kShiftJIS);
  EXPECT_EQ(decoded.text, u"AUTHOR: a\r\n");
}

TEST(DecodeImportText, ZeroByteIsReportedAsBinaryAndStillDecoded) {
  const ImportText decoded = DecodeImportText(Hex("41 00 42 00"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kBinary);
  EXPECT_EQ(decoded.text, std::u16string(u"A\0B\0", 4));
}

TEST(DecodeImportText, UnmappableShiftJisBytesBecomeReplacementCharacters) {
  // 82 A0 is "あ"; 85 40 is unassigned in code page 932; FD stands alone unmapped or mapped by
  // the platform, but is never dropped.
  const ImportText decoded = DecodeImportText(Hex("82 A0 85 40 41"), CodePage());
  EXPECT_EQ(decoded.encoding, TextEncoding::kShiftJIS);
  EXPECT_EQ(decoded.text.substr(0, 2), u"\u3042\uFFFD");
  EXPECT_EQ(decoded.text.back(), u'A');
}

TEST(DecodeImportText, BrokenIso2022JpFailsWithTheOffsetAndNoText) {
  try {
    DecodeImportText(Hex("41 42 1B 24 42 30"), CodePage());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kConversion);
    EXPECT_NE(std::string(e.what()).find("byte offset 5"), std::string::npos) << e.what();
  }
}

TEST(DecodeImportText, RandomBytesNeverCrash) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes(random() % 64);
    for (auto& b : bytes) {
      b = static_cast<std::uint8_t>(random());
    }
    try {
      DecodeImportText(bytes, CodePage());
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kConversion);
    }
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

}  // namespace
}  // namespace sarnlink
