// What the tool guarantees when the user errs, retries or stops it: the diary is never an
// output, an export replaces its file whole or not at all, an import stores every entry once
// or nothing, and a run can be taken back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::ReadText;
using testing::RunSarnlink;
using testing::RunShell;

// The tool started in the background, its output going to files.
struct Background {
  pid_t pid = -1;
  std::string out, err;  // the files its stdout and stderr go to

  // Waits for the process and returns its exit status (128 + the signal if one ended it).
  int Wait() {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  bool Running() const {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
  }
};

Background Start(const std::vector<std::string>& arguments, const std::string& folder,
                 const std::string& name) {
  Background run;
  run.out = folder + "/" + name + ".out";
  run.err = folder + "/" + name + ".err";
  run.pid = fork();
  if (run.pid == 0) {
    const int out = ::open(run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    testing::ExecSarnlink(arguments);
  }
  return run;
}

// Polls until `ready` holds, for at most five seconds.
bool WaitFor(const std::function<bool()>& ready) {
  for (int k = 0; k < 500; ++k) {
    if (ready()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// A MovableType file of `entries` entries, spread over 28 days of January 2005.
std::string EntriesFile(int entries, const std::string& prefix) {
  std::string text;
  for (int k = 0; k < entries; ++k) {
    const int day = k % 28 + 1;
    text += "TITLE: " + prefix + std::to_string(k) + "\nDATE: 01/" + std::to_string(day) +
            "/2005 10:00:00 AM\n-----\nBODY:\nbody of " + prefix + std::to_string(k) +
            "\n-----\n--------\n";
  }
  return text;
}

class DataSafety : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0); }

  void Sql(const std::string& sql) {
    const auto r = RunShell("sqlite3 " + Quote(db) + " " + Quote(sql));
    ASSERT_EQ(r.status, 0) << r.err;
  }
  std::string Query(const std::string& sql) {
    return RunShell("sqlite3 " + Quote(db) + " " + Quote(sql)).out;
  }
  // `rows` rows of about 300 bytes each, over 336 days.
  void FillDiary(int rows) {
    Sql("INSERT INTO Contents (Day, Number, Genre, Title, Contents, PublishTime, Private) "
        "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < " +
        std::to_string(rows) +
        ") SELECT printf('2005/%02d/%02d', k % 12 + 1, k % 28 + 1), k / 336 + 1, '日記', "
        "'title ' || k, 'body ' || k || ' ' || hex(randomblob(100)), "
        "printf('2005/%02d/%02d 10:00:00', k % 12 + 1, k % 28 + 1), 0 FROM n");
  }
  // Whether a temporary export file stands in the folder, and how large it has grown.
  std::uintmax_t TemporaryFileSize() const {
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
      if (file.path().filename().string().find(".sarnlink-") != std::string::npos) {
        std::error_code error;
        const auto size = std::filesystem::file_size(file.path(), error);
        return error ? 1 : size + 1;
      }
    }
    return 0;
  }
  void ExpectNoTemporaryFile() const { EXPECT_EQ(TemporaryFileSize(), 0u); }
  // How many temporary export files stand in the folder.
  int TemporaryFiles() const {
    int count = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
      count += file.path().filename().string().find(".sarnlink-") != std::string::npos ? 1 : 0;
    }
    return count;
  }

  testing::TempDir dir;
  std::string db = dir.File("diary.db");
  std::string out = dir.File("out.txt");
};

// Swapped names, the same name twice, the diary's journal: refused before anything is touched.
TEST_F(DataSafety, TheDiaryIsNeverAnExportFile) {
  FillDiary(10);
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out)).status, 0);
  const std::string before = Query("SELECT COUNT(*), SUM(length(Contents)) FROM Contents");
  const std::string exported = ReadText(out);
  const std::string commands[] = {
      "export --db " + Quote(db) + " --out " + Quote(db),
      "export --db " + Quote(db) + " --out " + Quote(db) + " --overwrite",
      "export --db " + Quote(out) + " --out " + Quote(db) + " --overwrite",
      "export --db " + Quote(db) + " --out " + Quote(db + "-wal") + " --overwrite",
      "export --db " + Quote(db) + " --out " + Quote(dir.path().string() + "/./diary.db"),
  };
  for (const std::string& command : commands) {
    const auto run = RunSarnlink(command);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("refused: "), std::string::npos) << run.err;
    EXPECT_EQ(Query("SELECT COUNT(*), SUM(length(Contents)) FROM Contents"), before) << command;
    EXPECT_EQ(ReadText(out), exported) << command;
  }
  // An export in pieces whose second piece's name is the diary's: refused, nothing placed.
  const std::string diary_piece = dir.File("blog-2.txt");
  std::filesystem::copy_file(db, diary_piece);
  const std::string first_piece = dir.File("blog.txt");
  const auto pieces = RunSarnlink("export --overwrite --max-entries 4 --db " + Quote(diary_piece) +
                                  " --out " + Quote(first_piece));
  EXPECT_EQ(pieces.status, 1) << pieces.err;
  EXPECT_NE(pieces.err.find(diary_piece + " is the diary database"), std::string::npos)
      << pieces.err;
  EXPECT_FALSE(std::filesystem::exists(first_piece));
  EXPECT_EQ(RunShell("sqlite3 " + Quote(diary_piece) + " 'SELECT COUNT(*) FROM Contents'").out,
            "10\n");
}

// The disk fills up (here: the file-size limit) while an export replaces a file.
TEST_F(DataSafety, AFullDiskLeavesTheOldFileWhole) {
  FillDiary(3000);
  testing::WriteText(out, "last year's export");
  const auto full =
      RunShell("ulimit -f 300; trap '' XFSZ; " + Quote(SARNLINK_CLI_PATH) +
               " export --quiet --overwrite --db " + Quote(db) + " --out " + Quote(out));
  EXPECT_EQ(full.status, 2);
  EXPECT_NE(full.err.find("nothing was written: " + out + " is as it was"), std::string::npos)
      << full.err;
  EXPECT_EQ(ReadText(out), "last year's export");
  ExpectNoTemporaryFile();
}

// A disk that really fills up: a small tmpfs in a mount namespace of the test's own.
TEST_F(DataSafety, AFullTmpfsLeavesTheOldFileWhole) {
  FillDiary(3000);
  const std::string small = dir.File("small");
  std::filesystem::create_directory(small);
  const auto run = RunShell(
      "unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 99; "
      "printf \"last year\" > \"$1/out.txt\"; \"$2\" export --quiet --overwrite --db \"$3\" "
      "--out \"$1/out.txt\"; echo \"status $?\"; cat \"$1/out.txt\"; echo; ls -A \"$1\"' sh " +
      Quote(small) + " " + Quote(SARNLINK_CLI_PATH) + " " + Quote(db));
  if (run.status == 99 || run.status == 1) {
    GTEST_SKIP() << "no mount namespace for a tmpfs here: " << run.err;
  }
  EXPECT_EQ(run.out, "status 2\nlast year\nout.txt\n") << run.err;
  EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("is as it was"), std::string::npos) << run.err;
}

// The diary's disk fills up while an import stores: nothing is stored, the diary stays whole and
// readable, and the message says so.
TEST_F(DataSafety, AFullTmpfsUnderTheDiaryStoresNothing) {
  const std::string in = dir.File("in.txt");
  testing::WriteText(in, EntriesFile(6000, "entry "));
  const std::string small = dir.File("small");
  std::filesystem::create_directory(small);
  const auto run = RunShell(
      "unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 99; "
      "\"$2\" init --db \"$1/d.db\" > /dev/null || exit 98; "
      "\"$2\" import --quiet --db \"$1/d.db\" --in \"$3\"; echo \"status $?\"; "
      "sqlite3 \"$1/d.db\" \"PRAGMA integrity_check; SELECT COUNT(*) FROM Contents\"; "
      "\"$2\" export --quiet --db \"$1/d.db\" --out \"$4\"; echo \"export $?\"' sh " +
      Quote(small) + " " + Quote(SARNLINK_CLI_PATH) + " " + Quote(in) + " " + Quote(out));
  if (run.status == 99 || run.status == 1) {
    GTEST_SKIP() << "no mount namespace for a tmpfs here: " << run.err;
  }
  EXPECT_EQ(run.out, "status 2\nok\n0\nexport 0\n") << run.err;
  EXPECT_NE(run.err.find("disk is full"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("nothing was stored"), std::string::npos) << run.err;
}

struct StopCase {
  const char* name;
  int signal;
};

class StopTable : public DataSafety, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTable, AStoppedExportLeavesTheOldFile) {
  FillDiary(60000);
  testing::WriteText(out, "last year's export");
  Background run =
      Start({"export", "--quiet", "--overwrite", "--db", db, "--out", out}, dir.path(), "export");
  ASSERT_TRUE(WaitFor([&] { return TemporaryFileSize() > 1; }));
  ASSERT_TRUE(run.Running()) << "the export finished before it was stopped";
  kill(run.pid, GetParam().signal);
  EXPECT_EQ(run.Wait(), 128 + GetParam().signal);
  const std::string err = ReadText(run.err);
  EXPECT_NE(err.find("interrupted: export to " + out + " stopped at"), std::string::npos) << err;
  EXPECT_NE(err.find(out + " is as it was"), std::string::npos) << err;
  EXPECT_EQ(ReadText(out), "last year's export");
  ExpectNoTemporaryFile();
}

TEST_P(StopTable, AStoppedImportStoresNothing) {
  const std::string in = dir.File("in.txt");
  testing::WriteText(in, EntriesFile(60000, "e"));
  Background run = Start({"import", "--quiet", "--db", db, "--in", in}, dir.path(), "import");
  const std::string wal = db + "-wal";
  ASSERT_TRUE(WaitFor([&] {
    std::error_code error;
    return std::filesystem::file_size(wal, error) > 400000 && !error;
  }));
  ASSERT_TRUE(run.Running()) << "the import finished before it was stopped";
  kill(run.pid, GetParam().signal);
  EXPECT_EQ(run.Wait(), 128 + GetParam().signal);
  const std::string err = ReadText(run.err);
  EXPECT_NE(err.find("interrupted: nothing was stored"), std::string::npos) << err;
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok\n");
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0\n");
}

// A split export stopped once its second piece is being written: every old piece stays as it
// was, even when the process is killed outright and leaves its temporary files behind.
class SplitStopTable : public DataSafety, public ::testing::WithParamInterface<StopCase> {};

TEST_P(SplitStopTable, AStoppedSplitExportLeavesEveryOldPiece) {
  FillDiary(60000);
  std::vector<std::string> pieces = {out};
  for (int k = 2; k <= 8; ++k) {
    pieces.push_back(dir.File("out-" + std::to_string(k) + ".txt"));
  }
  for (const std::string& piece : pieces) {
    testing::WriteText(piece, "old " + piece);
  }
  Background run = Start(
      {"export", "--quiet", "--overwrite", "--max-entries", "10000", "--db", db, "--out", out},
      dir.path(), "split");
  ASSERT_TRUE(WaitFor([&] { return TemporaryFiles() >= 2; }));
  ASSERT_TRUE(run.Running()) << "the export finished before it was stopped";
  kill(run.pid, GetParam().signal);
  EXPECT_EQ(run.Wait(), 128 + GetParam().signal);
  for (const std::string& piece : pieces) {
    EXPECT_EQ(ReadText(piece), "old " + piece);
  }
  if (GetParam().signal != SIGKILL) {
    const std::string err = ReadText(run.err);
    EXPECT_NE(err.find("nothing was written: " + out + ", " + pieces[1]), std::string::npos) << err;
    ExpectNoTemporaryFile();
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, StopTable,
                         ::testing::Values(StopCase{"CtrlC", SIGINT}, StopCase{"Term", SIGTERM}),
                         testing::ByName());
INSTANTIATE_TEST_SUITE_P(Signals, SplitStopTable,
                         ::testing::Values(StopCase{"CtrlC", SIGINT}, StopCase{"Kill", SIGKILL}),
                         testing::ByName());

// Blog services hand out exports in overlapping pieces: what the diary holds is passed over.
TEST_F(DataSafety, ImportingAgainStoresOnlyWhatIsNew) {
  const std::string first = dir.File("first.txt");
  const std::string overlapping = dir.File("overlapping.txt");
  testing::WriteText(first, EntriesFile(100, "e"));
  std::string text = EntriesFile(150, "e");
  testing::WriteText(overlapping, text);
  ASSERT_EQ(RunSarnlink("import --quiet --db " + Quote(db) + " --in " + Quote(first)).status, 0);

  const auto again = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(first));
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("100 entries were already in the diary"), std::string::npos)
      << again.err;
  const auto dry =
      RunSarnlink("import --dry-run --db " + Quote(db) + " --in " + Quote(overlapping));
  EXPECT_NE(dry.out.find("100 entries were already in the diary and would be passed over"),
            std::string::npos)
      << dry.out;
  EXPECT_NE(dry.out.find("50 entries would be stored"), std::string::npos) << dry.out;
  const auto more = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(overlapping));
  EXPECT_EQ(more.out, "50 diary entries imported!\n");
  EXPECT_EQ(Query("SELECT COUNT(*), COUNT(DISTINCT Title) FROM Contents"), "150|150\n");
  const auto allowed =
      RunSarnlink("import --allow-duplicates --db " + Quote(db) + " --in " + Quote(first));
  EXPECT_EQ(allowed.out, "100 diary entries imported!\n");
}

// Two imports into one diary at once: the second waits for the first and numbers after it.
TEST_F(DataSafety, TwoImportsAtOnceStoreEveryEntryOnceWithUniqueNumbers) {
  const std::string a = dir.File("a.txt");
  const std::string b = dir.File("b.txt");
  testing::WriteText(a, EntriesFile(5000, "a"));
  testing::WriteText(b, EntriesFile(5000, "b"));
  Background first = Start({"import", "--quiet", "--db", db, "--in", a}, dir.path(), "a");
  Background second = Start({"import", "--quiet", "--db", db, "--in", b}, dir.path(), "b");
  EXPECT_EQ(first.Wait(), 0) << ReadText(first.err);
  EXPECT_EQ(second.Wait(), 0) << ReadText(second.err);
  EXPECT_EQ(Query("SELECT COUNT(*), COUNT(DISTINCT Title) FROM Contents"), "10000|10000\n");
  EXPECT_EQ(Query("SELECT COUNT(*) FROM (SELECT Day, Number FROM Contents GROUP BY Day, Number "
                  "HAVING COUNT(*) > 1)"),
            "0\n");
  EXPECT_EQ(Query("SELECT COUNT(DISTINCT ImportMark) FROM Contents"), "2\n");
}

// Another program holding the diary's write lock: the import says it waits, then goes on; past
// its limit it gives up and stores nothing.
TEST_F(DataSafety, AnImportWaitsForTheDiaryThenGivesUpClearly) {
  const std::string in = dir.File("in.txt");
  testing::WriteText(in, EntriesFile(3, "e"));
  // The shell takes the lock, says so by a file, and keeps it three seconds.
  const std::string held = dir.File("held");
  const std::string hold = "rm -f " + Quote(held) +
                           "; (echo 'BEGIN IMMEDIATE;'; echo '.shell touch " + held +
                           "'; sleep 3; echo 'COMMIT;') | sqlite3 " + Quote(db) +
                           " & while [ ! -e " + Quote(held) + " ]; do sleep 0.05; done; ";
  const auto gave_up =
      RunShell(hold + Quote(SARNLINK_CLI_PATH) + " import --wait 1 --db " + Quote(db) + " --in " +
               Quote(in) + "; status=$?; wait; exit $status");
  EXPECT_EQ(gave_up.status, 2);
  EXPECT_NE(gave_up.err.find("kept the diary locked for 1 second; nothing was changed"),
            std::string::npos)
      << gave_up.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0\n");
  const auto waited = RunShell(hold + Quote(SARNLINK_CLI_PATH) + " import --db " + Quote(db) +
                               " --in " + Quote(in) + "; status=$?; wait; exit $status");
  EXPECT_EQ(waited.status, 0) << waited.err;
  EXPECT_NE(waited.err.find("waiting for another import into " + db), std::string::npos)
      << waited.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "3\n");
  // Taking the run back while the diary is held: it gives up too, and deletes nothing.
  const std::string stamp = Query("SELECT DISTINCT ImportMark FROM Contents");
  const auto undo = RunShell(hold + Quote(SARNLINK_CLI_PATH) + " undo-import --wait 1 --db " +
                             Quote(db) + " --stamp " + Quote(stamp.substr(0, stamp.size() - 1)) +
                             "; status=$?; wait; exit $status");
  EXPECT_EQ(undo.status, 2);
  EXPECT_NE(undo.err.find("failed: "), std::string::npos) << undo.err;
  EXPECT_NE(undo.err.find("; nothing was deleted"), std::string::npos) << undo.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "3\n");
}

TEST_F(DataSafety, AnImportRunIsListedAndTakenBack) {
  const std::string first = dir.File("first.txt");
  const std::string second = dir.File("second.txt");
  testing::WriteText(first, EntriesFile(30, "first"));
  testing::WriteText(second, EntriesFile(4, "second"));
  ASSERT_EQ(RunSarnlink("import --quiet --db " + Quote(db) + " --in " + Quote(first)).status, 0);
  ASSERT_EQ(RunSarnlink("import --quiet --db " + Quote(db) + " --in " + Quote(second)).status, 0);
  const auto runs = RunSarnlink("imports --db " + Quote(db));
  ASSERT_EQ(runs.status, 0) << runs.err;
  const std::string last_stamp =
      Query("SELECT ImportMark FROM Contents WHERE Title = 'second0'").substr(0, std::string::npos);
  const std::string stamp = last_stamp.substr(0, last_stamp.size() - 1);
  EXPECT_NE(runs.out.find("30\t2005/01/01\t2005/01/28\t"), std::string::npos) << runs.out;
  EXPECT_NE(runs.out.find("4\t2005/01/01\t2005/01/04\t" + stamp + "\n"), std::string::npos)
      << runs.out;

  const auto dry =
      RunSarnlink("undo-import --dry-run --db " + Quote(db) + " --stamp " + Quote(stamp));
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find("4 entries of the import"), std::string::npos) << dry.out;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "34\n");
  const auto undone = RunSarnlink("undo-import --db " + Quote(db) + " --stamp " + Quote(stamp));
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_NE(undone.out.find("deleted 4 entries"), std::string::npos) << undone.out;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents WHERE Title LIKE 'first%'"), "30\n");
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "30\n");

  const auto missing = RunSarnlink("undo-import --db " + Quote(db) + " --stamp " + Quote(stamp));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("sarnlink imports lists the stamps"), std::string::npos)
      << missing.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "30\n");
}

// Blog services take files of a limited size: an export in pieces, each whole and readable on
// its own, placed together or not at all.
TEST_F(DataSafety, AnExportInPiecesWritesWholeFilesThatEachImport) {
  FillDiary(1200);
  const auto run = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) +
                               " --author a --max-entries 500");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string second = dir.File("out-2.txt");
  const std::string third = dir.File("out-3.txt");
  EXPECT_NE(run.out.find("MovableType files:\n  " + out + " (500 entries)\n  " + second +
                         " (500 entries)\n  " + third + " (200 entries)\n"),
            std::string::npos)
      << run.out;
  for (const auto& [file, entries] :
       {std::pair{out, "500"}, std::pair{second, "500"}, std::pair{third, "200"}}) {
    const std::string fresh = dir.File("fresh.db");
    std::filesystem::remove(fresh);
    ASSERT_EQ(RunSarnlink("init --db " + Quote(fresh)).status, 0);
    const auto imported = RunSarnlink("import --db " + Quote(fresh) + " --in " + Quote(file));
    EXPECT_EQ(imported.out, std::string(entries) + " diary entries imported!\n") << imported.err;
  }
  const auto by_size = RunSarnlink("export --quiet --overwrite --db " + Quote(db) + " --out " +
                                   Quote(out) + " --max-bytes 200K");
  ASSERT_EQ(by_size.status, 0) << by_size.err;
  std::uintmax_t total = 0;
  for (int k = 1;
       std::filesystem::exists(k == 1 ? out : dir.File("out-" + std::to_string(k) + ".txt")); ++k) {
    const auto size =
        std::filesystem::file_size(k == 1 ? out : dir.File("out-" + std::to_string(k) + ".txt"));
    EXPECT_LE(size, 200u * 1024);
    total += size;
  }
  EXPECT_GT(total, 400u * 1024);

  // A piece's path already taken, without --overwrite: refused, and no piece is placed.
  std::filesystem::remove(out);
  std::filesystem::remove(third);
  testing::WriteText(second, "someone's file");
  const auto taken = RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out) +
                                 " --max-entries 500");
  EXPECT_EQ(taken.status, 1);
  EXPECT_NE(taken.err.find(second + " already exists"), std::string::npos) << taken.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(ReadText(second), "someone's file");
  ExpectNoTemporaryFile();
}

// A reader that stops early (head): the export ends at once, as Unix tools do, by SIGPIPE.
TEST_F(DataSafety, AnExportToAPipeThatEndsEarlyEndsToo) {
  FillDiary(3000);
  const auto run = RunShell("bash -c " + Quote("set -o pipefail; " + Quote(SARNLINK_CLI_PATH) +
                                               " export --quiet --db " + Quote(db) +
                                               " --out - | head -c 100 > /dev/null"));
  EXPECT_EQ(run.status, 128 + SIGPIPE) << run.err;
  ExpectNoTemporaryFile();
}

}  // namespace
}  // namespace sarnlink
