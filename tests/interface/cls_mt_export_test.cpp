#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/errors.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

using testing::ConverterFixture;

class ConverterTest : public ConverterFixture {};

TEST_F(ConverterTest, NewObjectStartsEmptyAndAllZero) {
  const ConverterState& s = converter.state();
  EXPECT_EQ(s.FilePath, u"");
  EXPECT_FALSE(s.ImportMode);
  EXPECT_EQ(s.DiaryMdbPath, u"");
  EXPECT_EQ(s.Author, u"");
  EXPECT_FALSE(s.AuthorOnly);
  EXPECT_EQ(s.Setting, ExportSetting());
}

TEST_F(ConverterTest, InitializeAnswersWhetherTheDiaryFileExistsAndAlwaysStoresThePath) {
  const std::string read_only = dir.File("ro.db");
  testing::WriteText(read_only, "x");
  ::chmod(read_only.c_str(), 0444);
  struct Case {
    std::string path;
    bool exists;
  } cases[] = {{"", false},
               {dir.File("missing.db"), false},
               {db_path, true},
               {read_only, true},
               {dir.path().string(), false}};
  for (const Case& c : cases) {
    EXPECT_EQ(converter.Initialize(U(c.path)), c.exists) << c.path;
    EXPECT_EQ(converter.state().DiaryMdbPath, U(c.path));
  }
}

TEST_F(ConverterTest, InitializeRestoresDefaultsAndClearsAuthorOnlyButKeepsAuthor) {
  ExportSetting odd;
  odd.stGenre = u"旅行";
  odd.intBR = 0;
  odd.intScroll = 7;
  converter.setExportSetting(odd);
  converter.SetAuthor(u"hanako");
  converter.SetImport();
  converter.Initialize(U(db_path));
  EXPECT_EQ(converter.state().Setting, DefaultExportSetting());
  EXPECT_EQ(converter.state().Setting.intBR, 1);
  EXPECT_EQ(converter.state().Setting.intPublish, 0);
  EXPECT_FALSE(converter.state().AuthorOnly);
  EXPECT_EQ(converter.state().Author, u"hanako");
  EXPECT_TRUE(converter.state().ImportMode);
}

TEST_F(ConverterTest, SetAuthorEmptyMeansEveryoneAsDefault) {
  converter.SetAuthor(u"hanako");
  EXPECT_EQ(converter.state().Author, u"hanako");
  EXPECT_TRUE(converter.state().AuthorOnly);
  converter.SetAuthor(u"");
  EXPECT_EQ(converter.state().Author, u"Default");
  EXPECT_FALSE(converter.state().AuthorOnly);
}

TEST_F(ConverterTest, SetExportSettingCopiesEveryField) {
  ExportSetting s{u"g", u"2004/01/01", u"2004/12/31", 2, 9, 0, 2, 0, 0, -1};
  converter.setExportSetting(s);
  EXPECT_EQ(converter.state().Setting, s);
}

struct PathCase {
  const char* name;
  bool import;
  bool file_there;
  bool overwrite;
  bool result;
  bool file_after;
};

class SetPathTable : public ConverterFixture, public ::testing::WithParamInterface<PathCase> {};

TEST_P(SetPathTable, ChecksByDirection) {
  const PathCase& c = GetParam();
  const std::string path = dir.File("entries.txt");
  if (c.file_there) {
    testing::WriteText(path, "old");
  }
  if (c.import) {
    converter.SetImport();
  }
  EXPECT_EQ(converter.SetPath(U(path), c.overwrite), c.result);
  EXPECT_EQ(converter.state().FilePath, c.result ? U(path) : u"");
  EXPECT_EQ(std::filesystem::exists(path), c.file_after);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, SetPathTable,
    ::testing::Values(PathCase{"ImportExisting", true, true, false, true, true},
                      PathCase{"ImportMissing", true, false, false, false, false},
                      PathCase{"ImportNeverDeletes", true, true, true, true, true},
                      PathCase{"ExportNew", false, false, false, true, false},
                      PathCase{"ExportExistingRefused", false, true, false, false, true},
                      PathCase{"ExportOverwriteDeletesAtOnce", false, true, true, true, false}),
    testing::ByName());

TEST_F(ConverterTest, SetPathOnAFreshObjectChecksAsAnExport) {
  const std::string path = dir.File("there.txt");
  testing::WriteText(path, "x");
  EXPECT_FALSE(converter.SetPath(U(path)));
}

TEST_F(ConverterTest, SetPathTakesWildcardsLiterally) {
  testing::WriteText(dir.File("a.txt"), "keep me");
  EXPECT_TRUE(converter.SetPath(U(dir.File("*.txt")), true));
  EXPECT_TRUE(std::filesystem::exists(dir.File("a.txt")));
  converter.SetImport();
  EXPECT_FALSE(converter.SetPath(U(dir.File("?.txt"))));
}

// The diary as the export's file: by its own name, through a link, as one of its journal files,
// or (the names swapped) as the file to replace. Nothing is deleted and FilePath is emptied.
struct RefusedOutputCase {
  const char* name;
  const char* path;  // in the scratch folder; "diary.db" is the diary
  bool overwrite;
};

class RefusedOutputTable : public ConverterFixture,
                           public ::testing::WithParamInterface<RefusedOutputCase> {};

TEST_P(RefusedOutputTable, TheDiaryIsNeverAnOutput) {
  const RefusedOutputCase& c = GetParam();
  std::filesystem::create_symlink(db_path, dir.File("link.db"));
  std::filesystem::create_hard_link(db_path, dir.File("hard.db"));
  std::filesystem::copy_file(db_path, dir.File("other-diary.db"));
  const auto diary_bytes = testing::ReadBytes(db_path);
  converter.Initialize(U(db_path));
  converter.SetExport();
  try {
    converter.SetPath(U(dir.File(c.path)), c.overwrite);
    FAIL() << "not refused";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kRefused);
    EXPECT_NE(std::string(e.what()).find(dir.File(c.path)), std::string::npos) << e.what();
  }
  EXPECT_EQ(converter.state().FilePath, u"");
  EXPECT_EQ(testing::ReadBytes(db_path), diary_bytes);
  EXPECT_TRUE(std::filesystem::exists(dir.File("other-diary.db")));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RefusedOutputTable,
    ::testing::Values(RefusedOutputCase{"TheDiary", "diary.db", false},
                      RefusedOutputCase{"TheDiaryWithOverWrite", "diary.db", true},
                      RefusedOutputCase{"ASymbolicLinkToIt", "link.db", true},
                      RefusedOutputCase{"AHardLinkToIt", "hard.db", true},
                      RefusedOutputCase{"ItsWriteAheadLog", "diary.db-wal", false},
                      RefusedOutputCase{"ItsJournal", "diary.db-journal", true},
                      RefusedOutputCase{"ThroughAnotherFolderName", "./diary.db", true},
                      RefusedOutputCase{"AnotherDatabaseToReplace", "other-diary.db", true}),
    testing::ByName());

TEST_F(ConverterTest, WholeFilesDeleteNothingUntilTheNewFileIsWritten) {
  const std::string out = dir.File("out.txt");
  testing::WriteText(out, "old");
  converter.SetToolGuarantees(true);
  converter.Initialize(U(db_path));
  converter.SetExport();
  EXPECT_FALSE(converter.SetPath(U(out)));
  EXPECT_TRUE(converter.SetPath(U(out), true));
  EXPECT_EQ(testing::ReadText(out), "old");
  converter.Execute();
  EXPECT_EQ(testing::ReadText(out), "");  // the diary is empty: an empty file replaced it
}

TEST_F(ConverterTest, ExecuteDoesNothingWithoutBothPathsAndIsAlwaysFalse) {
  EXPECT_FALSE(converter.Execute());
  converter.Initialize(U(db_path));
  testing::WriteText(dir.File("x.txt"), "x");
  EXPECT_FALSE(converter.SetPath(U(dir.File("x.txt"))));  // refused: the file is there
  EXPECT_FALSE(converter.Execute());
  EXPECT_TRUE(progress.events.empty());
  EXPECT_EQ(testing::ReadText(dir.File("x.txt")), "x");
}

TEST_F(ConverterTest, ExecuteWithoutADirectionExportsAndReturnsFalse) {
  AddRow("2004/07/14", 1, "一般", "t", "b", "2004/07/15 18:05:09");
  converter.Initialize(U(db_path));
  ASSERT_TRUE(converter.SetPath(U(dir.File("out.txt"))));
  EXPECT_FALSE(converter.Execute());
  EXPECT_EQ(progress.title, u"MovableType Export");
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.txt")));
}

TEST_F(ConverterTest, FailedRunUnlocksTheProgressAndThrowsOn) {
  converter.Initialize(U(dir.File("missing.db")));
  ASSERT_TRUE(converter.SetPath(U(dir.File("out.txt"))));
  EXPECT_THROW(converter.Execute(), Error);
  EXPECT_EQ(progress.events.back(), "unlock");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
}

TEST_F(ConverterTest, OptionsFormOkFillsTheSettingsAsTheFormSays) {
  converter.Initialize(U(db_path));
  converter.SetAuthor(u"before");
  frmOptionMembers& m = options_form.result;
  m.IsOK = true;
  m.bGenre = true;
  m.stGenre = u"旅行";
  m.bPeriod = false;
  m.stStart = u"2006/02/25";
  m.stEnd = u"2006/03/01";
  m.bPublish = false;
  m.intPublish = 2;
  m.intBR = 0;
  m.intHyphen = 0;
  m.intPublishDay = 0;
  m.intAllowPing = 0;
  m.intAllowComment = 1;
  m.stAuthor = u"";
  EXPECT_TRUE(converter.SetExportSettingMySelf());
  EXPECT_EQ(options_form.opened_path, U(db_path));
  EXPECT_EQ(options_form.opened_author, u"before");
  const ExportSetting& s = converter.state().Setting;
  EXPECT_EQ(s, (ExportSetting{u"旅行", u"", u"", 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(converter.state().Author, u"");   // as typed: no "Default"
  EXPECT_TRUE(converter.state().AuthorOnly);  // not touched
}

TEST_F(ConverterTest, OptionsFormCancelChangesNothing) {
  converter.Initialize(U(db_path));
  converter.SetAuthor(u"before");
  const ConverterState before = converter.state();
  options_form.result.IsOK = false;
  options_form.result.stAuthor = u"other";
  options_form.result.intBR = 0;
  EXPECT_FALSE(converter.SetExportSettingMySelf());
  EXPECT_EQ(converter.state().Setting, before.Setting);
  EXPECT_EQ(converter.state().Author, u"before");
}

struct PromptCase {
  const char* name;
  AuthorQuestionAnswer answer;
  std::u16string typed;
  bool result;
  std::u16string author;
  bool author_only;
};

class AuthorPromptTable : public ConverterFixture,
                          public ::testing::WithParamInterface<PromptCase> {};

TEST_P(AuthorPromptTable, SetsAuthorFromTheAnswers) {
  converter.SetAuthor(u"earlier");
  author_prompt.answer = GetParam().answer;
  author_prompt.name = GetParam().typed;
  EXPECT_EQ(converter.SetAuthorMySelf(), GetParam().result);
  EXPECT_EQ(converter.state().Author, GetParam().author);
  EXPECT_EQ(converter.state().AuthorOnly, GetParam().author_only);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AuthorPromptTable,
    ::testing::Values(
        PromptCase{"CancelKeepsTheEarlierAuthor", AuthorQuestionAnswer::kCancel, u"", false,
                   u"earlier", true},
        PromptCase{"NoMeansEveryone", AuthorQuestionAnswer::kNo, u"x", true, u"Default", false},
        PromptCase{"YesWithAName", AuthorQuestionAnswer::kYes, u"hanako", true, u"hanako", true},
        PromptCase{"YesButEmptyMeansEveryone", AuthorQuestionAnswer::kYes, u"", true, u"Default",
                   false},
        PromptCase{"SpacesAreAName", AuthorQuestionAnswer::kYes, u"  ", true, u"  ", true}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
