#include <gtest/gtest.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "export/run_export.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

class RunExportTest : public testing::ConverterFixture {
 protected:
  std::string out_path = dir.File("out.txt");

  void Export() {
    converter.Initialize(U(db_path));
    converter.SetExport();
    ASSERT_TRUE(converter.SetPath(U(out_path), true));
    converter.Execute();
  }
};

TEST_F(RunExportTest, TwelveRowsShowTheirCountsAndFillTheBar) {
  for (int k = 1; k <= 12; ++k) {
    AddRow("2004/07/" + std::to_string(10 + k), 1, "日記", "t" + std::to_string(k), "b",
           "2004/07/15 18:05:09");
  }
  Export();
  EXPECT_EQ(progress.caption, u"MT Imp/Exp for Dailyquill");
  EXPECT_EQ(progress.title, u"MovableType Export");
  ASSERT_EQ(progress.messages.size(), 2u);
  EXPECT_EQ(progress.messages[0], u"12件のレコードを取得。エクスポートします。");
  EXPECT_EQ(progress.messages[1], u"12件のレコードをエクスポート完了。\r\nExport完了！");
  EXPECT_EQ(progress.maximum, 12);
  EXPECT_EQ(progress.value, 12);
  EXPECT_TRUE(progress.ok_enabled);
  EXPECT_EQ((std::vector<std::string>{"show", "ok off", "refresh", "ok on"}), progress.events);
  const std::string written = testing::ReadText(out_path);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 12 * 23);
  EXPECT_EQ(written.rfind("AUTHOR: ", 0), 0u);
}

TEST_F(RunExportTest, NoRowsWriteAnEmptyFileAndLeaveTheBarAlone) {
  AddRow("2004/07/14", 1, "日記", "t", "b", "2004/07/15 18:05:09");
  ExportSetting s = DefaultExportSetting();
  s.stGenre = u"旅行";
  converter.Initialize(U(db_path));
  converter.setExportSetting(s);
  ASSERT_TRUE(converter.SetPath(U(out_path)));
  converter.Execute();
  EXPECT_EQ(progress.messages[0], u"該当する日記がありません。");
  EXPECT_EQ(progress.message, u"該当するレコード(日記)がありませんでした。\r\nExport完了！");
  EXPECT_EQ(progress.maximum, 100);
  EXPECT_TRUE(std::filesystem::exists(out_path));
  EXPECT_EQ(std::filesystem::file_size(out_path), 0u);
}

// SetImport, SetPath(an existing file), SetExport, Execute: the user's file is refused, never cut.
TEST_F(RunExportTest, AFileLeftAtThePathIsRefusedAndKept) {
  AddRow("2004/07/01", 1, "日記", "good", "b", "2004/07/01 10:00:00");
  testing::WriteText(out_path, "the user's own file");
  converter.Initialize(U(db_path));
  converter.SetImport();
  ASSERT_TRUE(converter.SetPath(U(out_path)));
  converter.SetExport();
  try {
    converter.Execute();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kRefused);
    EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
  }
  EXPECT_EQ(testing::ReadText(out_path), "the user's own file");
}

// Rows a diary kept for years holds: Null and empty times, odd forms, no day. Each is written
// with a real DATE and named, and the export still writes every row.
TEST_F(RunExportTest, RowsWithoutAWholeTimeAreWrittenAndNamed) {
  AddRow("2004/07/01", 1, "日記", "good", "b", "2004/07/01 10:00:00");
  AddRow("2004/07/02", 7, "日記", "date only", "b", "2004/07/02");
  AddRow("2004/07/03", 3, "日記", "null time", "b", "NULL");
  AddRow("", 1, "日記", "nothing", "b", "");
  AddRow("2004/07/04", 1, "日記", "odd", "b", "2004/7/4 9:05");
  Export();
  const std::string written = testing::ReadText(out_path);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 5 * 23);
  for (const char* date : {"DATE: 07/01/2004 10:00:00 AM", "DATE: 07/02/2004 12:00:00 AM",
                           "DATE: 07/03/2004 12:00:00 AM", "DATE: 12/09/2026 10:00:00 AM",
                           "DATE: 07/04/2004 09:05:00 AM"}) {
    EXPECT_NE(written.find(date), std::string::npos) << date;
  }
  const auto& supplied = converter.export_report().supplied_dates;
  ASSERT_EQ(supplied.size(), 4u);
  EXPECT_EQ(supplied[0].entry, "Day 2004/07/02, Number 7, Title \"date only\"");
  EXPECT_EQ(supplied[2].entry, "Day (empty), Number 1, Title \"nothing\"");
  EXPECT_NE(supplied[2].how.find("the moment of this export"), std::string::npos);
  EXPECT_EQ(
      progress.message,
      u"5件のレコードをエクスポート完了。\r\nExport完了！\r\n（4件は日時を補って書きました：Day "
      u"2004/07/02, Number 7、Day 2004/07/03, Number 3、Day (empty), Number 1 ほか）");
}

TEST_F(RunExportTest, AnUncreatableFileIsAFileError) {
  AddRow("2004/07/02", 3, "日記", "t", "b", "2004/07/02 10:00:00");
  converter.Initialize(U(db_path));
  ASSERT_TRUE(converter.SetPath(U(dir.File("no/such/folder/out.txt"))));
  try {
    converter.Execute();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kFile);
  }
}

// A diary that delivers more rows than it counted, or fails to read the row after `fail_at`.
class GrowingRows : public DiaryRecordset {
 public:
  explicit GrowingRows(int fail_at) : fail_at_(fail_at) {}
  std::int32_t RecordCount() override { return 2; }
  bool IsEOF() override { return left_ == 0; }
  FieldValue Field(std::u16string_view name) override {
    if (name == u"PublishTime") {
      return std::u16string(u"2004/07/02 10:00:00");
    }
    return std::monostate();
  }
  void MoveNext() override {
    if (--left_ == 5 - fail_at_) {
      throw Error(ErrorKind::kDatabase, "disk I/O error");
    }
  }
  void AddNew() override {}
  void Assign(std::u16string_view, FieldValue) override {}
  void Update() override {}
  void Close() override {}

 private:
  int left_ = 5;  // rows still to deliver
  int fail_at_;   // rows delivered before the read error; 0: none
};

class GrowingDiary : public DiaryDatabase, public DiaryConnection {
 public:
  explicit GrowingDiary(int fail_at = 0) : fail_at_(fail_at) {}
  std::unique_ptr<DiaryConnection> Connect(const std::u16string&) override {
    return std::make_unique<GrowingDiary>(fail_at_);
  }
  std::unique_ptr<DiaryRecordset> OpenStatement(const DiaryQuery&, CursorKind, LockKind) override {
    return std::make_unique<GrowingRows>(fail_at_);
  }
  std::unique_ptr<DiaryRecordset> OpenTable(const std::u16string&, CursorKind, LockKind) override {
    return nullptr;
  }

 private:
  int fail_at_;
};

TEST_F(RunExportTest, TheBarNeverPassesTheCountedMaximum) {
  GrowingDiary growing;
  ConverterState state;
  state.FilePath = U(out_path);
  state.DiaryMdbPath = u"x";
  state.Setting = DefaultExportSetting();
  state.Setting.intPublishDay = 0;
  ExportReport report;
  RunExport(state,
            ConverterPorts{files, growing, progress, options_form, author_prompt, clock, code_page},
            report);
  EXPECT_EQ(progress.maximum, 2);
  EXPECT_EQ(progress.highest_value, 2);
  const std::string written = testing::ReadText(out_path);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 5 * 23);
}

// Regression: a read error after some rows lost the entries still in the write buffer, and the
// message counted entries that never reached the file.
TEST_F(RunExportTest, AReadErrorMidwayKeepsAndCountsTheEntriesOnDisk) {
  GrowingDiary failing(3);
  ConverterState state;
  state.FilePath = U(out_path);
  state.DiaryMdbPath = u"x";
  state.Setting = DefaultExportSetting();
  state.Setting.intPublishDay = 0;
  try {
    ExportReport report;
    RunExport(
        state,
        ConverterPorts{files, failing, progress, options_form, author_prompt, clock, code_page},
        report);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("3 entries were written to the file before it"),
              std::string::npos)
        << e.what();
  }
  const std::string written = testing::ReadText(out_path);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3 * 23);
}

}  // namespace
}  // namespace sarnlink
