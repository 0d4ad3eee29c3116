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
            "2件のレコードをエクスポート完了。\nExport完了！\nMovableType file: " + out + "\n");
  EXPECT_NE(run.err.find("2件のレコードを取得。エクスポートします。"), std::string::npos);
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

TEST_F(ExportImportCli, ExportFailureExitsTwoAndSaysHowFarItGot) {
  Sql("INSERT INTO Contents (Day, Number, Genre, PublishTime) VALUES ('2004/08/01', 4, 'x', NULL)");
  const auto run = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("Day 2004/08/01, Number 4"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2 entries were written"), std::string::npos) << run.err;
}

TEST_F(ExportImportCli, AskShowsTheFormAndTakesTheAnswers) {
  // Page 1: genre box yes, genre 3 (日記 after [ALL], 一般, 旅行), period no, start, end,
  // publish box no, publish list; page 2: author, BR 0, hyphen, pings, comments, day; then OK.
  const std::string answers = "y\n3\n\n\n\n\n\nTaro\n0\n\n\n\n\n\n";
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
  const std::string all_defaults(13, '\n');
  const auto refused =
      RunSarnlink("export --ask --db " + Quote(db) + " --out " + Quote(out), all_defaults + "n\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ExportImportCli, ImportStoresAndReportsOnStdout) {
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out)).status, 0);
  const auto run = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2件の日記をImport完了！\n");
  EXPECT_NE(run.err.find("行のテキストをインポートします。"), std::string::npos);
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
  EXPECT_NE(yes.err.find("特定の著者(Author)のみをインポートしますか？"), std::string::npos);
  EXPECT_NE(yes.err.find("著者の入力 by Sarnlink"), std::string::npos);
  EXPECT_EQ(yes.out, "1件の日記をImport完了！\n");
  const auto no =
      RunSarnlink("import --ask-author --db " + Quote(db) + " --in " + Quote(out), "n\n");
  EXPECT_EQ(no.out, "2件の日記をImport完了！\n");
  const auto cancel =
      RunSarnlink("import --ask-author --db " + Quote(db) + " --in " + Quote(out), "c\n");
  EXPECT_EQ(cancel.status, 1);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "5\n");
}

TEST_F(ExportImportCli, ImportRefusalsAndFailures) {
  const auto missing =
      RunSarnlink("import --db " + Quote(db) + " --in " + Quote(dir.File("no.txt")));
  EXPECT_EQ(missing.status, 1);
  testing::WriteText(out, "TITLE: a\r\n--------\r\nBODY:\r\nnever closed\r\n");
  const auto failed = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(failed.status, 2);
  EXPECT_NE(failed.err.find("at line 3"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("1 entry was stored before it"), std::string::npos) << failed.err;
}

// A killed import leaves a sound diary holding exactly the entries committed before the kill,
// each whole.
TEST_F(ExportImportCli, KillingALongImportLeavesASoundDiary) {
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
  int stored = 0;
  for (int wait = 0; wait < 400 && stored < 200; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string count = Query("SELECT COUNT(*) FROM Contents WHERE Title LIKE 'e%'");
    stored = count.empty() ? 0 : std::stoi(count);
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok\n");
  const int kept = std::stoi(Query("SELECT COUNT(*) FROM Contents WHERE Title LIKE 'e%'"));
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, entries) << "the import finished before it could be killed";
  // Exactly the first `kept` entries, numbered 1.., each with its own body.
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents WHERE Title LIKE 'e%' AND (Title <> 'e' || "
                  "(Number - 1) OR Contents <> 'body of ' || Title)"),
            "0\n");
}

}  // namespace
}  // namespace sarnlink
