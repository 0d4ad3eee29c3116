#include <gtest/gtest.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::DataFile;
using testing::Quote;
using testing::RunSarnlink;

struct DetectCase {
  const char* file;
  const char* answer;
};

class DetectCommand : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectCommand, PrintsTheDecisionAndDecodes) {
  const auto detect = RunSarnlink("detect " + Quote(DataFile(GetParam().file)));
  EXPECT_EQ(detect.status, 0) << detect.err;
  EXPECT_EQ(detect.out, std::string(GetParam().answer) + "\n");
  const auto decode = RunSarnlink("decode " + Quote(DataFile(GetParam().file)));
  EXPECT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out, testing::ReadText(DataFile("japanese.expected.txt")));
}

INSTANTIATE_TEST_SUITE_P(Encodings, DetectCommand,
                         ::testing::Values(DetectCase{"japanese.utf8.txt", "UTF-8"},
                                           DetectCase{"japanese.sjis.txt", "Shift_JIS"},
                                           DetectCase{"japanese.eucjp.txt", "EUC-JP"},
                                           DetectCase{"japanese.iso2022jp.txt", "ISO-2022-JP"},
                                           DetectCase{"japanese.utf16le.txt", "UTF-16LE"},
                                           DetectCase{"japanese.utf16be.txt", "UTF-16BE"}),
                         testing::ByField<&DetectCase::file>());

TEST(DetectCommand, BinaryFile) {
  testing::TempDir dir;
  testing::WriteBytes(dir.File("x.bin"), testing::Hex("41 00 42 00"));
  const auto detect = RunSarnlink("detect " + Quote(dir.File("x.bin")));
  EXPECT_EQ(detect.status, 0);
  EXPECT_EQ(detect.out, "binary\n");
}

TEST(DecodeCommand, SaysOnStderrWhatCouldNotBeReadAndWhere) {
  testing::TempDir dir;
  const std::string file = dir.File("stray.txt");
  // One stray in more than a thousand bytes: the mark is not doubted (see EncodingDoubts).
  Bytes bytes = testing::Hex("FF FE 41 00 0A 00 3D D8 42 00 0A 00");
  for (int k = 0; k < 600; ++k) {
    bytes.insert(bytes.end(), {0x43, 0x00});
  }
  testing::WriteBytes(file, bytes);
  const std::string note = "sarnlink: " + file +
                           ": 1 character that could not be read as UTF-16LE replaced by U+FFFD; "
                           "the first on line 2\n";
  const auto decode = RunSarnlink("decode " + Quote(file));
  EXPECT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out,
            "A\n\xEF\xBF\xBD"
            "B\n" +
                std::string(600, 'C'));
  EXPECT_EQ(decode.err, note);
  const auto detect = RunSarnlink("detect " + Quote(file));
  EXPECT_EQ(detect.out, "UTF-16LE\n");
  EXPECT_EQ(detect.err, note);
}

// ISO-2022-JP cut in the middle of a pair is decoded whole, the cut pair one U+FFFD and noted.
TEST(DecodeCommand, BrokenIso2022JpIsDecodedWithTheBrokenPairReplaced) {
  testing::TempDir dir;
  const std::string file = dir.File("cut.txt");
  testing::WriteBytes(file, testing::Hex("41 42 1B 24 42 30"));
  const auto decode = RunSarnlink("decode " + Quote(file));
  EXPECT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out, "AB\uFFFD");
  EXPECT_NE(decode.err.find("U+FFFD"), std::string::npos) << decode.err;
}

// eucJP-ms's characters (髙 in the 8F form, the user-defined area) are text; a UTF-8 file read as
// EUC-JP is decoded whole, each broken pair one U+FFFD, instead of failing at its first.
TEST(DecodeCommand, EucJpReadsEucJpMsAndReplacesBrokenPairs) {
  testing::TempDir dir;
  const std::string file = dir.File("ms.txt");
  testing::WriteBytes(file, testing::Hex("54 3A 20 8F F4 FB F5 A1 B5 FE 0A"));
  const auto ms = RunSarnlink("decode --encoding euc-jp " + Quote(file));
  EXPECT_EQ(ms.status, 0) << ms.err;
  EXPECT_EQ(ms.out, "T: \u9AD9\uE000京\n");
  EXPECT_EQ(ms.err, "");

  const auto utf8 = RunSarnlink("decode --encoding euc-jp " + Quote(DataFile("japanese.utf8.txt")));
  EXPECT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_TRUE(utf8.out.starts_with("AUTHOR: ")) << utf8.out;  // the ASCII is all there
  EXPECT_NE(utf8.out.find("\r\nTITLE: "), std::string::npos) << utf8.out;
  EXPECT_TRUE(utf8.out.ends_with("\r\n-----\r\n--------\r\n")) << utf8.out;
  EXPECT_NE(utf8.err.find(": 114 characters that could not be read as EUC-JP replaced by U+FFFD; "
                          "the first on line 1\n"),
            std::string::npos)
      << utf8.err;
}

struct DoubtCase {
  const char* name;
  const char* file;  // a fixture
  bool utf8_mark;    // written after a UTF-8 byte-order mark
  const char* option;
  const char* warning;  // what follows "warning: the file does not look like ", or "" for none
};

class EncodingDoubts : public ::testing::TestWithParam<DoubtCase> {};

// An encoding named by --encoding or by a mark that the bytes contradict is named in the import's
// warning, by `detect` and by `decode` alike, before the note on what was replaced.
TEST_P(EncodingDoubts, DetectAndDecodeWarnAsTheImportDoes) {
  const DoubtCase& c = GetParam();
  testing::TempDir dir;
  std::string file = DataFile(c.file);
  if (c.utf8_mark) {
    Bytes bytes = testing::Hex("EF BB BF");
    const Bytes text = testing::ReadBytes(file);
    bytes.insert(bytes.end(), text.begin(), text.end());
    file = dir.File("marked.txt");
    testing::WriteBytes(file, bytes);
  }
  const std::string warning =
      *c.warning
          ? "sarnlink: " + file + ": warning: the file does not look like " + c.warning + "\n"
          : "";
  for (const char* command : {"detect ", "decode "}) {
    const auto run = RunSarnlink(command + std::string(c.option) + " " + Quote(file));
    EXPECT_EQ(run.status, 0) << command << run.err;
    EXPECT_TRUE(run.err.starts_with(warning)) << command << run.err;
    if (!*c.warning) {
      EXPECT_EQ(run.err, "") << command;
    } else {
      EXPECT_NE(run.err.find(" replaced by U+FFFD; the first on line 1\n", warning.size()),
                std::string::npos)
          << command << run.err;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingDoubts,
    ::testing::Values(
        DoubtCase{"Utf8SaidOfShiftJis", "japanese.sjis.txt", false, "--encoding utf-8",
                  "UTF-8 (as it was said to be); read by its bytes alone it would be Shift_JIS"},
        DoubtCase{"EucJpSaidOfUtf8", "japanese.utf8.txt", false, "--encoding euc-jp",
                  "EUC-JP (as it was said to be); read by its bytes alone it would be UTF-8"},
        // Its zero bytes are replaced now, and its other bytes say UTF-16.
        DoubtCase{"ShiftJisSaidOfUtf16", "japanese.utf16le.txt", false, "--encoding sjis",
                  "Shift_JIS (as it was said to be); read by its bytes alone it would be "
                  "UTF-16LE"},
        DoubtCase{"Utf8MarkBeforeShiftJis", "japanese.sjis.txt", true, "",
                  "UTF-8 (as its byte-order mark says); read by its bytes alone it would be "
                  "Shift_JIS"},
        DoubtCase{"TheRightName", "japanese.eucjp.txt", false, "--encoding eucjp", ""}),
    testing::ByName());

TEST(EncodingCommands, MissingFileOrBadUsageExitsOne) {
  testing::TempDir dir;
  const auto missing = RunSarnlink("decode " + Quote(dir.File("nothing.txt")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nothing.txt"), std::string::npos) << missing.err;
  EXPECT_EQ(RunSarnlink("detect").status, 1);
  EXPECT_EQ(RunSarnlink("frobnicate").status, 1);
  EXPECT_EQ(RunSarnlink("detect " + Quote(dir.path().string())).status, 1);
}

}  // namespace
}  // namespace sarnlink
