// The tool with the host's Jet diary: exports byte for byte those of an SQLite diary holding
// the same rows, copies into a new SQLite diary that keeps every value, and refusals of every
// write that leave the file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/jet_fixtures.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunSarnlink;

// An SQLite diary holding the fixtures' rows, in their order, made once for the suite.
class JetCommandsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = new testing::TempDir();
    testing::LoadRowsIntoDiary(testing::ExpectedJetRows(), SameRows());
  }
  static void TearDownTestSuite() { delete shared_; }
  static std::string SameRows() { return shared_->File("same-rows.db"); }

  // A copy of a fixture in the scratch folder, for the commands that must leave it as it was.
  std::string CopyOfFixture(const std::string& name) {
    const std::string path = dir.File(name);
    std::filesystem::copy_file(testing::JetFixture(name), path);
    return path;
  }

  testing::TempDir dir;
  static testing::TempDir* shared_;
};
testing::TempDir* JetCommandsTest::shared_ = nullptr;

struct ExportCase {
  std::string name;
  std::string options;
};

class JetExports : public JetCommandsTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(JetExports, AreTheBytesOfTheSameRowsInAnSqliteDiary) {
  const std::string want = dir.File("from-sqlite.txt");
  const auto sqlite = RunSarnlink("export --quiet --db " + Quote(SameRows()) + " --out " +
                                  Quote(want) + " " + GetParam().options);
  for (const char* fixture : testing::kJetFixtures) {
    SCOPED_TRACE(fixture);
    const std::string got = dir.File(std::string(fixture) + ".txt");
    const auto jet = RunSarnlink("export --quiet --db " + Quote(testing::JetFixture(fixture)) +
                                 " --out " + Quote(got) + " " + GetParam().options);
    EXPECT_EQ(jet.status, sqlite.status) << jet.err;
    if (sqlite.status == 0) {
      ASSERT_EQ(jet.status, 0) << jet.err;
      EXPECT_TRUE(testing::ReadBytes(got) == testing::ReadBytes(want));
    } else {
      // The same entry stops both, for the same reason.
      EXPECT_EQ(jet.err.substr(jet.err.find(" failed at ")),
                sqlite.err.substr(sqlite.err.find(" failed at ")));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, JetExports,
    ::testing::Values(
        ExportCase{"EverythingAfterTheProbeDayWithoutATime", "--start 2000/01/03"},
        ExportCase{"EveryRowTheEmptyTimeOnItsDay", ""},
        ExportCase{"EveryRowWithTheDayOfTheTime", "--publish-day 0"},
        ExportCase{"OneGenre", "--genre 仕事"},
        ExportCase{"TheGeneralGenre", "--genre 一般 --start 2000/01/03"},
        ExportCase{"PublicOnlyWithAnAuthor", "--publish 1 --start 2000/01/03 --author 日記帳"},
        ExportCase{"PrivateOnlyWithoutDays", "--publish 2 --start 2000/01/03 --publish-day 0"},
        ExportCase{"BoundsOnBothSides", "--start 2000/12/31 --end 2001/03/01"},
        ExportCase{"EveryOptionOff",
                   "--start 2000/01/03 --br 0 --hyphen 0 --pings 0 --comments 0 --line-ends lf"},
        ExportCase{"PiecesOfFourEntries", "--genre 旅行 --max-entries 4"}),
    testing::ByName());

// Every row of every fixture is written, the probe row with an empty time among them, on its
// day at midnight and named.
TEST_F(JetCommandsTest, EveryFixtureExportsEveryRowNamingTheOneWithoutATime) {
  for (const char* fixture : testing::kJetFixtures) {
    SCOPED_TRACE(fixture);
    const std::string out = dir.File(std::string(fixture) + ".txt");
    const auto run = RunSarnlink("export --db " + Quote(testing::JetFixture(fixture)) + " --out " +
                                 Quote(out) + " --author 日記帳");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("315 records exported."), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("warning: Day 2000/01/03, Number 3, Title \"\": written with DATE "
                           "01/03/2000 12:00:00 AM (PublishTime is empty; the DATE is its Day at "
                           "midnight)"),
              std::string::npos)
        << run.err;
  }
}

// A Jet diary holding Null Day and Genre, the empty Day and time of an earlier import and odd
// times exports every row, under every selection, as an SQLite diary of the same rows does.
TEST_F(JetCommandsTest, OddRowsExportAsTheSameRowsInAnSqliteDiaryDo) {
  const std::string jet = testing::DataFile("jet/diary-odd-rows.mdb");
  const std::string same = dir.File("odd-rows.db");
  testing::LoadRowsIntoDiary(
      testing::ReadJsonRows(testing::DataFile("jet/diary-odd-rows.expected.jsonl")), same);
  for (const char* options : {"", "--publish-day 0", "--publish 1", "--genre 日記",
                              "--start 2010/05/01 --end 2010/05/06"}) {
    SCOPED_TRACE(options);
    const std::string want = dir.File("from-sqlite.txt");
    const std::string got = dir.File("from-jet.txt");
    const auto sqlite = RunSarnlink("export --overwrite --db " + Quote(same) + " --out " +
                                    Quote(want) + " " + options);
    const auto from_jet = RunSarnlink("export --overwrite --db " + Quote(jet) + " --out " +
                                      Quote(got) + " " + options);
    ASSERT_EQ(sqlite.status, 0) << sqlite.err;
    ASSERT_EQ(from_jet.status, 0) << from_jet.err;
    EXPECT_TRUE(testing::ReadBytes(got) == testing::ReadBytes(want));
    // The same closing text, up to the file's name.
    EXPECT_EQ(from_jet.out.substr(0, from_jet.out.find("MovableType file:")),
              sqlite.out.substr(0, sqlite.out.find("MovableType file:")));
  }
  const auto every = RunSarnlink("export --overwrite --db " + Quote(jet) + " --out " +
                                 Quote(dir.File("every.txt")));
  EXPECT_NE(every.out.find("8 records exported."), std::string::npos) << every.out;
  EXPECT_NE(every.out.find("(6 entries were written with a date supplied"), std::string::npos) << every.out;
}

TEST_F(JetCommandsTest, CopyKeepsEveryValueOfEveryFixture) {
  for (const char* fixture : testing::kJetFixtures) {
    SCOPED_TRACE(fixture);
    const std::string to = dir.File(std::string(fixture) + ".db");
    const auto copy =
        RunSarnlink("copy --from " + Quote(testing::JetFixture(fixture)) + " --to " + Quote(to));
    ASSERT_EQ(copy.status, 0) << copy.err;
    EXPECT_NE(copy.out.find("copied 315 entries"), std::string::npos) << copy.out;
    const std::vector<testing::NamedRow> rows = testing::ReadDiaryRows(to);
    const std::vector<testing::NamedRow>& expected = testing::ExpectedJetRows();
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (const auto& [name, value] : expected[r]) {
        const auto column = std::find_if(rows[r].begin(), rows[r].end(),
                                         [&](const auto& c) { return c.first == name; });
        ASSERT_NE(column, rows[r].end()) << name;
        EXPECT_EQ(column->second, value)
            << "row " << r << ", " << name << ": " << testing::Shown(column->second)
            << " instead of " << testing::Shown(value);
      }
    }
    const bool extra = std::string(fixture) == "diary-extra-columns.mdb";
    EXPECT_EQ(copy.err.find("ID, Mood") != std::string::npos, extra) << copy.err;
  }
}

TEST_F(JetCommandsTest, CopyOfAnSqliteDiaryAndOfItsCopyAreTheSame) {
  const std::string first = dir.File("first.db");
  const std::string second = dir.File("second.db");
  ASSERT_EQ(RunSarnlink("copy --from " + Quote(SameRows()) + " --to " + Quote(first)).status, 0);
  ASSERT_EQ(RunSarnlink("copy --from " + Quote(first) + " --to " + Quote(second)).status, 0);
  EXPECT_FALSE(std::filesystem::exists(second + "-wal")) << "the copy's log is in its file";
  EXPECT_TRUE(testing::ReadDiaryRows(second) == testing::ReadDiaryRows(SameRows()));
}

TEST_F(JetCommandsTest, CopyRefusesAnExistingTargetAndLeavesItAlone) {
  const std::string to = dir.File("taken.db");
  testing::WriteText(to, "somebody's file");
  const auto copy = RunSarnlink("copy --from " + Quote(testing::JetFixture("diary-small.mdb")) +
                                " --to " + Quote(to));
  EXPECT_EQ(copy.status, 1);
  EXPECT_NE(copy.err.find("already exists"), std::string::npos) << copy.err;
  EXPECT_EQ(testing::ReadText(to), "somebody's file");
  const auto damaged = dir.File("damaged.mdb");
  Bytes bytes = testing::ReadBytes(testing::JetFixture("diary-small.mdb"));
  bytes.resize(bytes.size() - 100);
  testing::WriteBytes(damaged, bytes);
  const auto failed =
      RunSarnlink("copy --from " + Quote(damaged) + " --to " + Quote(dir.File("new.db")));
  EXPECT_EQ(failed.status, 2);
  EXPECT_NE(failed.err.find("end part-way through a 4096-byte page"), std::string::npos)
      << failed.err;
  EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
      << "no diary, nor a half-made one, is left";
}

// Every command on a Jet diary: the writes refused with a way on, the reads allowed; the file's
// bytes and modification time as they were after each.
TEST_F(JetCommandsTest, WritesAreRefusedAndNoCommandChangesTheFile) {
  const std::string mdb = CopyOfFixture("diary-small.mdb");
  const std::string mt = dir.File("entries.txt");
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(mdb) + " --out " + Quote(mt) +
                        " --start 2000/01/03")
                .status,
            0);
  const Bytes before = testing::ReadBytes(mdb);
  const auto modified = std::filesystem::last_write_time(mdb);
  struct Command {
    std::string arguments;
    int status;
    std::string says;
  };
  const Command commands[] = {
      {"import --db " + Quote(mdb) + " --in " + Quote(mt), 1, "only reads"},
      {"import --db " + Quote(mdb) + " --in -", 1, "copy --from"},
      {"undo-import --db " + Quote(mdb) + " --stamp imp", 1, "through the host on Windows"},
      {"undo-import --dry-run --db " + Quote(mdb) + " --stamp imp", 1, "only reads"},
      {"import --dry-run --db " + Quote(mdb) + " --in " + Quote(mt), 0, "would be stored"},
      {"genres --db " + Quote(mdb), 0, "[ALL]"},
      {"imports --db " + Quote(mdb), 0, "imp"},
      {"export --quiet --overwrite --db " + Quote(mdb) + " --out " + Quote(mdb), 1, "database"},
      {"export --quiet --db " + Quote(mdb) + " --out " + Quote(dir.File("again.txt")) +
           " --genre 仕事",
       0, ""},
      {"copy --from " + Quote(mdb) + " --to " + Quote(dir.File("copy.db")), 0, "copied 315"},
  };
  for (const Command& command : commands) {
    SCOPED_TRACE(command.arguments);
    const auto run = RunSarnlink(command.arguments, "AUTHOR: x\n");
    EXPECT_EQ(run.status, command.status) << run.err;
    EXPECT_NE((run.out + run.err).find(command.says), std::string::npos) << run.out << run.err;
    EXPECT_TRUE(testing::ReadBytes(mdb) == before);
    EXPECT_EQ(std::filesystem::last_write_time(mdb), modified);
  }
}

TEST_F(JetCommandsTest, TheDryRunNumbersAgainstTheDaysOfTheFile) {
  const std::string mt = dir.File("one.txt");
  testing::WriteText(mt,
                     "TITLE: one more\nDATE: 01/05/2001 10:00:00 AM\n-----\nBODY:\nx\n-----\n"
                     "--------\n");
  const auto jet =
      RunSarnlink("import --dry-run --db " + Quote(testing::JetFixture("diary-small.mdb")) +
                  " --in " + Quote(mt));
  const auto sqlite =
      RunSarnlink("import --dry-run --db " + Quote(SameRows()) + " --in " + Quote(mt));
  ASSERT_EQ(jet.status, 0) << jet.err;
  EXPECT_EQ(jet.out, sqlite.out);
  EXPECT_NE(jet.out.find("2001/01/05 (+1)"), std::string::npos) << jet.out;
}

}  // namespace
}  // namespace sarnlink
