// The command line as users meet it: malformed values and contradictory flags are bad usage
// that names what is accepted, the help answers where users look for it, and a run's closing
// text appears only when the run did what it says.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunSarnlink;
using testing::RunShell;

class CommandLine : public testing::SampleDiaryTest {
 protected:
  std::string Export(const std::string& options) {
    return "export --quiet --db " + Quote(db) + " --out " + Quote(out) + " " + options;
  }
};

struct BadUsageCase {
  const char* name;
  const char* options;
  const char* says;  // a part of the message
};

class BadExportOptions : public CommandLine, public ::testing::WithParamInterface<BadUsageCase> {};

TEST_P(BadExportOptions, AreRefusedBeforeAnythingIsWritten) {
  const auto run = RunSarnlink(Export(GetParam().options));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadExportOptions,
    ::testing::Values(
        BadUsageCase{"OneDigitMonth", "--start 2006/1/1", "write it as yyyy/mm/dd or yyyy-mm-dd"},
        BadUsageCase{"NoSuchMonth", "--start 2006/13/45", "\"2006/13/45\" is not a day"},
        BadUsageCase{"NoSeparators", "--end 20060101", "is not a day"},
        BadUsageCase{"NotADay", "--start abc", "is not a day"},
        BadUsageCase{"NotALeapYear", "--end 2006-02-29", "is not a day"},
        BadUsageCase{"MixedSeparators", "--end 2006-02/01", "is not a day"},
        BadUsageCase{"PublishNine", "--publish 9", "--publish"},
        BadUsageCase{"PublishNegative", "--publish -1", "--publish"},
        BadUsageCase{"BrAndNoBr", "--br 1 --no-br", "excludes"},
        BadUsageCase{"HyphenAndNoHyphen", "--no-hyphen --hyphen 1", "excludes"},
        BadUsageCase{"GenreTwice", "--genre a --genre b", "--genre"},
        BadUsageCase{"StartTwice", "--start 2006/01/01 --start 2006/02/01", "--start"}),
    testing::ByName());

// Options exactly as documented, for every subcommand: a repeated option (a flag too), an
// argument the command does not take and a contradictory pair are bad usage, named, and refused
// before the diary or the output is touched. DB and OUT stand for the sample diary and the output.
class BadUsageAnywhere : public CommandLine, public ::testing::WithParamInterface<BadUsageCase> {};

TEST_P(BadUsageAnywhere, IsRefusedAndNamed) {
  const std::string command = testing::WithPaths(GetParam().options, {{"DB", db}, {"OUT", out}});
  const auto before = testing::ReadText(db);
  const auto run = RunSarnlink(command);
  EXPECT_EQ(run.status, 1) << command;
  EXPECT_EQ(run.out, "") << command;
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << command << ": " << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(testing::ReadText(db), before);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadUsageAnywhere,
    ::testing::Values(
        BadUsageCase{"QuietTwiceInExport", "export --db DB --out OUT --quiet --quiet",
                     "--quiet is given twice; give it once (see sarnlink help export)"},
        BadUsageCase{"DryRunThriceInImport", "import --db DB --in DB --dry-run --dry-run --dry-run",
                     "--dry-run is given 3 times"},
        BadUsageCase{"NoBrTwice", "export --db DB --out OUT --no-br --no-br",
                     "--no-br is given twice"},
        BadUsageCase{"DbTwiceInGenres", "genres --db DB --db DB", "--db is given twice"},
        BadUsageCase{"WaitTwiceInUndo", "undo-import --db DB --stamp s --wait 1 --wait 2",
                     "--wait is given twice"},
        BadUsageCase{"EncodingTwiceInDecode", "decode --encoding sjis --encoding sjis DB",
                     "--encoding is given twice"},
        BadUsageCase{"VersionWithAnArgument", "--version extra DB",
                     "--version takes nothing else, not \"extra\", "},
        BadUsageCase{"VersionTwice", "--version --version", "--version is given more than once"},
        BadUsageCase{"ArgumentToVersion", "version DB", "not expected"},
        BadUsageCase{"SecondFileToDetect", "detect DB OUT", "not expected"},
        BadUsageCase{"ArgumentToExport", "export --db DB --out OUT extra", "not expected: extra"},
        BadUsageCase{"AuthorAndAskAuthor", "import --db DB --in DB --author a --ask-author",
                     "--author excludes --ask-author (see sarnlink help import)"},
        BadUsageCase{"AskAuthorAndAuthor", "import --db DB --in DB --ask-author --author a",
                     "--author excludes --ask-author"}),
    testing::ByName());

TEST_F(CommandLine, DayBoundsInEitherFormSelectTheSameEntries) {
  ASSERT_EQ(RunSarnlink(Export("--start 2006/03/31 --end 2006/07/01")).status, 0);
  const std::string slashes = testing::ReadText(out);
  ASSERT_EQ(RunSarnlink(Export("--overwrite --start 2006-03-31 --end 2006-07-01")).status, 0);
  EXPECT_EQ(testing::ReadText(out), slashes);
  EXPECT_NE(slashes.find("DATE: 04/"), std::string::npos);
  EXPECT_EQ(slashes.find("DATE: 03/"), std::string::npos);
}

TEST_F(CommandLine, TheGenreListsAllIsNoFilterAndAnUnknownGenreIsNamed) {
  ASSERT_EQ(RunSarnlink(Export("")).status, 0);
  const std::string everything = testing::ReadText(out);
  ASSERT_EQ(RunSarnlink(Export("--overwrite --genre '[ALL]'")).status, 0);
  EXPECT_EQ(testing::ReadText(out), everything);
  const auto typo = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) +
                                " --overwrite --author a --genre 旅 ");
  EXPECT_EQ(typo.status, 0);
  EXPECT_NE(typo.err.find("the diary has no genre \"旅\": no entry will be exported (its genres: "
                          "一般, 料理, 旅行, 日記, 読書)"),
            std::string::npos)
      << typo.err;
}

TEST_F(CommandLine, EmptyPathsAreBadUsage) {
  for (const std::string command :
       {"init --db ''", "export --db '' --out x.txt", "export --db d.db --out ''",
        "import --db d.db --in ''", "genres --db ''", "imports --db ''"}) {
    const auto run = RunSarnlink(command);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("the path is empty"), std::string::npos) << command << ": " << run.err;
  }
}

TEST_F(CommandLine, EncodingNamesAndTheirAliasesInAnyCase) {
  const std::string file = std::string(SARNLINK_SOURCE_DIR) + "/tests/data/japanese.sjis.txt";
  for (const std::string name : {"SJIS", "cp932", "Shift_JIS", "ms932", "windows-31j"}) {
    const auto run = RunSarnlink("detect --encoding " + name + " " + Quote(file));
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(run.out, "Shift_JIS\n") << name;
  }
  EXPECT_EQ(RunSarnlink("detect --encoding utf8 " + Quote(file)).out, "UTF-8\n");
  EXPECT_EQ(RunSarnlink("detect --encoding EUCJP " + Quote(file)).out, "EUC-JP\n");
  EXPECT_EQ(RunSarnlink("detect --encoding latin1 " + Quote(file)).status, 1);
}

TEST_F(CommandLine, HelpAndVersionAnswerWhereUsersAsk) {
  const auto version = RunSarnlink("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "1.00\n");
  EXPECT_EQ(RunSarnlink("version").out.rfind("1.00\n", 0), 0u);
  const auto help = RunSarnlink("help export");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: sarnlink export"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("Examples:\n  sarnlink export --db diary.db"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status: 0 done; 1 refused"), std::string::npos);
  EXPECT_NE(RunSarnlink("--help").out.find("Usage: sarnlink [OPTIONS] SUBCOMMAND"),
            std::string::npos);
  const auto bogus = RunSarnlink("bogus");
  EXPECT_EQ(bogus.status, 1);
  EXPECT_NE(bogus.err.find("unknown subcommand \"bogus\"; the subcommands: init, "),
            std::string::npos)
      << bogus.err;
  const auto none = RunSarnlink("");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("a subcommand is required: init, "), std::string::npos) << none.err;
  EXPECT_EQ(RunSarnlink("help bogus").status, 1);
}

// The version users see is one text: what --version prints is the Debian package's version (the
// first line of its changelog) and the one the manual page's title line carries.
TEST_F(CommandLine, OneVersionInTheToolItsPackageAndItsManualPage) {
  const std::string version = RunSarnlink("--version").out;
  ASSERT_FALSE(version.empty());
  const std::string text = version.substr(0, version.size() - 1);
  const std::string source = SARNLINK_SOURCE_DIR;
  const std::string changelog = testing::ReadText(source + "/debian/changelog");
  EXPECT_EQ(changelog.rfind("sarnlink (" + text + ") ", 0), 0u) << changelog;
  const std::string manual = testing::ReadText(source + "/doc/sarnlink.1");
  const std::size_t title = manual.find("\n.TH ");
  ASSERT_NE(title, std::string::npos);
  EXPECT_NE(
      manual.substr(title, manual.find('\n', title + 1) - title).find("\"sarnlink " + text + "\""),
      std::string::npos);
}

// A file without entries, or a run that fails, never prints the closing text of a success.
TEST_F(CommandLine, AClosingTextOnlyForARunThatDidWhatItSays) {
  testing::WriteText(out, "just some text\nwithout entries\n");
  const auto empty = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(empty.status, 2);
  EXPECT_EQ(empty.out, "");
  testing::WriteText(out, "TITLE: a\nDATE: 99/99/2005 10:00:00\n--------\n");
  const auto failed = RunSarnlink("import --db " + Quote(db) + " --in " + Quote(out));
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(failed.out, "");
  const auto export_failed = RunSarnlink("export --db " + Quote(db) + " --out " + Quote(out) +
                                         " --overwrite --author a "
                                         "--start 2006/01/01 --end 2006/02/01");
  EXPECT_EQ(export_failed.status, 0);
  EXPECT_NE(export_failed.out.find("Export complete!"), std::string::npos);
}

// File names are bytes: one that is no UTF-8 is created, found and named as given.
TEST_F(CommandLine, FileNamesPassByteForByte) {
  const std::string first = dir.File("x\xfe.mt");
  const std::string second = dir.File("x\xfd.mt");
  ASSERT_EQ(RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(first)).status, 0);
  EXPECT_TRUE(std::filesystem::exists(first));
  const auto other = RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(second));
  EXPECT_EQ(other.status, 0) << other.err;
  const auto exists = RunSarnlink("export --quiet --db " + Quote(db) + " --out " + Quote(second));
  EXPECT_EQ(exists.status, 1);
  EXPECT_NE(exists.err.find(second + " already exists"), std::string::npos) << exists.err;
  const std::string odd_db = dir.File("d\xff.db");
  std::filesystem::copy_file(db, odd_db);
  const auto imported = RunSarnlink("import --quiet --allow-duplicates --db " + Quote(odd_db) +
                                    " --in " + Quote(first));
  EXPECT_EQ(imported.status, 0) << imported.err;
  testing::WriteText(first, "TITLE: a\nBODY:\nnever closed\n");
  const auto failed = RunSarnlink("import --db " + Quote(odd_db) + " --in " + Quote(first));
  EXPECT_NE(failed.err.find("import of " + first + " failed at line 2"), std::string::npos)
      << failed.err;
}

// "-": the export to standard output, the import, detect and decode from standard input.
TEST_F(CommandLine, ADashIsStandardInputOrOutput) {
  const auto exported = RunSarnlink("export --db " + Quote(db) + " --out - --author a");
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out.rfind("AUTHOR: a\r\nTITLE: ", 0), 0u);
  EXPECT_NE(exported.err.find("Export complete!"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("-")));
  EXPECT_EQ(RunSarnlink("detect -", exported.out).out, "UTF-8\n");
  EXPECT_EQ(RunSarnlink("decode -", exported.out).out, exported.out);
  const std::string other = dir.File("other.db");
  ASSERT_EQ(RunSarnlink("init --db " + Quote(other)).status, 0);
  const auto imported = RunSarnlink("import --db " + Quote(other) + " --in -", exported.out);
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "32 diary entries imported!\n");
  // A pipe that ends early: what came is read, and a cut section is named.
  const auto cut = RunSarnlink("import --db " + Quote(other) + " --in -",
                               exported.out.substr(0, exported.out.find("-----\r\nEXTENDED")));
  EXPECT_EQ(cut.status, 2);
  EXPECT_NE(cut.err.find("import of standard input failed at line 11"), std::string::npos)
      << cut.err;
  EXPECT_EQ(RunSarnlink("import --ask-author --db " + Quote(other) + " --in -", "").status, 1);
  // A pipe by its path, as a shell's process substitution gives it, is read the same way.
  const std::string fixture = std::string(SARNLINK_SOURCE_DIR) + "/tests/data/japanese.eucjp.txt";
  const auto piped = RunShell(
      "bash -c " + Quote(Quote(SARNLINK_CLI_PATH) + " detect <(cat " + Quote(fixture) + ")"));
  EXPECT_EQ(piped.out, "EUC-JP\n") << piped.err;
  for (const auto& file : std::filesystem::directory_iterator("/tmp")) {
    EXPECT_EQ(file.path().filename().string().find("sarnlink-stdin-"), std::string::npos)
        << "a spooled copy of standard input was left behind";
  }
}

// A diary the user may read but not write (another user's): every command that only reads it
// works, leaves no file beside it, and a write is refused saying why.
TEST_F(CommandLine, ADiaryTheUserMayOnlyReadIsReadAndLeftAlone) {
  if (::geteuid() != 0 || RunShell("command -v setpriv").status != 0) {
    GTEST_SKIP() << "needs root and setpriv to run as another user";
  }
  const std::string tool = dir.File("sarnlink");
  std::filesystem::copy_file(SARNLINK_CLI_PATH, tool);
  const std::string folder = dir.File("theirs");
  std::filesystem::create_directory(folder);
  const std::string theirs = folder + "/diary.db";
  std::filesystem::copy_file(db, theirs);
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
  std::filesystem::permissions(folder, std::filesystem::perms(0755));
  std::filesystem::permissions(theirs, std::filesystem::perms(0644));
  const std::string as_nobody =
      "setpriv --reuid=65534 --regid=65534 --clear-groups " + Quote(tool) + " ";
  for (const std::string command : {"export --quiet --out - --db ", "genres --db ", "imports --db ",
                                    "import --dry-run --in - --db "}) {
    const auto run = RunShell(as_nobody + command + Quote(theirs),
                              command.find("import") == 0 ? "TITLE: a\n--------\n" : "");
    EXPECT_EQ(run.status, 0) << command << ": " << run.err;
    EXPECT_NE(run.err.find("reading " + theirs + " as it stands on disk"), std::string::npos)
        << run.err;
  }
  const auto write = RunShell(as_nobody + "import --in - --db " + Quote(theirs), "TITLE: a\n");
  EXPECT_EQ(write.status, 2);
  EXPECT_NE(write.err.find("cannot be written: the diary or its folder is read-only for you"),
            std::string::npos)
      << write.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
      << "files were left beside the diary";
}

}  // namespace
}  // namespace sarnlink
