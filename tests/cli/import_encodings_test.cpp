// What the import, its dry run, `detect` and `decode` make of a file's bytes in each encoding:
// every byte becomes its character or U+FFFD, and each replacement is counted and placed.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using namespace std::string_literals;
using testing::Quote;
using testing::RunSarnlink;
using testing::RunShell;

class ImportEncodings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0); }

  std::string Query(const std::string& sql) {
    return RunShell("sqlite3 " + Quote(db) + " " + Quote(sql)).out;
  }
  testing::CommandResult Import(const std::string& options = "") {
    return RunSarnlink("import --db " + Quote(db) + " --in " + Quote(file) + " " + options);
  }
  // Writes `utf8` to the file in `encoding` (as iconv names it).
  void Write(const std::string& utf8, const std::string& encoding) {
    testing::WriteBytes(file, encoding == "UTF-8" ? ToBytes(utf8)
                                                  : testing::Iconv(encoding.c_str(), "UTF-8",
                                                                   utf8.data(), utf8.size()));
  }

  testing::TempDir dir;
  std::string db = dir.File("diary.db");
  std::string file = dir.File("entries.txt");
};

// An entry with a zero byte in its title and one in its body, the text after each going on.
const std::string kEntryWithZeros =
    "AUTHOR: x\nTITLE: 日記a\0b\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\nc\0d after\n"
    "-----\n--------\n"s;

struct ZeroCase {
  const char* name;
  const char* iconv_name;  // what the file is written in
  const char* detected;    // what the decision calls it
  const char* note;        // what is said of the two zeros
};

class Zeros : public ImportEncodings, public ::testing::WithParamInterface<ZeroCase> {};

// A zero byte (U+0000 in UTF-16) is no text: it becomes U+FFFD where it stood, is counted and
// placed like any byte that could not be read, in the summary, the dry run, `detect`, `decode`
// and the closing text, and nothing after it is lost.
TEST_P(Zeros, BecomeReplacementsCountedWithTheirLine) {
  const ZeroCase& c = GetParam();
  Write(kEntryWithZeros, c.iconv_name);
  const std::string note = std::string(c.note) + " replaced by U+FFFD; the first on line 2";

  const auto detect = RunSarnlink("detect " + Quote(file));
  EXPECT_EQ(detect.out, std::string(c.detected) + "\n");
  EXPECT_EQ(detect.err, "sarnlink: " + file + ": " + note + "\n");
  const auto decode = RunSarnlink("decode " + Quote(file));
  EXPECT_EQ(decode.status, 0) << decode.err;
  EXPECT_NE(decode.out.find("TITLE: 日記a\uFFFDb\nDATE"), std::string::npos) << decode.out;
  EXPECT_NE(decode.out.find("\nc\uFFFDd after\n-----\n--------\n"), std::string::npos)
      << decode.out;
  EXPECT_EQ(decode.err, detect.err);

  const auto dry = Import("--dry-run");
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find(note), std::string::npos) << dry.out;

  const auto run = Import();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("sarnlink: " + note + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("(2 places that could not be read now hold U+FFFD; the first is on line 2)"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Query("SELECT Title, Contents, instr(Title, char(0)) FROM Contents"),
            "日記a\uFFFDb|c\uFFFDd after|0\n");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, Zeros,
    ::testing::Values(ZeroCase{"Utf8", "UTF-8", "UTF-8", "2 bytes that are not UTF-8"},
                      ZeroCase{"ShiftJis", "CP932", "Shift_JIS", "2 bytes that are not Shift_JIS"},
                      ZeroCase{"EucJp", "EUC-JP", "EUC-JP",
                               "2 characters that could not be read as EUC-JP"},
                      ZeroCase{"Iso2022Jp", "ISO-2022-JP", "ISO-2022-JP",
                               "2 characters that could not be read as ISO-2022-JP"},
                      ZeroCase{"Utf16WithMark", "UTF-16", "UTF-16LE",
                               "2 characters that could not be read as UTF-16LE"}),
    testing::ByName());

// A file of ASCII alone is called ASCII, by `detect`, the dry run and the import's summary.
TEST_F(ImportEncodings, AsciiAloneIsReadAsAscii) {
  Write(
      "AUTHOR: x\nTITLE: plain\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\nText.\n-----\n"
      "--------\n",
      "UTF-8");
  const auto detect = RunSarnlink("detect " + Quote(file));
  EXPECT_EQ(detect.out, "ASCII\n");
  EXPECT_EQ(detect.err, "");
  EXPECT_EQ(RunSarnlink("decode " + Quote(file)).out, testing::ReadText(file));
  const auto dry = Import("--dry-run");
  EXPECT_NE(dry.out.find("read as ASCII: 1 entry in 8 lines; 1 entry would be stored\n"),
            std::string::npos)
      << dry.out;
  const auto run = Import();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("sarnlink: read as ASCII: 1 entry in 8 lines; 1 entry stored\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Query("SELECT Title, Contents FROM Contents"), "plain|Text.\n");
}

class Utf16WithoutMark : public ImportEncodings,
                         public ::testing::WithParamInterface<const char*> {};

// A UTF-16 file without a byte-order mark, its first entry's body Japanese throughout, is read in
// its byte order, its keys found and its text whole.
TEST_P(Utf16WithoutMark, IsReadInItsByteOrder) {
  std::string body;
  for (int k = 0; k < 200; ++k) {
    body += "京都の秋、紅葉を見に行きました。　";
  }
  Write("AUTHOR: 山田\r\nTITLE: 京都\r\nDATE: 11/03/2005 02:15:00 PM\r\n-----\r\nBODY:\r\n" + body +
            "\r\n-----\r\n--------\r\n",
        GetParam());
  EXPECT_EQ(RunSarnlink("detect " + Quote(file)).out, std::string(GetParam()) + "\n");
  const auto run = Import();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("sarnlink: read as " + std::string(GetParam()) +
                         ": 1 entry in 8 lines; 1 entry stored\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Query("SELECT Title FROM Contents"), "京都\n");
  EXPECT_EQ(Query("SELECT Contents FROM Contents"), body + "\n");
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, Utf16WithoutMark, ::testing::Values("UTF-16LE", "UTF-16BE"),
                         [](const ::testing::TestParamInfo<const char*>& case_info) {
                           return testing::CaseName(case_info.param);
                         });

}  // namespace
}  // namespace sarnlink
