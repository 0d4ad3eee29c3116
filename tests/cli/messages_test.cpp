// Error messages in the user's terms: each names the option or the file, the value as typed and
// what is accepted or what to do, and none shows the parser's ranges, SQL, the system's own name
// for standard output or the reader's page arithmetic.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;

struct MessageCase {
  const char* name;
  const char* command;  // for the shell; DB is the sample diary, DIR the scratch folder
  int status;
  const char* says;  // a part of the message
};

// What a message in the user's terms never holds.
constexpr const char* kParserTerms[] = {
    "Value ", "0.000000",    "Could not convert", " not in {",
    "SELECT", "/dev/stdout", "required TEXT",     "whole 4096-byte pages"};

class Messages : public testing::SampleDiaryTest,
                 public ::testing::WithParamInterface<MessageCase> {
 protected:
  void SetUp() override {
    SampleDiaryTest::SetUp();
    // A diary of another shape: a table Contents with three of its columns.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("other.db").c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE Contents (Day TEXT, Number INTEGER, Title TEXT)", nullptr,
                 nullptr, nullptr);
    sqlite3_close(other);
    // A Jet diary cut short after its first page, and one cut part-way through a page.
    const Bytes jet = testing::ReadBytes(testing::DataFile("jet/diary-small-plain.mdb"));
    testing::WriteBytes(dir.File("one-page.mdb"), Bytes(jet.begin(), jet.begin() + 4096));
    testing::WriteBytes(dir.File("cut.mdb"), Bytes(jet.begin(), jet.begin() + 10000));
  }

  std::string Command() const {
    const std::string command =
        testing::WithPaths(GetParam().command, {{"DB", db}, {"DIR", dir.path().string()}});
    return std::string(SARNLINK_CLI_PATH) + " " + command;
  }
};

TEST_P(Messages, SayWhatIsWrongInTheUsersTerms) {
  const auto run = testing::RunShell(Command());
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
  for (const char* term : kParserTerms) {
    EXPECT_EQ(run.err.find(term), std::string::npos) << "\"" << term << "\" in: " << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ErrorPaths, Messages,
    ::testing::Values(
        MessageCase{"MaxEntriesZero", "export --db DB --out DIR/o.txt --max-entries 0", 1,
                    "--max-entries must be a whole number from 1 to 2147483647, not \"0\""},
        MessageCase{"MaxEntriesPastTheLargest",
                    "export --db DB --out DIR/o.txt --max-entries 99999999999", 1,
                    "--max-entries must be a whole number from 1 to 2147483647"},
        MessageCase{"PublishNine", "export --db DB --out DIR/o.txt --publish 9", 1,
                    "--publish must be 0, 1 or 2, not \"9\""},
        MessageCase{"PingsTwo", "export --db DB --out DIR/o.txt --pings 2", 1,
                    "--pings must be 0 or 1, not \"2\""},
        MessageCase{"CommentsWord", "export --db DB --out DIR/o.txt --comments yes", 1,
                    "--comments must be 0, 1 or 2, not \"yes\""},
        MessageCase{"BrWord", "export --db DB --out DIR/o.txt --br x", 1,
                    "--br must be a whole number from -32768 to 32767, not \"x\""},
        MessageCase{"HyphenPastSixteenBits", "export --db DB --out DIR/o.txt --hyphen 40000", 1,
                    "--hyphen must be a whole number from -32768 to 32767, not \"40000\""},
        MessageCase{"LineEndsCr", "export --db DB --out DIR/o.txt --line-ends cr", 1,
                    "--line-ends must be crlf or lf, not \"cr\""},
        MessageCase{"WaitNegative", "import --db DB --in DIR/o.txt --wait -1", 1,
                    "--wait must be a number of seconds from 0 up (such as 30 or 0.5), not \"-1\""},
        MessageCase{"WaitWord", "undo-import --db DB --stamp s --wait soon", 1,
                    "--wait must be a number of seconds from 0 up"},
        MessageCase{"TwelveAmWord", "import --db DB --in DIR/o.txt --twelve-am 12", 1,
                    "--twelve-am must be noon or midnight, not \"12\""},
        MessageCase{"AuthorWithoutItsName", "import --db DB --in DIR/o.txt --author", 1,
                    "--author needs a value (see sarnlink help import)"},
        MessageCase{"ExportOfADiaryOfAnotherShape", "export --db DIR/other.db --out -", 2,
                    "its table Contents has no columns Weather, Genre, Contents, extend, excerpt, "
                    "TrackBack, PublishTime, Private, ImportMark, which every diary has"},
        MessageCase{"GenresOfADiaryOfAnotherShape", "genres --db DIR/other.db", 2,
                    "its table Contents has no columns Weather, Genre,"},
        MessageCase{"ImportsOfADiaryOfAnotherShape", "imports --db DIR/other.db", 2,
                    "its table Contents has no columns"},
        MessageCase{"StandardOutputFull", "export --db DB --out - --author a >/dev/full", 2,
                    "export to standard output failed"},
        MessageCase{"ListToAFullDisk", "genres --db DB >/dev/full", 2,
                    "cannot write to standard output: No space left on device"},
        MessageCase{"JetOfOnePage", "export --db DIR/one-page.mdb --out -", 2,
                    "it holds 4096 bytes, less than the two 4096-byte pages of the smallest "
                    "diary); copy the .mdb again from Windows"},
        MessageCase{"JetCutInAPage", "genres --db DIR/cut.mdb", 2,
                    "its 10000 bytes end part-way through a 4096-byte page: it was cut short"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
