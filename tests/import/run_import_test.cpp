#include <gtest/gtest.h>

#include <fstream>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "import/entry_storage.h"
#include "import/run_import.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

using testing::ReadText;
using testing::WriteText;

std::string Entry(const std::string& author, const std::string& title, const std::string& date,
                  const std::string& body = "b") {
  std::string e;
  if (!author.empty()) {
    e += "AUTHOR: " + author + "\r\n";
  }
  e += "TITLE: " + title + "\r\n";
  if (!date.empty()) {
    e += "DATE: " + date + "\r\n";
  }
  return e + "-----\r\nBODY:\r\n" + body + "\r\n-----\r\n--------\r\n";
}

class RunImportTest : public testing::ConverterFixture {
 protected:
  std::string in_path = dir.File("in.txt");

  void Import(const std::string& text, const std::u16string& author = u"") {
    WriteText(in_path, text);
    ImportFile(author);
  }

  void ImportFile(const std::u16string& author = u"") {
    converter.Initialize(U(db_path));
    converter.SetImport();
    converter.SetAuthor(author);
    ASSERT_TRUE(converter.SetPath(U(in_path)));
    converter.Execute();
  }

  std::string ImportError(const std::string& text) {
    try {
      Import(text);
    } catch (const Error& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(RunImportTest, StoresTheTwelveColumnsAndReportsTheCount) {
  Import(
      "AUTHOR: hanako\r\nTITLE: 12:30 meeting\r\nSTATUS: Draft\r\nCATEGORY: 旅行\r\n"
      "DATE: 07/14/2004 06:05:09 PM\r\n-----\r\nBODY:\r\nl1<BR>\r\nl2\r\n-----\r\n"
      "EXTENDED BODY:\r\next\r\n-----\r\nEXCERPT:\r\nexc\r\n-----\r\n--------\r\n");
  EXPECT_EQ(Query("SELECT Day, Number, Weather, Genre, Title, Contents, extend, excerpt, "
                  "TrackBack, PublishTime, Private, ImportMark FROM Contents"),
            "2004/07/14|1|-|旅行|12:30 meeting|l1<BR>\r\nl2|ext|exc||"
            "2004/07/14 18:05:09|1|2026/12/09 10:00:00 byPontivo.dll");
  EXPECT_EQ(progress.caption, u"MT Imp/Exp for Dailyquill");
  EXPECT_EQ(progress.title, u"MovableType Import");
  EXPECT_EQ(progress.messages[0], u"17行のテキストをインポートします。");
  EXPECT_EQ(converter.import_report().line_count, 17);  // one count, announced and summarised
  EXPECT_EQ(progress.message, u"\r\n1件の日記をImport完了！");
  EXPECT_EQ(progress.maximum, 17);
  EXPECT_EQ(progress.value, 17);
  EXPECT_EQ((std::vector<std::string>{"show", "ok off", "refresh", "refresh", "ok on"}),
            progress.events);
}

TEST_F(RunImportTest, EmptyValuesAreEmptyTextsAndNoCategoryIsTheGeneralGenre) {
  Import("--------\r\n");
  EXPECT_EQ(Query("SELECT quote(Day), Number, Genre, quote(Title), quote(PublishTime), Private "
                  "FROM Contents"),
            "'2026/12/09'|1|一般|''|'2026/12/09 10:00:00'|0");
}

TEST_F(RunImportTest, CrLfLfAndCrLineEndsGiveTheSameRows) {
  const std::string text = Entry("a", "one", "01/02/2005 01:00:00 AM", "x") +
                           Entry("a", "two", "01/02/2005 01:00:00 PM", "y");
  std::string lf, cr;
  for (char c : text) {
    if (c != '\r') {
      lf += c;
    }
    if (c != '\n') {
      cr += c;
    }
  }
  std::string rows[3];
  int k = 0;
  for (const std::string& variant : {text, lf, cr}) {
    Sql("DELETE FROM Contents");
    Import(variant);
    rows[k++] = Query("SELECT Day, Number, Title, Contents, PublishTime FROM Contents");
  }
  EXPECT_EQ(rows[0], rows[1]);
  EXPECT_EQ(rows[0], rows[2]);
  EXPECT_EQ(rows[0],
            "2005/01/02|1|one|x|2005/01/02 01:00:00\n2005/01/02|2|two|y|2005/01/02 13:00:00");
}

TEST_F(RunImportTest, ALoneCrInACrLfFileStaysInItsLine) {
  Import(Entry("a", "one", "") + "--------\r\r\n");
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "1");
}

TEST_F(RunImportTest, NumbersFollowTheDaysHighestAndNewDaysStartAtOne) {
  AddRow("2005/01/02", 3, "一般", "old", "", "t");
  AddRow("2005/01/02", 1, "一般", "old", "", "t");
  AddRow("", 4, "一般", "no day", "", "t");
  Import(Entry("a", "e1", "01/02/2005 10:00:00 AM") + Entry("a", "e2", "01/03/2005 10:00:00 AM") +
         Entry("a", "e3", "01/02/2005 10:00:00 AM") + Entry("a", "e4", "01/03/2005 10:00:00 AM") +
         Entry("a", "e5", "") + Entry("a", "e6", ""));
  EXPECT_EQ(Query("SELECT Title, Day, Number FROM Contents WHERE Title LIKE 'e%' ORDER BY rowid"),
            "e1|2005/01/02|4\ne2|2005/01/03|1\ne3|2005/01/02|5\ne4|2005/01/03|2\n"
            "e5|2026/12/09|1\ne6|2026/12/09|2");
}

TEST_F(RunImportTest, TwoRunsStoreEverythingTwiceWithFollowingNumbers) {
  const std::string text = Entry("a", "e1", "01/02/2005 10:00:00 AM");
  Import(text);
  Import(text);
  EXPECT_EQ(Query("SELECT Number FROM Contents ORDER BY rowid"), "1\n2");
}

TEST_F(RunImportTest, TheAuthorFilterComparesExactlyAndCarriesTheLatestAuthor) {
  Import(Entry("Hanako", "kept", "") + Entry("", "carried", "") +
             Entry("hanako", "case differs", "") + Entry("Han ako", "inner space", "") +
             Entry("Taro", "other", "") + Entry("", "carried other", ""),
         u"Hanako");
  EXPECT_EQ(Query("SELECT Title, Number FROM Contents ORDER BY rowid"), "kept|1\ncarried|2");
  EXPECT_EQ(progress.message, u"\r\n2件の日記をImport完了！");
}

TEST_F(RunImportTest, WithoutAFilterEveryAuthorIsStored) {
  Import(Entry("Hanako", "a", "") + Entry("Taro", "b", ""));
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "2");
}

// Exports of a blog service end without the last "--------": that entry is stored too.
TEST_F(RunImportTest, TheLastEntryWithoutItsEndIsStored) {
  Import(Entry("a", "first", "") + "TITLE: last\r\nBODY:\r\nx\r\n-----\r\n\r\n");
  EXPECT_EQ(Query("SELECT Title, Contents FROM Contents ORDER BY rowid"), "first|b\nlast|x");
  EXPECT_EQ(progress.message, u"\r\n2件の日記をImport完了！");
}

// Regression: an empty file once failed with an unrelated error.
TEST_F(RunImportTest, AnEmptyFileFailsSayingSoBeforeAnythingIsStored) {
  const std::string what = ImportError("");
  EXPECT_NE(what.find("the file is empty"), std::string::npos) << what;
  EXPECT_NE(what.find(in_path), std::string::npos) << what;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0");
  EXPECT_EQ(progress.events.back(), "unlock");
}

// The whole file is read before the first row is written: a bad entry anywhere stores nothing.
TEST_F(RunImportTest, AFileThatCannotBeReadWholeStoresNothingAndNamesTheLine) {
  struct Case {
    std::string text;
    const char* where;
  } cases[] = {
      {Entry("a", "ok", "") + "DATE: 01/02/2005 x1:00:00 PM\r\n", "at line 8:"},
      {Entry("a", "ok", "") + "TITLE: open\r\nBODY:\r\nno end\r\n--------\r\n", "at line 9:"},
      {Entry("a", "ok", "") + "DATE:\r\n", "at line 8:"},
  };
  for (const Case& c : cases) {
    Sql("DELETE FROM Contents");
    const std::string what = ImportError(c.text);
    EXPECT_NE(what.find(c.where), std::string::npos) << what;
    EXPECT_NE(what.find(in_path), std::string::npos) << what;
    EXPECT_NE(what.find("nothing was stored"), std::string::npos) << what;
    EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0");
  }
}

TEST_F(RunImportTest, ANumberPast32767FailsTheRun) {
  AddRow("2005/01/02", 32767, "一般", "full", "", "t");
  const std::string what = ImportError(Entry("a", "x", "01/02/2005 10:00:00 AM"));
  EXPECT_NE(what.find("32767"), std::string::npos) << what;
  EXPECT_NE(what.find("nothing was stored"), std::string::npos) << what;
  AddRow("2005/01/03", 30000, "一般", "big", "", "t");
  Sql("UPDATE Contents SET Number = 40000 WHERE Title = 'big'");
  EXPECT_NE(ImportError(Entry("a", "x", "")).find("does not fit a 16-bit number"),
            std::string::npos);
}

// ISO-2022-JP cut in the middle of a pair no longer fails the run: the broken pair is one U+FFFD,
// counted with its line, and the entries are stored.
TEST_F(RunImportTest, BrokenIso2022JpIsStoredWithItsReplacementCounted) {
  Import("TITLE: a\r\n--------\r\n\x1B$B$\"\x1B(B\r\nTITLE: b\x1B$B0");
  EXPECT_EQ(
      progress.message,
      u"\r\n2件の日記をImport完了！\r\n（読めなかった1箇所をU+FFFDに置き換えました。最初は4行目）");
  EXPECT_EQ(Query("SELECT Title FROM Contents ORDER BY rowid"), "a\nb\uFFFD");
}

TEST_F(RunImportTest, AFileThatVanishedAfterSetPathIsAFileError) {
  WriteText(in_path, Entry("a", "x", ""));
  converter.Initialize(U(db_path));
  converter.SetImport();
  ASSERT_TRUE(converter.SetPath(U(in_path)));
  std::filesystem::remove(in_path);
  try {
    converter.Execute();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kFile);
    EXPECT_NE(std::string(e.what()).find(in_path), std::string::npos);
  }
}

struct EncodingCase {
  const char* file;
};

class ImportEncodings : public RunImportTest, public ::testing::WithParamInterface<EncodingCase> {};

// The fixtures were written by python3's codecs from one text.
TEST_P(ImportEncodings, StoreTheSameRow) {
  std::filesystem::copy_file(testing::DataFile(GetParam().file), in_path);
  ImportFile();
  EXPECT_EQ(Query("SELECT Day, Genre, Title, Contents, PublishTime FROM Contents"),
            "2005/11/03|旅行|京都の秋、紅葉を見に行きました|"
            "朝早く家を出て、電車で京都へ。清水寺の舞台から見る景色は「絶景」の一言です。\r\n"
            "カタカナもひらがなも漢字も、ＡＢＣ全角英字も。|2005/11/03 14:15:00");
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportEncodings,
    ::testing::Values(EncodingCase{"japanese.utf8.txt"}, EncodingCase{"japanese.utf8-bom.txt"},
                      EncodingCase{"japanese.sjis.txt"}, EncodingCase{"japanese.eucjp.txt"},
                      EncodingCase{"japanese.iso2022jp.txt"}, EncodingCase{"japanese.utf16le.txt"},
                      EncodingCase{"japanese.utf16be.txt"}),
    testing::ByField<&EncodingCase::file>());

// The closing text, which every front end shows, counts what could not be read.
TEST_F(RunImportTest, TheClosingTextCountsWhatCouldNotBeRead) {
  Import("TITLE: a\r\n--------\r\nTITLE: b\x85\r\n--------\r\n");
  EXPECT_EQ(
      progress.message,
      u"\r\n2件の日記をImport完了！\r\n（読めなかった1箇所をU+FFFDに置き換えました。最初は3行目）");
  EXPECT_EQ(Query("SELECT Title FROM Contents ORDER BY rowid"), "a\nb\uFFFD");
}

// Export, then import into an empty diary: every column the format carries comes back.
TEST_F(RunImportTest, RoundTripKeepsEveryColumnTheFormatCarries) {
  AddRow("2004/07/15", 1, "旅行", "Summer: trip 🍉", "Day one\r\nline - two", "2004/07/15 00:30:00",
         "1");
  AddRow("2004/07/15", 2, "一般", "noon", "x", "2004/07/15 12:00:00", "0");
  AddRow("2004/07/16", 1, "日記", "evening", "", "2004/07/16 23:59:59", "0");
  AddRow("2004/07/16", 2, "日記", "one in the afternoon", "y", "2004/07/16 13:00:00", "0");
  const std::string exported = dir.File("round.txt");
  converter.Initialize(U(db_path));
  ExportSetting raw = DefaultExportSetting();
  raw.intBR = 0;
  raw.intHyphen = 0;
  converter.setExportSetting(raw);
  converter.SetAuthor(u"hanako");
  ASSERT_TRUE(converter.SetPath(U(exported)));
  converter.Execute();

  const std::string columns =
      "SELECT Day, Number, Genre, Title, Contents, PublishTime, Private FROM "
      "Contents ORDER BY Day, Number";
  const std::string original = Query(columns);
  Sql("DELETE FROM Contents");
  in_path = exported;
  ImportFile(u"hanako");
  EXPECT_EQ(Query("SELECT Day, Number, Genre, Title, Contents, PublishTime, Private FROM "
                  "Contents ORDER BY Day, Number"),
            original);
}

// Files the earlier export wrote put noon at "12:mm AM" and midnight at "00:mm AM": one "00"
// hour with a marker is the evidence, and then every "12 AM" of the file is noon.
struct TwelveAmCase {
  const char* name;
  std::vector<std::string> dates;
  std::optional<bool> told_noon;  // --twelve-am noon or midnight; nullopt: nothing said
  const char* times;
  bool noon;  // how the report says "12 AM" was read
};

class TwelveAmTable : public RunImportTest, public ::testing::WithParamInterface<TwelveAmCase> {};

TEST_P(TwelveAmTable, TheFileOrTheUserDecidesWhatTwelveAmIs) {
  const TwelveAmCase& c = GetParam();
  std::string text;
  for (const std::string& date : c.dates) {
    text += Entry("a", date, date);
  }
  converter.SetTwelveAmIsNoon(c.told_noon);
  Import(text);
  EXPECT_EQ(Query("SELECT PublishTime FROM Contents ORDER BY rowid"), c.times);
  EXPECT_EQ(converter.import_report().twelve_am_is_noon, c.noon);
  const std::vector<std::string> lines = ImportReportLines(converter.import_report());
  const bool against = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("as midnight, as asked, though the file writes midnight as") !=
           std::string::npos;
  });
  EXPECT_EQ(against, c.told_noon == false && converter.import_report().twelve_am_from_file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TwelveAmTable,
    ::testing::Values(
        TwelveAmCase{"BlogSoftwareMidnight",
                     {"07/14/2004 12:30:00 AM", "07/14/2004 12:30:00 PM"},
                     std::nullopt,
                     "2004/07/14 00:30:00\n2004/07/14 12:30:00",
                     false},
        TwelveAmCase{"EarlierExportNoonAndMidnight",
                     {"07/14/2004 12:30:00 AM", "07/15/2004 00:05:00 AM", "07/15/2004 06:00:00 PM"},
                     std::nullopt,
                     "2004/07/14 12:30:00\n2004/07/15 00:05:00\n2004/07/15 18:00:00",
                     true},
        TwelveAmCase{"TheEvidenceAfterTheNoon",
                     {"07/14/2004 12:30:00 AM", "07/14/2004 03:00:00 PM", "07/20/2004 0:10:00 AM"},
                     std::nullopt,
                     "2004/07/14 12:30:00\n2004/07/14 15:00:00\n2004/07/20 00:10:00",
                     true},
        TwelveAmCase{
            "NoEvidenceButTold", {"07/14/2004 12:30:00 AM"}, true, "2004/07/14 12:30:00", true},
        // Told midnight: followed even against the evidence, which the summary then names.
        TwelveAmCase{"ToldMidnightAgainstTheEvidence",
                     {"07/14/2004 12:30:00 AM", "07/15/2004 00:05:00 AM"},
                     false,
                     "2004/07/14 00:30:00\n2004/07/15 00:05:00",
                     false}),
    testing::ByName());

// The real file system, but another program appends to the file the `nth` time the import goes
// back to its start.
class FileChangedOnRewind : public PosixFileSystem {
 public:
  FileChangedOnRewind(std::string path, int nth) : path_(std::move(path)), nth_(nth) {}
  std::unique_ptr<InputFile> OpenForReading(const std::u16string& path) override {
    class Changing : public InputFile {
     public:
      Changing(std::unique_ptr<InputFile> file, FileChangedOnRewind& owner)
          : file_(std::move(file)), owner_(owner) {}
      std::size_t Read(std::uint8_t* out, std::size_t max) override {
        return file_->Read(out, max);
      }
      void Rewind() override {
        if (++owner_.rewinds_ == owner_.nth_) {
          std::ofstream(owner_.path_, std::ios::app) << Entry("", "added", "");
        }
        file_->Rewind();
      }

     private:
      std::unique_ptr<InputFile> file_;
      FileChangedOnRewind& owner_;
    };
    return std::make_unique<Changing>(PosixFileSystem::OpenForReading(path), *this);
  }

 private:
  std::string path_;
  int nth_;
  int rewinds_ = 0;
};

// A file another program changes between the passes (deciding, checking, storing) would be
// stored unchecked: it stores nothing and says why.
TEST_F(RunImportTest, AFileChangedDuringTheRunStoresNothing) {
  for (int nth = 1; nth <= 3; ++nth) {
    SCOPED_TRACE(nth);
    WriteText(in_path, Entry("a", "first", "07/14/2004 06:05:09 PM"));
    FileChangedOnRewind changing(in_path, nth);
    ConverterState state;
    state.FilePath = U(in_path);
    state.DiaryMdbPath = U(db_path);
    state.OneTransaction = true;
    ImportReport report;
    try {
      RunImport(
          state,
          ConverterPorts{changing, diary, progress, options_form, author_prompt, clock, code_page},
          report);
      ADD_FAILURE() << "the change went unseen";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("changed while it was being read"), std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find("nothing was stored"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "0");
  }
}

TEST_F(RunImportTest, EntriesTheDiaryHoldsArePassedOverOnlyWhenAsked) {
  const std::string text = Entry("a", "one", "01/02/2005 10:00:00 AM", "x") +
                           Entry("a", "two", "01/02/2005 11:00:00 AM", "y");
  Import(text);
  converter.SetSkipDuplicates(true);
  // The same file, and one that overlaps it: one entry the same, one with another body, one new.
  Import(text);
  EXPECT_EQ(converter.import_report().duplicates, 2);
  EXPECT_EQ(converter.import_report().stored, 0);
  Import(Entry("a", "two", "01/02/2005 11:00:00 AM", "y") +
         Entry("a", "one", "01/02/2005 10:00:00 AM", "x changed") +
         Entry("a", "three", "01/03/2005 10:00:00 AM", "z"));
  EXPECT_EQ(converter.import_report().duplicates, 1);
  EXPECT_EQ(Query("SELECT Title, Contents, Number FROM Contents ORDER BY rowid"),
            "one|x|1\ntwo|y|2\none|x changed|3\nthree|z|1");
  // Twice in one file and new to the diary: both are stored, as the file has them.
  Import(Entry("a", "four", "01/04/2005 10:00:00 AM") +
         Entry("a", "four", "01/04/2005 10:00:00 AM"));
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents WHERE Title = 'four'"), "2");
  converter.SetSkipDuplicates(false);
  Import(text);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "8");
}

// A failure while storing: the component keeps the rows committed before it; the tool's one
// transaction keeps none.
TEST_F(RunImportTest, AStorageFailureKeepsRowsOnlyOutsideATransaction) {
  AddRow("2005/01/02", 32767, "一般", "full", "", "t");
  const std::string text = Entry("a", "ok", "01/01/2005 10:00:00 AM") +
                           Entry("a", "no number left", "01/02/2005 10:00:00 AM");
  EXPECT_NE(ImportError(text).find("1 entry was stored before it"), std::string::npos);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents WHERE Title = 'ok'"), "1");
  Sql("DELETE FROM Contents WHERE Title = 'ok'");
  converter.SetToolGuarantees(true);
  EXPECT_NE(ImportError(text).find("nothing was stored"), std::string::npos);
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "1");
}

TEST_F(RunImportTest, RunsInTheSameSecondGetStampsOfTheirOwn) {
  converter.SetToolGuarantees(true);
  converter.SetSkipDuplicates(false);
  const std::string text = Entry("a", "e", "01/02/2005 10:00:00 AM");
  Import(text);
  Import(text);
  Import(text);
  EXPECT_EQ(Query("SELECT ImportMark FROM Contents ORDER BY rowid"),
            "2026/12/09 10:00:00 byPontivo.dll\n2026/12/09 10:00:00 #2 byPontivo.dll\n"
            "2026/12/09 10:00:00 #3 byPontivo.dll");
}

}  // namespace
}  // namespace sarnlink
