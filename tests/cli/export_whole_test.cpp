// An export of a diary kept for years: every row written, however odd its columns, and output
// files that change as one transaction or not at all, whatever stands at the path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::ReadText;
using testing::RunSarnlink;
using testing::RunShell;

class ExportWhole : public testing::SampleDiaryTest {
 protected:
  void Sql(const std::string& sql) {
    const auto run = RunShell("sqlite3 " + Quote(db) + " " + Quote(sql));
    ASSERT_EQ(run.status, 0) << run.err;
  }
  std::string Count(const std::string& diary) {
    return RunShell("sqlite3 " + Quote(diary) + " 'SELECT COUNT(*) FROM Contents'").out;
  }
  static int Entries(const std::string& text) {
    int count = 0;
    for (std::size_t at = text.find("\r\n--------\r\n"); at != std::string::npos;
         at = text.find("\r\n--------\r\n", at + 1)) {
      ++count;
    }
    return count;
  }
  // No temporary file of an export left in the scratch folder.
  void ExpectNoTemporaryFile() {
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
      EXPECT_EQ(file.path().filename().string().find(".sarnlink-"), std::string::npos)
          << file.path();
    }
  }
};

// Null Day, Genre and Private, the empty Day and time of an earlier import, odd and broken
// times: with the day from either column every row is written, each supplied DATE is named,
// and the file imports back whole.
TEST_F(ExportWhole, EveryKindOfRowIsWrittenAndReadsBack) {
  const auto loaded =
      RunShell("sqlite3 " + Quote(db) + " < " + Quote(testing::DataFile("odd-rows.sql")));
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  const std::string rows = Count(db);
  ASSERT_EQ(rows, "40\n");
  for (const char* publish_day : {"0", "1"}) {
    SCOPED_TRACE(publish_day);
    const auto run = RunSarnlink("export --overwrite --db " + Quote(db) + " --out " + Quote(out) +
                                 " --publish-day " + publish_day);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("40 records exported."), std::string::npos) << run.out;
    const std::string text = ReadText(out);
    EXPECT_EQ(Entries(text), 40);
    for (const char* title : {"Null day", "Null genre", "Null private",
                              "No DATE in an earlier import", "Null time", "Hour 25"}) {
      EXPECT_NE(text.find(std::string("TITLE: ") + title + "\r\n"), std::string::npos) << title;
    }
    EXPECT_NE(text.find("DATE: 02/03/2009 04:05:06 AM"), std::string::npos);  // the stamp's
    EXPECT_NE(run.err.find("warning: Day (empty), Number 1, Title \"No DATE in an earlier "
                           "import\": written with DATE 02/03/2009 04:05:06 AM"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Title \"Null time\": written with DATE 05/03/2010 12:00:00 AM"),
              std::string::npos)
        << run.err;

    const std::string back = dir.File(std::string("back-") + publish_day + ".db");
    ASSERT_EQ(RunSarnlink("init --db " + Quote(back)).status, 0);
    const auto import = RunSarnlink("import --quiet --db " + Quote(back) + " --in " + Quote(out));
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_EQ(Count(back), rows);
  }
}

// A split export that fails while its last piece is finished (the file-size limit passes each
// entry into the write buffer and stops the buffer's flush): every old piece stays byte for
// byte, and no new one is left. A later complete run names every stale piece at once.
TEST_F(ExportWhole, AFailedSplitExportLeavesEveryOldPiece) {
  Sql("INSERT INTO Contents (Day, Number, Genre, Title, Contents, PublishTime, Private) VALUES "
      "('2007/01/01', 1, '日記', 'Long', replace(hex(zeroblob(20000)), '00', 'あ'), "
      "'2007/01/01 10:00:00', 0)");
  const std::string second = dir.File("out-2.txt");
  std::vector<std::string> pieces = {out};
  for (int k = 2; k <= 40; ++k) {
    pieces.push_back(dir.File("out-" + std::to_string(k) + ".txt"));
  }
  for (const std::string& piece : pieces) {
    testing::WriteText(piece, "old " + piece);
  }
  const auto failed = RunShell("ulimit -f 100; trap '' XFSZ; " + Quote(SARNLINK_CLI_PATH) +
                               " export --quiet --overwrite --max-entries 1 --db " + Quote(db) +
                               " --out " + Quote(out));
  EXPECT_EQ(failed.status, 2);
  EXPECT_NE(failed.err.find("failed at the end, after all 33 entries, while finishing the files"),
            std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find("nothing was written: " + out + ", " + second + ", "),
            std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find(" are as they were"), std::string::npos) << failed.err;
  for (const std::string& piece : pieces) {
    EXPECT_EQ(ReadText(piece), "old " + piece);
  }
  ExpectNoTemporaryFile();

  const auto whole =
      RunSarnlink("export --overwrite --max-entries 10 --db " + Quote(db) + " --out " + Quote(out));
  ASSERT_EQ(whole.status, 0) << whole.err;
  std::string stale;
  for (int k = 5; k <= 40; ++k) {
    stale += (k > 5 ? ", " : "") + pieces[static_cast<std::size_t>(k - 1)];
  }
  EXPECT_NE(whole.err.find("sarnlink: " + stale + " are left from an earlier export"),
            std::string::npos)
      << whole.err;
}

// A FIFO and a character device take the file as a stream and stay what they are; a folder is
// refused before any work.
TEST_F(ExportWhole, PipesAndDevicesAreWrittenAsStreamsAndFoldersRefused) {
  const auto fifo =
      RunShell("cd " + Quote(dir.path()) + " && mkfifo pipe && { cat pipe > got & } && " +
               Quote(SARNLINK_CLI_PATH) + " export --quiet --overwrite --db " + Quote(db) +
               " --out pipe; status=$?; wait; test -p pipe && echo " + "\"fifo $status\"");
  EXPECT_EQ(fifo.out, "fifo 0\n") << fifo.err;
  EXPECT_EQ(Entries(ReadText(dir.File("got"))), 32);

  const auto null =
      RunSarnlink("export --quiet --overwrite --db " + Quote(db) + " --out /dev/null");
  EXPECT_EQ(null.status, 0) << null.err;
  struct stat info;
  ASSERT_EQ(::stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));

  const std::string dangling = dir.File("dangling.txt");
  ASSERT_EQ(::symlink("no/such/file.txt", dangling.c_str()), 0);
  const auto link =
      RunSarnlink("export --quiet --overwrite --db " + Quote(db) + " --out " + Quote(dangling));
  EXPECT_EQ(link.status, 1);
  EXPECT_NE(link.err.find("is a symbolic link to a file that does not exist"), std::string::npos)
      << link.err;
  struct stat still;
  EXPECT_TRUE(::lstat(dangling.c_str(), &still) == 0 && S_ISLNK(still.st_mode));

  const auto pieces =
      RunSarnlink("export --quiet --max-entries 2 --db " + Quote(db) + " --out /dev/null");
  EXPECT_EQ(pieces.status, 1);
  EXPECT_NE(pieces.err.find("not a pipe or device"), std::string::npos) << pieces.err;

  const std::string folder = dir.File("folder");
  std::filesystem::create_directory(folder);
  for (const char* overwrite : {"", " --overwrite"}) {
    const auto refused = RunSarnlink("export" + std::string(overwrite) + " --db " + Quote(db) +
                                     " --out " + Quote(folder));
    EXPECT_EQ(refused.status, 1) << overwrite;
    EXPECT_NE(refused.err.find(folder + " is a folder or a device, not a file"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find("件のレコード"), std::string::npos) << "the run started";
    EXPECT_TRUE(std::filesystem::is_directory(folder));
  }
  ExpectNoTemporaryFile();
}

// An entry larger than --max-bytes gets a piece of its own, and the user hears of it even with
// --quiet, as of the pieces an earlier, longer export left.
TEST_F(ExportWhole, APieceOverTheLimitAndStalePiecesAreNamed) {
  for (int k = 2; k <= 60; ++k) {
    testing::WriteText(dir.File("out-" + std::to_string(k) + ".txt"), "old");
  }
  const auto run = RunSarnlink("export --quiet --overwrite --max-bytes 300 --db " + Quote(db) +
                               " --out " + Quote(out));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("sarnlink: warning: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(", more than --max-bytes 300: its entry is larger than that"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(dir.File("out-60.txt") + " are left from an earlier export"),
            std::string::npos)
      << run.err;
}

struct LimitCase {
  std::string name;
  std::string option;
  std::string message;
};

class PieceLimits : public ExportWhole, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(PieceLimits, ThatMakeNoSenseAreRefused) {
  const auto run =
      RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) + " " + GetParam().option);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Options, PieceLimits,
    ::testing::Values(
        LimitCase{"BytesThatWouldWrap", "--max-bytes 17592186044417M",
                  "is more than any file can hold"},
        LimitCase{"TwentyDigitBytes", "--max-bytes 99999999999999999999",
                  "is more than any file can hold"},
        LimitCase{"NoBytes", "--max-bytes 0K", "--max-bytes must be more than 0 bytes"},
        LimitCase{"NoEntries", "--max-entries 0",
                  "--max-entries must be a whole number from 1 to 2147483647, not \"0\""},
        LimitCase{"EntriesThatWouldWrap", "--max-entries 99999999999999999999",
                  "--max-entries must be a whole number from 1"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
