// sarnlink imports and undo-import: the import runs a diary holds, and taking one back.
#include <iostream>
#include <memory>
#include <set>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/posix_converter.h"
#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "import/import_runs.h"
#include "import/run_ledger.h"
#include "interface/diary_statements.h"

namespace sarnlink::cli {
namespace {

struct UndoOptions {
  std::string db;
  std::string stamp;
  bool dry_run = false;
  double wait = kDefaultWaitSeconds;
};

void RequireDiary(PosixFileSystem& files, const std::string& db) {
  if (!files.FileExists(PathFromBytes(db), true)) {
    throw Refusal(Fill(Say("no diary database at {0}"), {db}));
  }
}

int ListRuns(const std::string& db) {
  PosixFileSystem files;
  RequireDiary(files, db);
  DiaryByContent diary(ReadingDiary());
  auto connection = diary.Connect(PathFromBytes(db));
  const std::vector<ImportRun> runs = ListImportRuns(*connection);
  if (runs.empty()) {
    std::cerr << "sarnlink: " << Fill(Say("{0} holds no imported entries"), {db}) << "\n";
    return kExitDone;
  }
  std::cout << Say("entries\tfirst day\tlast day\tstamp") << "\n";
  const std::set<std::u16string> own = ToolRunStamps(*connection);
  std::vector<std::string> shared;
  for (const ImportRun& run : runs) {
    std::cout << run.rows << "\t" << ToUtf8(run.first_day) << "\t" << ToUtf8(run.last_day) << "\t"
              << ToUtf8(run.stamp) << "\n";
    if (own.count(run.stamp) == 0) {
      shared.push_back("\"" + ToUtf8(run.stamp) + "\"");
    }
  }
  if (!shared.empty()) {
    std::cerr << "sarnlink: "
              << Fill(SayN("the stamp {0} was not made by this tool's imports (the host's "
                           "component stamps to the second): it may cover more than one run",
                           "the stamps {0} were not made by this tool's imports (the host's "
                           "component stamps to the second): each may cover more than one run",
                           static_cast<std::int64_t>(shared.size())),
                      {CommaList(shared)})
              << "\n";
  }
  return kExitDone;
}

// Why an undo keeps rows, when it does.
std::string KeptRows(std::int64_t kept, bool dry_run) {
  if (kept == 0) {
    return "";
  }
  const std::string count = std::to_string(kept);
  return dry_run ? Fill(SayN("; {0} entry would be kept: a later import passed over an entry of "
                             "its file because this row already held it, so it would be stamped "
                             "as that import's",
                             "; {0} entries would be kept: a later import passed over an entry of "
                             "its file because these rows already held it, so they would be "
                             "stamped as that import's",
                             kept),
                        {count})
                 : Fill(SayN("; {0} entry is kept: a later import passed over an entry of its "
                             "file because this row already held it, so it is stamped as that "
                             "import's",
                             "; {0} entries are kept: a later import passed over an entry of its "
                             "file because these rows already held it, so they are stamped as "
                             "that import's",
                             kept),
                        {count});
}

// The run named by the stamp as given, or with the stamp's usual ending added.
ImportRun RunNamed(DiaryConnection& connection, const std::u16string& stamp) {
  ImportRun run = FindImportRun(connection, stamp);
  if (run.rows == 0 && !stamp.ends_with(kRunStampEnd)) {
    const ImportRun completed = FindImportRun(connection, stamp + kRunStampEnd);
    if (completed.rows > 0) {
      return completed;
    }
  }
  return run;
}

int UndoRun(const UndoOptions& options) {
  PosixConverter tool(false, options.db, options.wait);
  RequireDiary(tool.files, options.db);
  RefuseWritingJet(options.db);
  auto connection = tool.diary.Connect(PathFromBytes(options.db));
  // A failure or a stop before the commit rolls the deletion back, and says so.
  try {
    RunStoppable(tool.stop_signals, [&] {
      // The count shown and the rows deleted are read under one write lock.
      DiaryTransaction transaction(*connection);
      const ImportRun run = RunNamed(*connection, FromUtf8(options.stamp));
      if (run.rows == 0) {
        throw Refusal(
            Fill(Say("no entry of {0} is stamped \"{1}\" (sarnlink imports lists the stamps)"),
                 {options.db, options.stamp}));
      }
      if (ToolRunStamps(*connection).count(run.stamp) == 0) {
        std::cerr << "sarnlink: "
                  << Fill(Say("the stamp \"{0}\" was not made by this tool's imports (the host's "
                              "component stamps to the second): it may cover more than one run, "
                              "and all its rows go"),
                          {ToUtf8(run.stamp)})
                  << "\n";
      }
      // Worked out in the transaction: a dry run shows the counts and rolls it all back.
      const UndoneRun undone = UndoImportRun(*connection, run.stamp);
      if (undone.deleted + undone.kept != run.rows) {
        throw Error(
            ErrorKind::kDatabase,
            Fill(Say("the diary changed while the run was undone ({0} rows instead of {1})"),
                 {std::to_string(undone.deleted + undone.kept), std::to_string(run.rows)}));
      }
      const std::string what =
          Fill(SayN("{0} entry of the import \"{1}\" (days {2} to {3})",
                    "{0} entries of the import \"{1}\" (days {2} to {3})", undone.deleted),
               {std::to_string(undone.deleted), ToUtf8(run.stamp), ToUtf8(run.first_day),
                ToUtf8(run.last_day)});
      if (options.dry_run) {
        std::cout << Fill(Say("dry run: {0} would be deleted{1}; the diary was not changed"),
                          {what, KeptRows(undone.kept, true)})
                  << "\n";
        return;
      }
      ThrowIfStopRequested(&tool.stop_signals, "undo-import");
      transaction.Commit();
      std::cout << Fill(Say("deleted {0}{1}"), {what, KeptRows(undone.kept, false)}) << "\n";
    });
  } catch (const Error& e) {
    if (e.kind() == ErrorKind::kInterrupted) {
      throw Error(
          ErrorKind::kInterrupted,
          Fill(Say("nothing was deleted (undo-import of \"{0}\" was stopped)"), {options.stamp}));
    }
    throw e.WithContext(Fill(Say("undo-import of \"{0}\" failed: "), {options.stamp}),
                        Say("; nothing was deleted"));
  }
  return kExitDone;
}

}  // namespace

void AddWaitOption(CLI::App& command, double& seconds) {
  command
      .add_option("--wait", seconds,
                  "seconds to wait for another import into the same diary before giving up")
      ->check(Seconds())
      ->capture_default_str();
}

void AddImportRunsCommands(CLI::App& app, Action& action) {
  auto db = std::make_shared<std::string>();
  CLI::App* imports = app.add_subcommand("imports", "List the import runs the diary holds");
  imports->add_option("--db", *db, "the diary")->required()->check(NonEmptyPath());
  imports->footer(ExitStatusFooter({"sarnlink imports --db diary.db"}));
  imports->callback([&action, db] { action = [db] { return ListRuns(*db); }; });

  auto options = std::make_shared<UndoOptions>();
  CLI::App* undo = app.add_subcommand(
      "undo-import", "Delete the entries one import run stored (sarnlink imports lists the runs)");
  undo->add_option("--db", options->db, "the diary")->required()->check(NonEmptyPath());
  undo->footer(ExitStatusFooter(
      {"sarnlink undo-import --dry-run --db diary.db --stamp '2026/12/10 11:17:12 byPontivo.dll'",
       "sarnlink undo-import --db diary.db --stamp '2026/12/10 11:17:12 byPontivo.dll'"}));
  undo->add_option("--stamp", options->stamp, "the run's stamp, as sarnlink imports shows it")
      ->required();
  undo->add_flag("--dry-run", options->dry_run, "only show what would be deleted");
  AddWaitOption(*undo, options->wait);
  undo->callback([&action, options] { action = [options] { return UndoRun(*options); }; });
}

}  // namespace sarnlink::cli
