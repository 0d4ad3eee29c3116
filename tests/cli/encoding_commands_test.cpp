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
  testing::WriteBytes(file, testing::Hex("FF FE 41 00 0A 00 3D D8 42 00 0A 00"));
  const std::string note = "sarnlink: " + file +
                           ": 1 character that could not be read as UTF-16LE replaced by U+FFFD; "
                           "the first on line 2\n";
  const auto decode = RunSarnlink("decode " + Quote(file));
  EXPECT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out,
            "A\n\xEF\xBF\xBD"
            "B\n");
  EXPECT_EQ(decode.err, note);
  const auto detect = RunSarnlink("detect " + Quote(file));
  EXPECT_EQ(detect.out, "UTF-16LE\n");
  EXPECT_EQ(detect.err, note);
}

TEST(DecodeCommand, ConversionFailureExitsTwoNamingFileAndOffset) {
  testing::TempDir dir;
  const std::string file = dir.File("cut.txt");
  testing::WriteBytes(file, testing::Hex("41 42 1B 24 42 30"));
  const auto decode = RunSarnlink("decode " + Quote(file));
  EXPECT_EQ(decode.status, 2);
  EXPECT_EQ(decode.out, "");
  EXPECT_NE(decode.err.find(file), std::string::npos) << decode.err;
  EXPECT_NE(decode.err.find("byte offset 5"), std::string::npos) << decode.err;
}

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
