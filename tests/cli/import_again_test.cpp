// Importing what the diary already holds stores nothing twice: the diary's own export under
// every setting, and entries without a DATE imported again. What merely resembles a row is
// stored.
#include <gtest/gtest.h>

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
  const std::string before = Count();
  const auto exported = RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(out) +
                                    " " + GetParam().options);
  ASSERT_EQ(exported.status, 0) << exported.err;
  const auto imported = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.err.find("40 entries in"), std::string::npos) << imported.err;
  EXPECT_NE(imported.err.find("0 entries stored"), std::string::npos) << imported.err;
  EXPECT_NE(imported.err.find("40 entries were already in the diary"), std::string::npos)
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

}  // namespace
}  // namespace sarnlink
