#include <gtest/gtest.h>

#include "encoding/utf8.h"
#include "export/selection_query.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

// Filters left unset admit Null too, and without bounds nothing is asked of Day: an export of
// everything writes every row.
TEST(BuildSelectionStatement, InitialSettings) {
  EXPECT_EQ(ToUtf8(BuildSelectionStatement(ExportSetting())),
            "SELECT Contents.* FROM Contents WHERE (((Contents.Genre) Like '%' Or "
            "(Contents.Genre) Is Null) AND ((Contents.Private) Like '%' Or (Contents.Private) "
            "Is Null));");
}

TEST(BuildSelectionStatement, OneBoundStandsForTheOtherAsTheOpenBound) {
  ExportSetting s;
  s.stStartDay = u"2004/01/01";
  EXPECT_NE(ToUtf8(BuildSelectionStatement(s))
                .find("AND ((Contents.Day)>'2004/01/01' And (Contents.Day)<'9999/99/99'))"),
            std::string::npos);
  s.stStartDay.clear();
  s.stEndDay = u"2004/12/31";
  EXPECT_NE(ToUtf8(BuildSelectionStatement(s))
                .find("AND ((Contents.Day)>'0000/00/00' And (Contents.Day)<'2004/12/31'))"),
            std::string::npos);
}

TEST(BuildSelectionStatement, GenreBoundsAndPublicOnly) {
  ExportSetting s;
  s.stGenre = u"日記";
  s.stStartDay = u"2004/01/01";
  s.stEndDay = u"2004/12/31";
  s.intPublish = 1;
  EXPECT_EQ(ToUtf8(BuildSelectionStatement(s)),
            "SELECT Contents.* FROM Contents WHERE (((Contents.Genre)= '日記') AND "
            "((Contents.Private)= FALSE) AND ((Contents.Day)>'2004/01/01' And "
            "(Contents.Day)<'2004/12/31'));");
  s.intPublish = 2;
  EXPECT_NE(ToUtf8(BuildSelectionStatement(s)).find("((Contents.Private)= TRUE)"),
            std::string::npos);
  s.intPublish = 7;
  EXPECT_NE(ToUtf8(BuildSelectionStatement(s)).find("((Contents.Private))"), std::string::npos);
}

// Regression: an apostrophe in a setting could change the statement's structure.
TEST(BuildSelectionStatement, ApostrophesAreDoubled) {
  ExportSetting s;
  s.stGenre = u"Mary's";
  s.stStartDay = u"x' OR '1'='1";
  const std::string sql = ToUtf8(BuildSelectionStatement(s));
  EXPECT_NE(sql.find("(Contents.Genre)= 'Mary''s')"), std::string::npos);
  EXPECT_NE(sql.find(">'x'' OR ''1''=''1' And"), std::string::npos);
}

class SelectionAgainstDiary : public testing::ConverterFixture {
 protected:
  void SetUp() override {
    AddRow("2004/01/01", 1, "日記", "start day", "", "t");
    AddRow("2004/06/01", 1, "日記", "inside public", "", "t", "0");
    AddRow("2004/06/02", 1, "日記", "inside private", "", "t", "1");
    AddRow("2004/06/03", 1, "旅行", "other genre", "", "t");
    AddRow("2004/06/04", 1, "一般", "general", "", "t");
    AddRow("2004/06/05", 1, "NULL", "null genre", "", "t");
    AddRow("NULL", 1, "日記", "null day", "", "t");
    AddRow("2004/12/31", 1, "日記", "end day", "", "t");
    AddRow("2004/06/06", 1, "日記", "null private", "", "t", "NULL");
  }

  std::string Titles(const ExportSetting& s) {
    auto connection = diary.Connect(U(db_path));
    auto rows =
        connection->OpenStatement(SelectionOf(s), CursorKind::kForwardOnly, LockKind::kReadOnly);
    std::string titles;
    while (!rows->IsEOF()) {
      titles += (titles.empty() ? "" : ",") + ToUtf8(TextOrEmpty(rows->Field(u"Title")));
      rows->MoveNext();
    }
    return titles;
  }
};

TEST_F(SelectionAgainstDiary, SelectsWhatTheSettingsSay) {
  AddRow("", 1, "日記", "empty day", "", "t");
  ExportSetting s;
  EXPECT_EQ(Titles(s),
            "start day,inside public,inside private,other genre,general,null genre,null day,"
            "end day,null private,empty day");
  s.intPublish = 1;  // a publish filter that is set compares: Null is neither Yes nor No
  EXPECT_EQ(Titles(s),
            "start day,inside public,other genre,general,null genre,null day,end day,"
            "empty day");
  s.intPublish = 0;
  s.stEndDay = u"2004/06/04";  // a bound that is set compares: Null and empty days fall out
  EXPECT_EQ(Titles(s), "start day,inside public,inside private,other genre");
  s.stEndDay.clear();
  s.stStartDay = u"2004/01/01";
  s.stEndDay = u"2004/12/31";
  s.stGenre = u"日記";
  EXPECT_EQ(Titles(s), "inside public,inside private,null private");  // both bounds strict
  s.intPublish = 1;
  EXPECT_EQ(Titles(s), "inside public");
  s.intPublish = 2;
  EXPECT_EQ(Titles(s), "inside private");
  s.stStartDay = u"2004/12/31";
  s.intPublish = 0;
  EXPECT_EQ(Titles(s), "");
  s = ExportSetting();
  s.stGenre = u"Mary's";
  EXPECT_EQ(Titles(s), "");
}

}  // namespace
}  // namespace sarnlink
