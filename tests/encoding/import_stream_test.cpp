// The import reads its file in pieces; whatever the piece size, the decision, the text, the
// invalid bytes and the failures must be exactly those of the whole-file decoding.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "common/errors.h"
#include "encoding/import_stream.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "interface/memory_input_file.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::DataFile;
using testing::ReadBytes;

const IconvCodePage932& CodePage() {
  static const IconvCodePage932 code_page;
  return code_page;
}

// What a decoding gave: its encoding, its text and invalid bytes, or its failure's message.
std::string Outcome(TextEncoding encoding, const std::u16string& text,
                    const InvalidBytes& invalid) {
  return std::string(TextEncodingName(encoding)) + "|" + ToUtf8(text) + "|" +
         std::to_string(invalid.count) + "@" +
         std::to_string(invalid.count ? invalid.first_offset : 0);
}

std::string Whole(const Bytes& bytes, std::optional<TextEncoding> forced = std::nullopt) {
  try {
    const ImportText t = DecodeImportText(bytes, CodePage(), forced);
    return Outcome(t.encoding, t.text, t.invalid);
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

std::string InPieces(const Bytes& bytes, std::size_t piece_size,
                     std::optional<TextEncoding> forced = std::nullopt) {
  MemoryInputFile file(bytes);
  try {
    const StreamDecision decision = DecideImportEncoding(file, bytes.size(), forced);
    std::u16string text;
    const InvalidBytes invalid = DecodeInPieces(
        file, decision, CodePage(), [&text](std::u16string_view t) { text += t; }, piece_size);
    return Outcome(decision.encoding, text, invalid);
  } catch (const Error& e) {
    return std::string("error: ") + e.what();
  }
}

constexpr std::size_t kPieceSizes[] = {1, 2, 3, 5, 7, 64, 1000, 1 << 20};

TEST(DecodeInPieces, GivesTheWholeFilesTextForEveryFixtureAndPieceSize) {
  for (const char* name :
       {"japanese.utf8.txt", "japanese.utf8-bom.txt", "japanese.sjis.txt", "japanese.eucjp.txt",
        "japanese.iso2022jp.txt", "english-first.utf8.txt", "english-first.sjis.txt",
        "emoji.utf8.txt", "real-world/mostly-english.utf8-stray.txt",
        "real-world/mostly-english.sjis.txt", "real-world/mostly-english.eucjp.txt",
        "real-world/mostly-english.iso2022jp.txt", "real-world/blog-service.utf8.txt"}) {
    const Bytes bytes = ReadBytes(DataFile(name));
    const std::string expected = Whole(bytes);
    for (std::size_t size : kPieceSizes) {
      EXPECT_EQ(InPieces(bytes, size), expected) << name << " in pieces of " << size;
    }
    for (TextEncoding forced : {TextEncoding::kUTF8, TextEncoding::kShiftJIS}) {
      EXPECT_EQ(InPieces(bytes, 3, forced), Whole(bytes, forced)) << name << " forced";
    }
  }
}

// Random bytes drawn to hit every road: mostly text with high bytes, escapes, zero bytes,
// invalid sequences, and failures of the legacy converters.
TEST(DecodeInPieces, AgreesWithTheWholeFileOnRandomBytes) {
  std::mt19937 random(29);
  std::map<std::string, int> seen;  // how often each road was taken, so that none is missed
  // Each family is a list of tokens; a buffer is mostly one family with others mixed in.
  const std::vector<std::vector<std::string>> families = {
      {"a", "\n", "\r\n", " ", "\r"},
      {"\xE3\x81\x82", "\xC3\xA9", "\xF0\x9F\x8D\x89", "\xEF\xBB\xBF", "\x80"},
      {"\x82\xA0", "\x88\x9F", "\xB1", "\x81"},
      {"\xA4\xA2", "\xB0\xA1", "\x8E\xB1", "\xA4"},
      {"\x1B$B0!", "\x1B(B", "\x1B(I1", "\x1B$"},
      {std::string(1, '\0'), "\xFF", "\x9B", "\x1B"},
  };
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes;
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
  for (const char* road : {"UTF-8", "Shift_JIS", "EUC-JP", "ISO-2022-JP", "binary", "error"}) {
    EXPECT_GT(seen[road], 20) << road;
  }
}

TEST(LineOfByte, CountsLfOrElseCr) {
  const Bytes lf = ToBytes("a\nb\r\nc\nd");
  MemoryInputFile lf_file(lf);
  EXPECT_EQ(LineOfByte(lf_file, 0), 1);
  EXPECT_EQ(LineOfByte(lf_file, 5), 3);
  const Bytes cr = ToBytes("a\rb\rc");
  MemoryInputFile cr_file(cr);
  EXPECT_EQ(LineOfByte(cr_file, 4), 3);
}

}  // namespace
}  // namespace sarnlink
