// sarnlink copy: every row of a diary (the host's Jet diary or an SQLite one) into a new SQLite
// diary, each column exactly as it is.
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/diary_by_content.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/posix_converter.h"
#include "cli/stop_signals.h"
#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "import/run_ledger.h"
#include "interface/diary_statements.h"
#include "interface/posix/posix_file_system.h"

namespace sarnlink::cli {
namespace {

struct CopyOptions {
  std::string from;
  std::string to;
};

bool IsDiaryColumn(const std::u16string& name) {
  for (const char16_t* column : kDiaryColumns) {
    if (SameColumnName(name, column)) {
      return true;
    }
  }
  return false;
}

std::string Joined(const std::vector<std::u16string>& names) {
  std::string text;
  for (const std::u16string& name : names) {
    text += (text.empty() ? "" : ", ") + ToUtf8(name);
  }
  return text;
}

// The new diary is made under a temporary name beside `to` and put there only when every row
// is in it; until then, and after any failure or stop, nothing stands at `to`.
class NewDiaryFile {
 public:
  explicit NewDiaryFile(std::string to)
      : to_(std::move(to)), temp_(to_ + ".copying-" + std::to_string(::getpid())) {
    Remove();
    CreateEmptyDiary(temp_);
  }
  ~NewDiaryFile() {
    if (!placed_) {
      Remove();
    }
  }
  const std::string& path() const { return temp_; }

  void Place() {
    PlaceWithoutReplacing(temp_, to_, " appeared while the copy ran; it was not replaced");
    placed_ = true;
    const std::size_t slash = to_.find_last_of('/');
    SyncFolder(slash == std::string::npos ? "." : slash == 0 ? "/" : to_.substr(0, slash));
  }

 private:
  void Remove() const {
    for (const char* end : {"", "-wal", "-shm", "-journal"}) {
      ::unlink((temp_ + end).c_str());
    }
  }

  std::string to_;
  std::string temp_;
  bool placed_ = false;
};

int Copy(const CopyOptions& options) {
  struct stat info;
  if (::lstat(options.to.c_str(), &info) == 0) {
    throw Refusal(Fill(Say("{0} already exists; copy makes a new diary and never replaces a file"),
                       {options.to}));
  }
  PosixFileSystem files;
  if (!files.FileExists(PathFromBytes(options.from), true)) {
    throw Refusal(Fill(Say("no diary database at {0}"), {options.from}));
  }
  StopSignals stop;
  DiaryByContent source_diary(ReadingDiary());
  auto source = source_diary.Connect(PathFromBytes(options.from));
  std::int64_t copied = 0;
  std::vector<std::u16string> left_out;
  std::vector<std::u16string> missing;
  try {
    RunStoppable(stop, [&] {
      NewDiaryFile target(options.to);
      SqliteDiaryDatabase target_diary;
      auto connection = target_diary.Connect(PathFromBytes(target.path()));
      auto rows =
          source->OpenStatement(EveryRowQuery{}, CursorKind::kForwardOnly, LockKind::kReadOnly);
      const std::vector<std::u16string> names = rows->ColumnNames();
      std::vector<std::u16string> copied_columns;
      for (const std::u16string& name : names) {
        (IsDiaryColumn(name) ? copied_columns : left_out).push_back(name);
      }
      for (const char16_t* column : kDiaryColumns) {
        bool found = false;
        for (const std::u16string& name : names) {
          found = found || SameColumnName(name, column);
        }
        if (!found) {
          missing.emplace_back(column);
        }
      }
      DiaryTransaction transaction(*connection);
      auto table = connection->OpenTable(kEntryTable, CursorKind::kKeyset, LockKind::kOptimistic);
      while (!rows->IsEOF()) {
        ThrowIfStopRequested(&stop, "the copy");
        table->AddNew();
        for (const std::u16string& column : copied_columns) {
          table->Assign(column, rows->Field(column));
        }
        table->Update();
        ++copied;
        rows->MoveNext();
      }
      rows->Close();
      table->Close();
      CopyToolRecords(*source, *connection);  // which runs passed over which rows
      transaction.Commit();
      // Closed, statements first, so that the engine folds its log into the file.
      table.reset();
      connection.reset();
      target.Place();
    });
  } catch (const Error& e) {
    const std::string kept = Fill(Say("; no diary was made at {0}"), {options.to});
    if (e.kind() == ErrorKind::kInterrupted) {
      throw Error(ErrorKind::kInterrupted, Say("the copy was stopped") + kept);
    }
    throw e.WithContext(Fill(SayN("copy of {0} failed after {1} entry: ",
                                  "copy of {0} failed after {1} entries: ", copied),
                             {options.from, std::to_string(copied)}),
                        kept);
  }
  if (!left_out.empty()) {
    std::cerr << "sarnlink: "
              << Fill(Say("{0} has columns the diary has no place for, which were not copied: {1}"),
                      {options.from, Joined(left_out)})
              << "\n";
  }
  if (!missing.empty()) {
    std::cerr << "sarnlink: "
              << Fill(Say("{0} has no columns {1}; they are Null in the copy"),
                      {options.from, Joined(missing)})
              << "\n";
  }
  std::cout << Fill(SayN("copied {0} entry from {1} into the new diary {2}",
                         "copied {0} entries from {1} into the new diary {2}", copied),
                    {std::to_string(copied), options.from, options.to})
            << "\n";
  return kExitDone;
}

}  // namespace

void AddCopyCommand(CLI::App& app, Action& action) {
  auto options = std::make_shared<CopyOptions>();
  CLI::App* copy = app.add_subcommand(
      "copy", "Copy every entry of a diary (Jet or SQLite) into a new SQLite diary");
  copy->add_option("--from", options->from, "the diary to copy: the host's .mdb or an SQLite one")
      ->required()
      ->check(NonEmptyPath());
  copy->add_option("--to", options->to, "the new SQLite diary; must not exist")
      ->required()
      ->check(NonEmptyPath());
  copy->footer(ExitStatusFooter({"sarnlink copy --from diary.mdb --to diary.db"}));
  copy->callback([&action, options] { action = [options] { return Copy(*options); }; });
}

}  // namespace sarnlink::cli
