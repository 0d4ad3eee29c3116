// Output files as the export meets them: a whole file appears only when finished, a failure
// leaves the path as it was, a file written in place keeps and counts what reached the disk,
// and a write the system took only in part is never sent twice.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "interface/buffered_output_file.h"
#include "interface/posix/posix_file_system.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

std::span<const std::uint8_t> BytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class OutputFileTest : public ::testing::Test {
 protected:
  // The names in the folder, apart from the file itself: a temporary file left behind.
  std::vector<std::string> Others() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      if (entry.path().filename() != "out.txt") {
        names.push_back(entry.path().filename().string());
      }
    }
    return names;
  }

  testing::TempDir dir;
  std::string path = dir.File("out.txt");
  PosixFileSystem files;
};

TEST_F(OutputFileTest, AWholeFileAppearsOnlyWhenFinished) {
  testing::WriteText(path, "old");
  ::chmod(path.c_str(), 0640);
  auto file = files.CreateForWriting(FromUtf8(path), OutputMode::kReplaceWhole);
  file->Write(BytesOf("new text"));
  EXPECT_EQ(testing::ReadText(path), "old");
  file->Close();
  EXPECT_EQ(testing::ReadText(path), "new text");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0640));
  EXPECT_TRUE(Others().empty());
}

TEST_F(OutputFileTest, AnAbandonedWholeFileLeavesThePathAsItWas) {
  for (const OutputMode mode : {OutputMode::kReplaceWhole, OutputMode::kNewWhole}) {
    const bool had_file = mode == OutputMode::kReplaceWhole;
    if (had_file) {
      testing::WriteText(path, "old");
    }
    auto file = files.CreateForWriting(FromUtf8(path), mode);
    file->Write(BytesOf(std::string(200000, 'x')));
    EXPECT_EQ(file->Abandon(), "");
    EXPECT_EQ(std::filesystem::exists(path), had_file);
    if (had_file) {
      EXPECT_EQ(testing::ReadText(path), "old");
      std::filesystem::remove(path);
    }
    EXPECT_TRUE(Others().empty());
  }
  // Dropped without a word (an exception past it): the same.
  { files.CreateForWriting(FromUtf8(path), OutputMode::kNewWhole)->Write(BytesOf("x")); }
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(Others().empty());
}

TEST_F(OutputFileTest, ANewFileNeverReplacesOneThatAppearedMeanwhile) {
  auto file = files.CreateForWriting(FromUtf8(path), OutputMode::kNewWhole);
  file->Write(BytesOf("mine"));
  testing::WriteText(path, "someone else's");
  try {
    file->Close();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kRefused);
  }
  EXPECT_EQ(testing::ReadText(path), "someone else's");
  file.reset();
  EXPECT_TRUE(Others().empty());
}

TEST_F(OutputFileTest, AFileInPlaceIsNewAndKeepsWhatWasWritten) {
  testing::WriteText(path, "the user's own");
  EXPECT_THROW(files.CreateForWriting(FromUtf8(path), OutputMode::kNewInPlace), Error);
  EXPECT_EQ(testing::ReadText(path), "the user's own");
  std::filesystem::remove(path);
  auto file = files.CreateForWriting(FromUtf8(path), OutputMode::kNewInPlace);
  file->Write(BytesOf("kept"));
  EXPECT_EQ(file->BytesOnDisk(), 0u);  // still in the buffer
  EXPECT_EQ(file->Abandon(), "");
  EXPECT_EQ(file->BytesOnDisk(), 4u);
  EXPECT_EQ(testing::ReadText(path), "kept");
}

// A system that takes `first` bytes of the first write and then fails every write, like a disk
// that fills up; it keeps what it took.
class FillingDisk : public BufferedOutputFile {
 public:
  explicit FillingDisk(std::size_t first) : first_(first) {}
  std::string taken;

 private:
  std::size_t WriteSomeToSystem(const std::uint8_t* data, std::size_t size) override {
    if (calls_++ > 0) {
      throw Error(ErrorKind::kFile, "No space left on device");
    }
    const std::size_t n = std::min(size, first_);
    taken.append(reinterpret_cast<const char*>(data), n);
    return n;
  }
  void FinishInSystem() override {}
  bool KeepsWhatWasWritten() const override { return true; }
  void AbandonInSystem() override {}

  std::size_t first_;  // bytes the first write takes
  int calls_ = 0;
};

// Regression: after a short write and a failure, the flush on the way out sent the bytes the
// system had already taken once more.
TEST(BufferedOutputFile, APartlyTakenWriteIsNeverSentTwice) {
  FillingDisk disk(1000);
  disk.Write(BytesOf(std::string(60000, 'a')));
  EXPECT_THROW(disk.Write(BytesOf(std::string(10000, 'b'))), Error);
  EXPECT_NE(disk.Abandon(), "");  // the disk is still full
  EXPECT_EQ(disk.taken, std::string(1000, 'a'));
  EXPECT_EQ(disk.BytesOnDisk(), 1000u);
}

struct SameFileCase {
  const char* name;
  const char* a;
  const char* b;
  bool same;
};

class SameFileTable : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(SameFileTable, ComparesFilesNotTexts) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  testing::WriteText(dir.File("d.db"), "diary");
  testing::WriteText(dir.File("copy.db"), "diary");
  std::filesystem::create_symlink(dir.File("d.db"), dir.File("link.db"));
  PosixFileSystem files;
  const SameFileCase& c = GetParam();
  EXPECT_EQ(files.IsSameFile(FromUtf8(dir.File(c.a)), FromUtf8(dir.File(c.b))), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SameFileTable,
    ::testing::Values(SameFileCase{"OneName", "d.db", "d.db", true},
                      SameFileCase{"ThroughALink", "link.db", "d.db", true},
                      SameFileCase{"ThroughAnotherSpelling", "sub/../d.db", "./d.db", true},
                      SameFileCase{"ACopy", "copy.db", "d.db", false},
                      SameFileCase{"AMissingNameInOneFolder", "d.db-wal", "sub/../d.db-wal", true},
                      SameFileCase{"AMissingNameElsewhere", "d.db-wal", "sub/d.db-wal", false},
                      SameFileCase{"AMissingAndAnExisting", "d.db-wal", "d.db", false}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
