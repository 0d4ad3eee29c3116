// The converter object wired to the POSIX adapters: the SQLite diary (or a Jet diary, read only),
// POSIX files, iconv, the terminal forms. The tool drives it exactly as the host drives the COM
// object, with the tool's own guarantees on: whole export files, the import in one transaction,
// duplicates passed over, a stamp of its own for every run.
#pragma once

#include <unistd.h>
#include <iostream>

#include "cli/diary_by_content.h"
#include "cli/stop_signals.h"
#include "common/posix/posix_clock.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "interface/cls_mt_export.h"
#include "interface/posix/posix_file_system.h"
#include "interface/sqlite/sqlite_diary.h"
#include "ui/terminal/terminal_author_prompt.h"
#include "ui/terminal/terminal_options_form.h"
#include "ui/terminal/terminal_progress.h"

namespace sarnlink::cli {

// The diary of a command that only reads it: opened read only, with its note on stderr.
inline SqliteOptions ReadingDiary() {
  SqliteOptions options;
  options.read_only = true;
  options.note = [](const std::string& note) { std::cerr << "sarnlink: " << note << "\n"; };
  return options;
}

struct PosixConverter {
  // `wait_seconds`: how long a write waits for another import into the same diary.
  // `results_on_stderr`: the closing message goes to stderr (standard output carries a file).
  // `read_only`: the command only reads the diary.
  explicit PosixConverter(bool quiet, const std::string& db = "", double wait_seconds = 5,
                          bool results_on_stderr = false, bool read_only = false)
      : diary(SqliteOptions{
            SqliteWaiting{
                wait_seconds,
                [db] { std::cerr << "sarnlink: waiting for another import into " << db << "\n"; },
                &stop_signals},
            read_only, ReadingDiary().note}),
        progress(std::cerr, results_on_stderr ? std::cerr : std::cout, quiet,
                 ::isatty(STDERR_FILENO) == 1) {
    converter.SetToolGuarantees(true);
  }

  StopSignals stop_signals;
  PosixFileSystem files;
  DiaryByContent diary;
  TerminalProgress progress;
  TerminalQuestions questions{std::cin, std::cerr};
  PosixClock clock;
  TerminalOptionsForm options_form{diary, questions, clock};
  TerminalAuthorPrompt author_prompt{questions};
  IconvCodePage932 code_page;
  clsMTExport converter{ConverterPorts{files, diary, progress, options_form, author_prompt, clock,
                                       code_page, &stop_signals}};
};

}  // namespace sarnlink::cli
