// The tool speaks one language per run, chosen from the locale as every gettext program does:
// English under C, Japanese under a Japanese locale; a catalog that is missing leaves English.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunShell;

bool HasJapaneseLocale() {
  return RunShell("locale -a | grep -qix ja_JP.utf8").status == 0;
}

bool AllAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct LanguageCase {
  const char* name;
  const char* arguments;  // after the tool's path; DB and IN stand for the diary and a file
  const char* japanese;   // what the Japanese run says
  const char* english;    // what the English run says
};

class Languages : public testing::SampleDiaryTest,
                  public ::testing::WithParamInterface<LanguageCase> {
 protected:
  testing::CommandResult Run(const std::string& tool, const std::string& locale) {
    std::string arguments = GetParam().arguments;
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"DB", db}, {"IN", in}, {"OUT", out}}) {
      for (auto at = arguments.find(name); at != std::string::npos; at = arguments.find(name)) {
        arguments.replace(at, name.size(), Quote(value));
      }
    }
    return RunShell("LC_ALL=" + locale + " " + Quote(tool) + " " + arguments);
  }

  std::string in = dir.File("in.txt");
};

TEST_P(Languages, OneLanguagePerRun) {
  testing::WriteText(in, "TITLE: a\r\nBODY:\r\nx\r\n-----\r\n--------\r\n");
  const auto english = Run(SARNLINK_CLI_PATH, "C");
  EXPECT_NE((english.out + english.err).find(GetParam().english), std::string::npos)
      << english.out << english.err;
  EXPECT_TRUE(AllAscii(english.out + english.err)) << english.out << english.err;
  if (!HasJapaneseLocale()) {
    GTEST_SKIP() << "the ja_JP.UTF-8 locale is not installed (localedef -i ja_JP -f UTF-8 ...)";
  }
  const auto japanese = Run(SARNLINK_CLI_PATH, "ja_JP.UTF-8");
  EXPECT_NE((japanese.out + japanese.err).find(GetParam().japanese), std::string::npos)
      << japanese.out << japanese.err;
  // The same tool away from its catalogs speaks English, never a mix.
  const std::string alone = dir.File("sarnlink");
  std::filesystem::copy_file(SARNLINK_CLI_PATH, alone);
  const auto uncataloged = Run(alone, "ja_JP.UTF-8");
  EXPECT_TRUE(AllAscii(uncataloged.out + uncataloged.err)) << uncataloged.out << uncataloged.err;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Languages,
    ::testing::Values(LanguageCase{"Export", "export --db DB --out OUT --overwrite --author A",
                                   "32件のレコードをエクスポート完了。\nExport完了！",
                                   "32 records exported."},
                      LanguageCase{"Import", "import --allow-duplicates --db DB --in IN",
                                   "1件の日記をImport完了！", "1 diary entry imported!"},
                      LanguageCase{"DryRun", "import --dry-run --db DB --in IN", "ドライラン",
                                   "Dry run: 1 entry would be stored"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
