#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::ReadText;
using testing::RunSarnlink;
using testing::RunShell;

class ExportImportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0);
    Sql("INSERT INTO Contents (Day, Number, Genre, Title, Contents, PublishTime, Private) VALUES "
        "('2004/07/14', 1, '旅行', 'Summer trip', 'Day one' || char(13,10) || 'two-three', "
        "'2004/07/15 18:05:09', 0), "
        "('2004/07/20', 1, '日記', 'Secret', 'hidden', '2004/07/20 12:15:00', 1)");
  }

  void Sql(const std::string& sql) {
    const auto r = RunShell("sqlite3 " + Quote(db) + " " + Quote(sql));
    ASSERT_EQ(r.status, 0) << r.err;
  }
  std::string Query(const std::string& sql) {
    return RunShell("sqlite3 " + Quote(db) + " " + Quote(sql)).out;
  }

  testing::TempDir dir;
  std::string db = dir.File("diary.db");
  std::string out = dir.File("out.txt");
};

TEST_F(ExportImportCli, ExportWritesTheFileAndSaysWhereItIs) {
  const auto run = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "2 records exported.\nExport complete!\nMovableType file: " + out + "\n");
  EXPECT_NE(run.err.find("2 records found. Exporting them."), std::string::npos);
  const std::string text = ReadText(out);
  EXPECT_NE(text.find("DATE: 07/14/2004 06:05:09 PM\r\n"), std::string::npos);
  EXPECT_NE(text.find("DATE: 07/20/2004 12:15:00 PM\r\n"), std::string::npos);
  EXPECT_NE(text.find("Day one<BR>two－three\r\n"), std::string::npos);
  EXPECT_NE(text.find("AUTHOR: \r\n"), std::string::npos);
}

TEST_F(ExportImportCli, ExportOptionsReachTheSettings) {
  const auto run =
      RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out) +
                  " --publish 2 --no-br --hyphen 0 --publish-day 0 --pings 0 --comments 0 "
                  "--author Hanako --genre 日記 --start 2004/07/01 --end 2004/08/01");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  const std::string text = ReadText(out);
  EXPECT_EQ(
      text.rfind("AUTHOR: Hanako\r\nTITLE: Secret\r\nSTATUS: Draft\r\nALLOW COMMENTS: 0\r\n", 0),
      0u);
  EXPECT_NE(text.find("ALLOW PINGS: 0\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Summer trip"), std::string::npos);
}

TEST_F(ExportImportCli, ExportRefusals) {
  testing::WriteText(out, "keep");
  const auto exists = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out));
  EXPECT_EQ(exists.status, 1);
  EXPECT_NE(exists.err.find("--overwrite"), std::string::npos) << exists.err;
  EXPECT_EQ(ReadText(out), "keep");
  EXPECT_EQ(
      RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) + " --overwrite").status, 0);
  const auto no_db = RunSarnlink("export --db " + Quote(dir.File("none.db")) + " --out " +
                                 Quote(dir.File("x.txt")));
  EXPECT_EQ(no_db.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.db")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.txt")));
}

// A run that fails midway leaves no file where there was none, and the old file where there was
// one, with its permissions.
// A write that fails (here: a file-size limit the long entry passes, and the messages do not).
TEST_F(ExportImportCli, AFailedExportLeavesThePathAsItWas) {
  Sql("INSERT INTO Contents (Day, Number, Genre, Title, Contents, PublishTime, Private) VALUES "
      "('2004/08/01', 1, '日記', 'Long', replace(hex(zeroblob(40000)), '00', 'あ'), "
      "'2004/08/01 10:00:00', 0)");
  const std::string no_room = "ulimit -f 100; trap '' XFSZ; " + Quote(SARNLINK_CLI_PATH);
  const auto fresh = RunShell(no_room + " export --db " + Quote(db) + " --out " + Quote(out));
  EXPECT_EQ(fresh.status, 2);
  EXPECT_NE(fresh.err.find("failed at the entry of Day 2004/08/01, Number 1: cannot write"),
            std::string::npos)
      << fresh.err;
  EXPECT_NE(fresh.err.find("nothing was written: no file was made"), std::string::npos)
      << fresh.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  testing::WriteText(out, "the backup of last year");
  std::filesystem::permissions(out, std::filesystem::perms(0600));
  const auto replace =
      RunShell(no_room + " export --overwrite --db " + Quote(db) + " --out " + Quote(out));
  EXPECT_EQ(replace.status, 2);
  EXPECT_NE(replace.err.find("nothing was written: " + out + " is as it was"), std::string::npos)
      << replace.err;
  EXPECT_EQ(ReadText(out), "the backup of last year");
  for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(file.path().filename().string().find("sarnlink-"), std::string::npos)
        << "a temporary file was left behind: " << file.path();
  }

  ASSERT_EQ(
      RunSarnlink("export --overwrite --quiet --db " + Quote(db) + " --out " + Quote(out)).status,
      0);
  EXPECT_NE(ReadText(out).find("TITLE: Summer trip"), std::string::npos);
  EXPECT_EQ(std::filesystem::status(out).permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0600));
}

TEST_F(ExportImportCli, AskShowsTheFormAndTakesTheAnswers) {
  // Page 1: genre box yes, genre 3 (日記 after [ALL], 一般, 旅行), period no (its days are not
  // asked), publish box no (nor its list); page 2: author, BR 0, hyphen, pings, comments, day;
  // then OK.
  const std::string answers = "y\n3\n\n\nTaro\n0\n\n\n\n\n\n";
  const auto run = RunSarnlink("export --ask --db " + Quote(db) + " --out " + Quote(out), answers);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("MT Export/Import Option"), std::string::npos);
  EXPECT_NE(run.err.find("3) 日記"), std::string::npos) << run.err;
  const std::string text = ReadText(out);
  EXPECT_EQ(text.rfind("AUTHOR: Taro\r\nTITLE: Secret\r\n", 0), 0u) << text;
  EXPECT_EQ(text.find("Summer trip"), std::string::npos);
}

TEST_F(ExportImportCli, AskCancelledChangesNothingAndExitsOne) {
  const auto run = RunSarnlink("export --ask --db " + Quote(db) + " --out " + Quote(out), "y\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
  const std::string all_defaults(9, '\n');
  const auto refused =
      RunSarnlink("export --ask --db " + Quote(db) + " --out " + Quote(out), all_defaults + "n\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ExportImportCli, ImportStoresAndReportsOnStdout) {
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out)).status, 0);
  const auto run =
      RunSarnlink("import --allow-duplicates --db " + Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2 diary entries imported!\n");
  EXPECT_NE(run.err.find("lines of text."), std::string::npos);
  EXPECT_EQ(Query("SELECT Day, Number, Title, PublishTime FROM Contents WHERE ImportMark LIKE "
                  "'% byPontivo.dll' ORDER BY Day"),
            "2004/07/14|2|Summer trip|2004/07/14 18:05:09\n"
            "2004/07/20|2|Secret|2004/07/20 12:15:00\n");
}

TEST_F(ExportImportCli, ImportAskAuthorFollowsTheAnswers) {
  testing::WriteText(out, "AUTHOR: Hanako\r\n--------\r\nAUTHOR: Taro\r\n--------\r\n");
  const auto yes =
      RunSarnlink("import --ask-author --db " + Quote(db) + " --in " + Quote(out), "y\nTaro\n");
  ASSERT_EQ(yes.status, 0) << yes.err;
  EXPECT_NE(yes.err.find("Import only the entries of one author (AUTHOR)?"), std::string::npos);
  EXPECT_NE(yes.err.find("Author, by Sarnlink"), std::string::npos);
  EXPECT_EQ(yes.out, "1 diary entry imported!\n");
  const auto no = RunSarnlink(
      "import --allow-duplicates --ask-author --db " + Quote(db) + " --in " + Quote(out), "n\n");
  EXPECT_EQ(no.out, "2 diary entries imported!\n");
  const auto cancel =
      RunSarnlink("import --ask-author --db " + Quote(db) + " --in " + Quote(out), "c\n");
  EXPECT_EQ(cancel.status, 1);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "5\n");
}

// A name that matches no entry (a typo, a letter in the wrong case) stores nothing, and says so
// with the authors the file has, instead of a finished import of nothing.
TEST_F(ExportImportCli, AnAuthorWhoWroteNothingIsRefusedWithTheFilesAuthors) {
  testing::WriteText(out,
                     "AUTHOR: hanako\r\n--------\r\nAUTHOR: Taro\r\n--------\r\n"
                     "AUTHOR: hanako\r\n--------\r\n");
  const std::string authors =
      "the file's authors: \"Taro\" (1 entry), \"hanako\" (2 entries); \"hanako\" differs "
      "from \"Hanako\" only in letter case";
  const auto typed =
      RunSarnlink("import --ask-author --db " + Quote(db) + " --in " + Quote(out), "y\nHanako\n");
  EXPECT_EQ(typed.status, 1);
  EXPECT_NE(typed.err.find("has the author \"Hanako\", so nothing was stored; " + authors),
            std::string::npos)
      << typed.err;
  EXPECT_EQ(typed.out.find("imported!"), std::string::npos) << typed.out;
  const auto nobody =
      RunSarnlink("import --dry-run --author nobody --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(nobody.status, 1);
  EXPECT_NE(nobody.err.find("\"nobody\", so nothing was stored; the file's authors: \"Taro\" "
                            "(1 entry), \"hanako\" (2 entries)\n"),
            std::string::npos)
      << nobody.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "2\n");
  const auto both =
      RunSarnlink("import --author Taro --ask-author --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(both.status, 1);
  EXPECT_NE(both.err.find("--author excludes --ask-author"), std::string::npos) << both.err;
}

TEST_F(ExportImportCli, ImportRefusalsAndFailures) {
  const auto missing =
      RunSarnlink("import --db " + Quote(db) + " --in " + Quote(dir.File("no.txt")));
  EXPECT_EQ(missing.status, 1);
  testing::WriteText(out, "TITLE: a\r\n--------\r\nBODY:\r\nnever closed\r\n");
  const auto failed = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(failed.status, 2);
  EXPECT_NE(failed.err.find("at line 3"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("nothing was stored"), std::string::npos) << failed.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "2\n");
}

// An import is one transaction: a killed one leaves a sound diary without any of its rows.
TEST_F(ExportImportCli, KillingALongImportLeavesASoundDiaryWithoutItsRows) {
  std::string text;
  const int entries = 40000;
  for (int k = 0; k < entries; ++k) {
    text += "TITLE: e" + std::to_string(k) + "\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\n" +
            "body of e" + std::to_string(k) + "\n-----\n--------\n";
  }
  testing::WriteText(out, text);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(SARNLINK_CLI_PATH, "sarnlink", "import", "--quiet", "--db", db.c_str(), "--in",
          out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Rows are being written once the journal grows.
  const std::string wal = db + "-wal";
  for (int wait = 0; wait < 500; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (std::filesystem::exists(wal) && std::filesystem::file_size(wal) > 400000) {
      break;
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the import finished before it was killed";
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok\n");
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "2\n");
}

}  // namespace
}  // namespace sarnlink
