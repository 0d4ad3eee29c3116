// The command-line tool on files shaped like what blog software and converters write, and the
// options that exist for them: line ends, the encoding override, the dry run and the summary.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::DataFile;
using testing::Quote;
using testing::ReadText;
using testing::RunSarnlink;
using testing::RunShell;

class RealWorldFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0); }

  std::string Query(const std::string& sql) {
    return RunShell("sqlite3 " + Quote(db) + " " + Quote(sql)).out;
  }
  testing::CommandResult Import(const std::string& file, const std::string& options = "") {
    return RunSarnlink("import --db " + Quote(db) + " --in " + Quote(file) + " " + options);
  }

  testing::TempDir dir;
  std::string db = dir.File("diary.db");
  std::string out = dir.File("out.txt");
};

// LF, a blank line after each heading, several CATEGORY lines, 24-hour dates, emoji and
// half-width kana, and no "--------" after the last entry.
TEST_F(RealWorldFiles, ABlogServiceExportKeepsItsLastEntryAndFirstCategory) {
  const auto run = Import(DataFile("real-world/blog-service.utf8.txt"), "--author hanako");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2 diary entries imported!\n");
  EXPECT_EQ(Query("SELECT Day, Number, Genre, Title, Private, PublishTime, quote(extend) FROM "
                  "Contents ORDER BY rowid"),
            "2016/08/15|1|夏|花火大会 🎆|0|2016/08/15 21:30:00|''\n"
            "2016/08/16|1|日記|朝ごはん|1|2016/08/16 07:05:09|'\r\n続きはここ'\n");
  EXPECT_EQ(Query("SELECT Contents FROM Contents WHERE Number = 1 AND Day = '2016/08/15'"),
            "\r\nﾊﾝｶｸｶﾀｶﾅの看板と 🍉 すいか。\r\n二行目です。\n");
}

// Movable Type's own export: the comment's AUTHOR and DATE stay in the comment although its
// heading has a trailing space, PRIMARY CATEGORY wins over the CATEGORY lines before it,
// "publish" is public, and a body line escaped with a TAB comes back as "-----".
TEST_F(RealWorldFiles, AMovableTypeExportWithCommentsAndPings) {
  const auto run = Import(DataFile("real-world/movable-type.utf8.txt"), "--author Melody");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Query("SELECT Day, Genre, Title, Private, PublishTime, Contents, extend FROM "
                  "Contents ORDER BY rowid"),
            "2017/04/09|Weather|A Rainy Day: notes|0|2017/04/09 19:49:39|It rained all day.\r\n"
            "-----\r\nThe end.|More about the rain.\n"
            "2017/04/22|Diary|Afternoon|0|2017/04/22 20:41:58|Tea.|\n");
  // All ASCII, and said so.
  EXPECT_NE(run.err.find("sarnlink: read as ASCII: 2 entries in 64 lines; 2 entries stored\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("not kept (the diary has no place for them): 1 COMMENT section, 1 PING "
                         "section and 1 KEYWORDS section"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("keys the diary has no column for, not kept: \"BASENAME\" x1 and "
                         "\"TAGS\" x1"),
            std::string::npos)
      << run.err;
}

TEST_F(RealWorldFiles, TheSummaryNamesWhatWasPassedOverAndWhatHadNoDate) {
  testing::WriteText(out,
                     "AUTHOR: a\nTITLE: one\n--------\nAUTHOR: b\nTITLE: two\n--------\n"
                     "AUTHOR: a\nTITLE: three\nDATE: 01/02/2005 10:00:00 AM\n--------\n");
  const auto run = Import(out, "--author a");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("3 entries in 10 lines; 2 entries stored"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("1 entry passed over by the author filter"), std::string::npos);
  EXPECT_NE(run.err.find("2 entries without a DATE (filed under the import's time, "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("): starting on lines 1 and 4"), std::string::npos) << run.err;
  EXPECT_EQ(Import(out, "--quiet").err, "");
}

TEST_F(RealWorldFiles, AMostlyUtf8FileIsReadAsUtf8AndSaysWhatWasReplaced) {
  const auto run = Import(DataFile("real-world/mostly-english.utf8-stray.txt"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("3 bytes that are not UTF-8 replaced by U+FFFD; the first on line 14"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Query("SELECT Title FROM Contents ORDER BY rowid"), "Notes\n“Quoted” title\n");
}

TEST_F(RealWorldFiles, TheEncodingOptionOverridesTheDecision) {
  const std::string sjis = DataFile("japanese.sjis.txt");
  EXPECT_EQ(
      RunSarnlink("detect --encoding shift_jis " + Quote(DataFile("japanese.iso2022jp.txt"))).out,
      "Shift_JIS\n");
  EXPECT_EQ(RunSarnlink("detect --encoding euc-jp " + Quote(sjis)).out, "EUC-JP\n");
  const auto utf8 = RunSarnlink("decode --encoding UTF-8 " + Quote(sjis));
  EXPECT_EQ(utf8.status, 0);
  EXPECT_NE(utf8.err.find("bytes that are not UTF-8 replaced by U+FFFD"), std::string::npos);
  EXPECT_EQ(RunSarnlink("detect --encoding latin1 " + Quote(sjis)).status, 1);

  ASSERT_EQ(Import(sjis, "--encoding shift_jis").status, 0);
  EXPECT_EQ(Query("SELECT Genre FROM Contents"), "旅行\n");
}

// A wrong --encoding, or a UTF-8 mark in front of Shift_JIS, keeps every byte as U+FFFD, says
// how many, and warns (even with --quiet) naming the encoding the bytes look like.
TEST_F(RealWorldFiles, AnEncodingTheBytesContradictIsNamedInAWarning) {
  const std::string warning =
      "warning: the file does not look like UTF-8 (as it was said to be); read by its bytes "
      "alone it would be Shift_JIS";
  const auto forced = Import(DataFile("japanese.sjis.txt"), "--encoding utf-8 --quiet");
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find(warning), std::string::npos) << forced.err;
  EXPECT_EQ(Query("SELECT instr(Title, char(65533)) > 0 FROM Contents"), "1\n");

  Bytes marked = testing::Hex("EF BB BF");
  const Bytes sjis = testing::ReadBytes(DataFile("japanese.sjis.txt"));
  marked.insert(marked.end(), sjis.begin(), sjis.end());
  testing::WriteBytes(out, marked);
  const auto run = Import(out);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("the file does not look like UTF-8 (as its byte-order mark says); read "
                         "by its bytes alone it would be Shift_JIS"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("bytes that are not UTF-8 replaced by U+FFFD; the first on line 1"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Import(DataFile("japanese.utf8.txt"), "--encoding utf-8").err.find("warning"),
            std::string::npos);
}

TEST_F(RealWorldFiles, ADryRunPrintsWhatWouldBeStoredAndWritesNothing) {
  RunShell("sqlite3 " + Quote(db) +
           " \"INSERT INTO Contents (Day, Number, Genre, Title) VALUES ('2017/04/09', 3, 'x', "
           "'old')\"");
  const auto run = Import(DataFile("real-world/movable-type.utf8.txt"), "--dry-run --quiet");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2 entries in 64 lines; 2 entries would be stored"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("days that already have entries and would get more: 2017/04/09 (+1)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("1 COMMENT section"), std::string::npos) << run.out;
  EXPECT_EQ(Query("SELECT COUNT(*) FROM Contents"), "1\n");

  testing::WriteText(out, "TITLE: x\nDATE: 13/01/2005 10:00:00 AM\n--------\n");
  const auto bad = Import(out, "--dry-run");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("at line 2: the DATE \"13/01/2005 10:00:00 AM\" has no month 13"),
            std::string::npos)
      << bad.err;
}

TEST_F(RealWorldFiles, AFileWithoutEntriesIsNoMovableTypeFile) {
  testing::WriteText(out, "just some notes\nwithout any entry\n");
  const auto run = Import(out);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("does not look like a MovableType file: no entry was found in its 2 "
                         "lines"),
            std::string::npos)
      << run.err;
}

TEST_F(RealWorldFiles, ExportLineEndsAndOptionChecks) {
  RunShell("sqlite3 " + Quote(db) +
           " \"INSERT INTO Contents (Day, Number, Genre, Title, Contents, PublishTime, Private) "
           "VALUES ('2004/07/14', 1, 'g', 't', 'a' || char(13,10) || '-----', "
           "'2004/07/14 10:00:00', 0)\"");
  const auto lf = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) +
                              " --line-ends lf --no-br --hyphen 0");
  ASSERT_EQ(lf.status, 0) << lf.err;
  const std::string text = ReadText(out);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(text.find("\nBODY:\na\n-----\t\n-----\n"), std::string::npos) << text;
  EXPECT_NE(lf.err.find("no --author given: every AUTHOR line is left empty"), std::string::npos);

  for (const char* bad : {"--pings 2", "--pings -1", "--comments 3", "--line-ends cr"}) {
    EXPECT_EQ(
        RunSarnlink("export --db " + Quote(db) + " --out " + Quote(dir.File("x.txt")) + " " + bad)
            .status,
        1)
        << bad;
  }
  EXPECT_EQ(RunSarnlink("export --db " + Quote(db) + " --out " + Quote(dir.File("y.txt")) +
                        " --comments 2 --author me")
                .err.find("no --author"),
            std::string::npos);
}

}  // namespace
}  // namespace sarnlink
