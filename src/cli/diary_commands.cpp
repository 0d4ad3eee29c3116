// sarnlink init, genres and version.
#include <sys/stat.h>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/posix_converter.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/version.h"
#include "encoding/utf8.h"
#include "interface/information.h"
#include "interface/posix/posix_file_system.h"
#include "interface/sqlite/sqlite_diary.h"
#include "ui/options_form.h"

namespace sarnlink::cli {

void AddDiaryCommands(CLI::App& app, Action& action) {
  auto db = std::make_shared<std::string>();

  CLI::App* init = app.add_subcommand("init", "Create an empty diary");
  init->add_option("--db", *db, "the diary file to create")->required()->check(NonEmptyPath());
  init->footer(ExitStatusFooter({"sarnlink init --db diary.db"}));
  init->callback([&action, db] {
    action = [db] {
      struct stat info;
      if (::lstat(db->c_str(), &info) == 0) {
        throw Refusal(Fill(Say("{0} already exists; init never replaces a file"), {*db}));
      }
      CreateEmptyDiary(*db);
      std::cout << Fill(Say("created an empty diary at {0}"), {*db}) << "\n";
      return int{kExitDone};
    };
  });

  CLI::App* genres = app.add_subcommand("genres", "List the genres the options form offers");
  genres->add_option("--db", *db, "the diary")->required()->check(NonEmptyPath());
  genres->footer(ExitStatusFooter({"sarnlink genres --db diary.db"}));
  genres->callback([&action, db] {
    action = [db] {
      PosixFileSystem files;
      if (!files.FileExists(PathFromBytes(*db), true)) {
        throw Refusal(Fill(Say("no diary database at {0}"), {*db}));
      }
      DiaryByContent diary(ReadingDiary());
      for (const std::u16string& genre : FillGenreList(diary, PathFromBytes(*db))) {
        std::cout << ToUtf8(genre) << "\n";
      }
      return int{kExitDone};
    };
  });

  CLI::App* version = app.add_subcommand("version", "Print the component's version");
  version->footer(ExitStatusFooter({"sarnlink version", "sarnlink --version"}));
  version->callback([&action] {
    action = [] {
      const Information information;
      std::cout << kVersionText << "\n"
                << "major " << information.GetVersionMajor() << "\n"
                << "minor " << information.GetVersionMinor() << "\n"
                << "revision " << information.GetVersionRevision() << "\n";
      return int{kExitDone};
    };
  });
}

}  // namespace sarnlink::cli
