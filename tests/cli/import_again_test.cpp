// Importing what the diary already holds stores nothing twice: the diary's own export under
// every setting, and entries without a DATE imported again. What merely resembles a row is
// stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunSarnlink;
using testing::RunShell;

class ImportAgain : public testing::SampleDiaryTest {
 protected:
  std::string Count() {
    return RunShell("sqlite3 " + Quote(db) + " 'SELECT COUNT(*) FROM Contents'").out;
  }
};

struct ExportSettingsCase {
  std::string name;
  std::string options;
};

class OwnExport : public ImportAgain, public ::testing::WithParamInterface<ExportSettingsCase> {};

// With the rows a diary kept for years holds (Null Day and Genre, odd times, a day other than
// the time's) beside the sample's line breaks and hyphens.
TEST_P(OwnExport, ImportedBackStoresNothing) {
  const auto odd =
      RunShell("sqlite3 " + Quote(db) + " < " + Quote(testing::DataFile("odd-rows.sql")));
  ASSERT_EQ(odd.status, 0) << odd.err;
  // A row with no moment at all, which the export dates with its own, and a text line that
  // reads as a separator once its TAB is gone.
  ASSERT_EQ(RunShell("sqlite3 " + Quote(db) +
                     " \"INSERT INTO Contents (Day, Number, Genre, Title, Contents, extend, "
                     "PublishTime, ImportMark) VALUES ('', 2, '日記', 'no moment', 'z', '-----' || "
                     "char(9), '', '')\"")
                .status,
            0);
  const std::string before = Count();
  const auto exported = RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out) +
                                    " " + GetParam().options);
  ASSERT_EQ(exported.status, 0) << exported.err;
  const auto imported = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.err.find("41 entries in"), std::string::npos) << imported.err;
  EXPECT_NE(imported.err.find("0 entries stored"), std::string::npos) << imported.err;
  EXPECT_NE(imported.err.find("41 entries were already in the diary"), std::string::npos)
      << imported.err;
  EXPECT_EQ(Count(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, OwnExport,
    ::testing::Values(ExportSettingsCase{"TheDefaults", ""},
                      ExportSettingsCase{"TheDayOfTheTime", "--publish-day 0"},
                      ExportSettingsCase{"NothingConverted", "--no-br --no-hyphen"},
                      ExportSettingsCase{"BreaksOnly", "--no-hyphen --publish-day 0"},
                      ExportSettingsCase{"HyphensOnlyWithLf", "--no-br --line-ends lf"}),
    testing::ByName());

// An entry that is not exactly what the export writes for a row is stored, however close.
TEST_F(ImportAgain, WhatMerelyResemblesARowIsStored) {
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out)).status, 0);
  std::string text = testing::ReadText(out);
  const std::size_t br = text.find("<BR>");
  ASSERT_NE(br, std::string::npos);
  text.replace(br, 4, "<br>");  // one entry's line break written as another program would
  testing::WriteText(out, text);
  const auto imported = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.err.find("; 1 entry stored"), std::string::npos) << imported.err;
  EXPECT_EQ(Count(), "33\n");
}

// Entries without a DATE are filed under each run's own moment: a second run, a second later,
// finds them by title, genre and texts among the rows the first filed so; a changed text is
// stored.
TEST_F(ImportAgain, EntriesWithoutADateImportedTwiceAreStoredOnce) {
  const std::string undated =
      "TITLE: no date\r\nCATEGORY: 日記\r\n-----\r\nBODY:\r\nfirst line\r\nsecond-line\r\n"
      "-----\r\n--------\r\nTITLE: dated\r\nDATE: 01/02/2005 10:00 AM\r\n-----\r\nBODY:\r\n"
      "x\r\n-----\r\n--------\r\n";
  testing::WriteText(out, undated);
  ASSERT_EQ(RunSarnlink("import --quiet --db " + Quote(db) + " --in " + Quote(out)).status, 0);
  ASSERT_EQ(Count(), "34\n");
  const auto again = RunShell("sleep 1.1; " + Quote(SARNLINK_CLI_PATH) + " import --db " +
                              Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("2 entries were already in the diary and were passed over "
                           "(--allow-duplicates stores them); 1 of them without a DATE"),
            std::string::npos)
      << again.err;
  EXPECT_EQ(Count(), "34\n");

  std::string changed = undated;
  changed.replace(changed.find("first line"), 10, "first LINE");
  testing::WriteText(out, changed);
  const auto other = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_NE(other.err.find("; 1 entry stored"), std::string::npos) << other.err;
  EXPECT_EQ(Count(), "35\n");
}

// Files that overlap, imported in turn: A holds A1 and A2; B holds A2 (which it passes over)
// and B1; C holds A2, B1 and C1. Undoing the runs in any order leaves exactly the entries of the
// files whose runs remain, each once, and undoing all of them leaves the diary as it was. The
// record of what each run passed over goes with a copy of the diary.
TEST_F(ImportAgain, UndoInAnyOrderKeepsWhatALaterRunShares) {
  const auto entry = [](const std::string& title, int day) {
    return "TITLE: " + title + "\r\nDATE: 01/0" + std::to_string(day) +
           "/2005 10:00:00 AM\r\n-----\r\nBODY:\r\nbody of " + title + "\r\n-----\r\n--------\r\n";
  };
  const std::map<std::string, std::set<std::string>> files = {
      {"A", {"A1", "A2"}}, {"B", {"A2", "B1"}}, {"C", {"A2", "B1", "C1"}}};
  const std::map<std::string, int> days = {{"A1", 1}, {"A2", 2}, {"B1", 3}, {"C1", 4}};
  const std::string base = dir.File("base.db");
  std::map<std::string, std::string> stamps;
  for (const auto& [run, titles] : files) {
    std::string text;
    for (const std::string& title : titles) {
      text += entry(title, days.at(title));
    }
    testing::WriteText(out, text);
    ASSERT_EQ(RunSarnlink("import --quiet --db " + Quote(db) + " --in " + Quote(out)).status, 0);
    stamps[run] = RunShell("sqlite3 " + Quote(db) +
                           " 'SELECT ImportMark FROM Contents ORDER BY rowid DESC LIMIT 1'")
                      .out;
    stamps[run].pop_back();
  }
  ASSERT_EQ(Count(), "36\n");
  const auto listed = RunSarnlink("imports --db " + Quote(db));
  EXPECT_EQ(listed.err.find("may cover more than one run"), std::string::npos) << listed.err;
  // The diary as the runs left it, by copy, with the record of what each passed over.
  ASSERT_EQ(RunSarnlink("copy --from " + Quote(db) + " --to " + Quote(base)).status, 0);

  std::vector<std::string> order = {"A", "B", "C"};
  do {
    SCOPED_TRACE(order[0] + order[1] + order[2]);
    const std::string diary = dir.File("undo-" + order[0] + order[1] + order[2] + ".db");
    ASSERT_EQ(RunShell("cp " + Quote(base) + " " + Quote(diary)).status, 0);
    std::set<std::string> remaining = {"A", "B", "C"};
    for (const std::string& run : order) {
      const auto undone =
          RunSarnlink("undo-import --db " + Quote(diary) + " --stamp " + Quote(stamps[run]));
      ASSERT_EQ(undone.status, 0) << undone.err;
      remaining.erase(run);
      std::set<std::string> expected;
      for (const std::string& left : remaining) {
        expected.insert(files.at(left).begin(), files.at(left).end());
      }
      std::string titles;
      for (const std::string& title : expected) {
        titles += title + "\n";
      }
      EXPECT_EQ(RunShell("sqlite3 " + Quote(diary) +
                         " \"SELECT Title FROM Contents WHERE ImportMark LIKE '% byPontivo.dll' "
                         "ORDER BY Title\"")
                    .out,
                titles)
          << "after undoing " << run << ": " << undone.out;
    }
    EXPECT_EQ(RunShell("sqlite3 " + Quote(diary) + " 'SELECT COUNT(*) FROM Contents'").out, "32\n");
  } while (std::next_permutation(order.begin(), order.end()));

  const auto kept =
      RunSarnlink("undo-import --dry-run --db " + Quote(base) + " --stamp " + Quote(stamps["A"]));
  EXPECT_NE(kept.out.find("1 entry of the import"), std::string::npos) << kept.out;
  EXPECT_NE(kept.out.find("1 entry would be kept: a later import passed over an entry of its "
                          "file because this row already held it"),
            std::string::npos)
      << kept.out;
}

// A stamp the tool did not make (the host's component stamps to the second) may stand for two
// runs: listing and undoing it say so.
TEST_F(ImportAgain, AStampTheToolDidNotMakeIsNamed) {
  ASSERT_EQ(RunShell("sqlite3 " + Quote(db) +
                     " \"UPDATE Contents SET ImportMark = '2006/01/05 10:00:00 byPontivo.dll' "
                     "WHERE rowid <= 2\"")
                .status,
            0);
  const auto shared = RunSarnlink("imports --db " + Quote(db));
  EXPECT_NE(shared.err.find("the stamp \"2006/01/05 10:00:00 byPontivo.dll\" was not made by "
                            "this tool's imports (the host's component stamps to the second): it "
                            "may cover more than one run"),
            std::string::npos)
      << shared.err;
  const auto undone =
      RunSarnlink("undo-import --db " + Quote(db) + " --stamp '2006/01/05 10:00:00 byPontivo.dll'");
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_NE(undone.err.find("it may cover more than one run, and all its rows go"),
            std::string::npos)
      << undone.err;
  EXPECT_EQ(Count(), "30\n");
}

}  // namespace
}  // namespace sarnlink
