#include <gtest/gtest.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunSarnlink;
using testing::RunShell;

class CliTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string db = dir.File("diary.db");
  std::string Db() const { return " --db " + Quote(db); }

  void Sql(const std::string& sql) {
    const auto r = RunShell("sqlite3 " + Quote(db) + " " + Quote(sql));
    ASSERT_EQ(r.status, 0) << r.err;
  }
  std::string Query(const std::string& sql) {
    return RunShell("sqlite3 " + Quote(db) + " " + Quote(sql)).out;
  }
};

TEST_F(CliTest, InitCreatesAnEmptyDiaryAndNeverReplacesAFile) {
  const auto made = RunSarnlink("init" + Db());
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0\n");
  EXPECT_EQ(Query("PRAGMA journal_mode"), "wal\n");
  Sql("INSERT INTO Contents (Day, Number) VALUES ('2004/01/01', 1)");
  const auto again = RunSarnlink("init" + Db());
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "1\n");
}

TEST_F(CliTest, GenresListsAllTheGeneralGenreThenTheRest) {
  RunSarnlink("init" + Db());
  Sql("INSERT INTO Contents (Day, Genre) VALUES ('1', '旅行'), ('2', '一般'), ('3', NULL), "
      "('4', '日記'), ('5', '旅行')");
  const auto genres = RunSarnlink("genres" + Db());
  EXPECT_EQ(genres.status, 0) << genres.err;
  EXPECT_EQ(genres.out, "[ALL]\n一般\n旅行\n日記\n");
}

TEST_F(CliTest, GenresOfAMissingOrForeignDatabase) {
  const auto missing = RunSarnlink("genres" + Db());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(db), std::string::npos);
  testing::WriteText(db, "not a database at all");
  const auto foreign = RunSarnlink("genres" + Db());
  EXPECT_EQ(foreign.status, 2);
  EXPECT_NE(foreign.err.find("not a diary database"), std::string::npos) << foreign.err;
}

TEST_F(CliTest, VersionPrintsOneHundredthsFirst) {
  const auto version = RunSarnlink("version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "1.00\nmajor 1\nminor 0\nrevision 0\n");
}

TEST_F(CliTest, UsageErrorsExitOne) {
  EXPECT_EQ(RunSarnlink("").status, 1);
  EXPECT_EQ(RunSarnlink("init").status, 1);
  EXPECT_EQ(RunSarnlink("export --db x").status, 1);
  EXPECT_EQ(RunSarnlink("export --db x --out y --br notanumber").status, 1);
  EXPECT_EQ(RunSarnlink("--help").status, 0);
}

TEST(SampleDiary, LoadsExportsAndImportsBack) {
  testing::TempDir dir;
  const std::string db = dir.File("sample.db");
  const std::string out = dir.File("sample.txt");
  ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0);
  testing::LoadSampleDiary(db);
  const auto exported = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out));
  ASSERT_EQ(exported.status, 0) << exported.err;
  const std::string text = testing::ReadText(out);
  std::size_t entries = 0;
  for (std::size_t at = text.find("--------\r\n"); at != std::string::npos;
       at = text.find("--------\r\n", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(entries, 32u);
  EXPECT_NE(text.find("STATUS: Draft"), std::string::npos);
  const auto imported =
      RunSarnlink("import --allow-duplicates --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "32 diary entries imported!\n");
}

}  // namespace
}  // namespace sarnlink
