// The pieces of a split export as one transaction: none is put at its path until all are
// finished, and a failure while they are put in place is told path by path.
#include <gtest/gtest.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "export/export_files.h"
#include "interface/posix/posix_file_system.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

// Whole pieces that only record what happens to them; the piece numbered `failing` fails as
// `failure` says.
enum class Failure { kNone, kFinish, kPlace, kFlushAfterPlace };

class RecordingPiece : public OutputFile {
 public:
  RecordingPiece(std::string name, Failure failure, std::vector<std::string>& log)
      : name_(std::move(name)), failure_(failure), log_(log) {}
  void Write(std::span<const std::uint8_t>) override {}
  void Finish() override {
    if (failure_ == Failure::kFinish) {
      throw Error(ErrorKind::kFile, "cannot write to " + name_ + ": File too large");
    }
    log_.push_back("finish " + name_);
  }
  void Place() override {
    if (failure_ == Failure::kPlace) {
      throw Error(ErrorKind::kFile, "cannot put the new file at " + name_);
    }
    placed_ = true;
    log_.push_back("place " + name_);
    if (failure_ == Failure::kFlushAfterPlace) {
      throw Error(ErrorKind::kFile,
                  "the new file is in place at " + name_ + ", but cannot flush the folder");
    }
  }
  bool Placed() const override { return placed_; }
  std::string Abandon() noexcept override {
    log_.push_back("abandon " + name_);
    return "";
  }
  std::uint64_t BytesOnDisk() const override { return 0; }
  bool KeepsWhatWasWritten() const override { return false; }

 private:
  std::string name_;
  Failure failure_;
  std::vector<std::string>& log_;
  bool placed_ = false;
};

class RecordingFiles : public PosixFileSystem {
 public:
  RecordingFiles(int failing, Failure failure) : failing_(failing), failure_(failure) {}
  std::unique_ptr<OutputFile> CreateForWriting(const std::u16string& path, OutputMode) override {
    ++made_;
    return std::make_unique<RecordingPiece>(ToUtf8(path),
                                            made_ == failing_ ? failure_ : Failure::kNone, log);
  }
  std::vector<std::string> log;

 private:
  int failing_;
  Failure failure_;
  int made_ = 0;
};

struct PlacingCase {
  std::string name;
  int failing;  // the piece (from 1) that fails
  Failure failure;
  std::string message;  // what the paths hold, as WhatThePathsHold says it
};

class PiecesPlaced : public ::testing::TestWithParam<PlacingCase> {};

TEST_P(PiecesPlaced, AllOrSaidPathByPath) {
  const PlacingCase& c = GetParam();
  RecordingFiles files(c.failing, c.failure);
  ExportFiles pieces(files, u"", u"/x/a.txt", OutputMode::kReplaceWhole, 1, 0);
  const std::uint8_t entry[] = {'e'};
  for (int k = 0; k < 3; ++k) {
    pieces.WriteEntry(entry);
  }
  EXPECT_THROW(pieces.Close(), Error);
  pieces.Abandon();
  EXPECT_EQ(pieces.WhatThePathsHold(), c.message);
  if (c.failure == Failure::kFinish) {
    // Nothing goes in place before every piece is finished.
    for (const std::string& step : files.log) {
      EXPECT_EQ(step.rfind("place ", 0), std::string::npos) << step;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PiecesPlaced,
    ::testing::Values(
        PlacingCase{
            "TheLastPieceCannotBeFinished", 3, Failure::kFinish,
            "nothing was written: /x/a.txt, /x/a-2.txt, /x/a-3.txt are as they were, and no "
            "later piece's path was touched"},
        PlacingCase{"TheSecondCannotBePlaced", 2, Failure::kPlace,
                    "new pieces are in place at /x/a.txt; /x/a-2.txt, /x/a-3.txt are as they "
                    "were"},
        PlacingCase{"TheFolderOfTheLastCannotBeFlushed", 3, Failure::kFlushAfterPlace,
                    "new pieces are in place at /x/a.txt, /x/a-2.txt, /x/a-3.txt"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
