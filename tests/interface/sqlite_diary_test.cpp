#include <gtest/gtest.h>

#include "common/errors.h"
#include "interface/diary_statements.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

using testing::ConverterFixture;

class SqliteDiaryTest : public ConverterFixture {
 protected:
  std::string ConnectError(const std::string& path) {
    try {
      diary.Connect(U(path));
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kDatabase);
      return e.what();
    }
    return "connected";
  }
};

TEST_F(SqliteDiaryTest, MissingFileIsAnErrorAndIsNeverCreated) {
  const std::string missing = dir.File("missing.db");
  EXPECT_NE(ConnectError(missing).find(missing), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(SqliteDiaryTest, ForeignFilesAreNamedForWhatTheyAre) {
  Bytes jet = testing::Hex("00 01 00 00");
  for (char c : std::string("Standard Jet DB")) {
    jet.push_back(static_cast<std::uint8_t>(c));
  }
  jet.resize(4096);
  testing::WriteBytes(dir.File("diary.mdb"), jet);
  EXPECT_NE(ConnectError(dir.File("diary.mdb")).find("cannot be opened by this build"),
            std::string::npos);
  Bytes ace = jet;
  std::copy_n("Standard ACE DB", 15, ace.begin() + 4);
  testing::WriteBytes(dir.File("diary.accdb"), ace);
  EXPECT_NE(ConnectError(dir.File("diary.accdb")).find("cannot be opened by this build"),
            std::string::npos);
  testing::WriteText(dir.File("notes.txt"), "AUTHOR: x\r\n");
  EXPECT_NE(ConnectError(dir.File("notes.txt")).find("not a diary database"), std::string::npos);
  testing::WriteText(dir.File("empty.db"), "");
  EXPECT_NE(ConnectError(dir.File("empty.db")).find("not a diary database"), std::string::npos);
  EXPECT_NE(ConnectError(dir.path().string()).find("not a file"), std::string::npos);
  Bytes corrupt = testing::ReadBytes(db_path);
  std::fill(corrupt.begin() + 16, corrupt.end(), 0xAB);
  testing::WriteBytes(dir.File("corrupt.db"), corrupt);
  EXPECT_NE(ConnectError(dir.File("corrupt.db")).find("not a diary database"), std::string::npos)
      << ConnectError(dir.File("corrupt.db"));
}

TEST_F(SqliteDiaryTest, SqliteFileWithoutContentsIsNotADiary) {
  const std::string other = dir.File("other.db");
  testing::RunShell("sqlite3 " + testing::Quote(other) + " 'CREATE TABLE t (x);'");
  EXPECT_NE(ConnectError(other).find("no table Contents"), std::string::npos);
}

TEST_F(SqliteDiaryTest, GenreListPutsAllAndTheGeneralGenreFirst) {
  AddRow("2004/01/01", 1, "旅行", "", "", "2004/01/01 00:00:00");
  AddRow("2004/01/02", 1, "一般", "", "", "2004/01/02 00:00:00");
  AddRow("2004/01/03", 1, "NULL", "", "", "2004/01/03 00:00:00");
  AddRow("2004/01/04", 1, "日記", "", "", "2004/01/04 00:00:00");
  AddRow("2004/01/05", 1, "旅行", "", "", "2004/01/05 00:00:00");
  AddRow("2004/01/06", 1, "", "", "", "2004/01/06 00:00:00");
  const std::vector<std::u16string> expected = {u"[ALL]", u"一般", u"", u"旅行", u"日記"};
  EXPECT_EQ(FillGenreList(diary, U(db_path)), expected);
}

TEST_F(SqliteDiaryTest, GenreListOfOnlyGeneralOrNullGenres) {
  AddRow("2004/01/02", 1, "一般", "", "", "2004/01/02 00:00:00");
  AddRow("2004/01/03", 1, "NULL", "", "", "2004/01/03 00:00:00");
  EXPECT_EQ(FillGenreList(diary, U(db_path)), (std::vector<std::u16string>{u"[ALL]", u"一般"}));
}

TEST_F(SqliteDiaryTest, DayNumbersStatementGivesTheHighestNumberPerDayInDayOrder) {
  AddRow("2004/01/02", 3, "一般", "", "", "");
  AddRow("2004/01/02", 5, "一般", "", "", "");
  AddRow("2004/01/01", 1, "一般", "", "", "");
  auto connection = diary.Connect(U(db_path));
  auto rows =
      connection->OpenStatement(DayNumbersQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
  EXPECT_EQ(rows->RecordCount(), 2);
  std::vector<std::pair<std::u16string, std::int16_t>> got;
  while (!rows->IsEOF()) {
    got.emplace_back(TextOf(rows->Field(u"Day"), "Day"), Int16Of(rows->Field(u"NumMax"), "n"));
    rows->MoveNext();
  }
  EXPECT_EQ(got, (std::vector<std::pair<std::u16string, std::int16_t>>{{u"2004/01/01", 1},
                                                                       {u"2004/01/02", 5}}));
}

TEST_F(SqliteDiaryTest, TableInsertCommitsEachRowAndReportsARefusal) {
  auto connection = diary.Connect(U(db_path));
  auto table = connection->OpenTable(kEntryTable, CursorKind::kKeyset, LockKind::kOptimistic);
  table->AddNew();
  table->Assign(u"Day", std::u16string(u"2004/01/01"));
  table->Assign(u"Number", std::int64_t{1});
  table->Assign(u"Private", true);
  table->Update();
  EXPECT_EQ(Query("SELECT Day, Number, Private FROM Contents"), "2004/01/01|1|1");
  table->AddNew();
  table->Assign(u"NoSuchColumn", std::u16string(u"x"));
  EXPECT_THROW(table->Update(), Error);
}

}  // namespace
}  // namespace sarnlink
