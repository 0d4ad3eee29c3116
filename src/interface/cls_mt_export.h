// clsMTExport: the converter object through which the host drives every conversion. It holds
// the host's choices between calls, makes the checks on the paths itself, and hands the work to
// the export or import driver. The COM class and the command-line tool both wrap this object.
#pragma once

#include <string>

#include <optional>

#include "common/clock.h"
#include "common/stop_request.h"
#include "encoding/code_page_932.h"
#include "encoding/import_text.h"
#include "export/export_files.h"
#include "import/import_report.h"
#include "interface/diary_database.h"
#include "interface/export_setting.h"
#include "interface/file_system.h"
#include "ui/author_prompt.h"
#include "ui/options_form.h"
#include "ui/progress_display.h"

namespace sarnlink {

// The converter's fields, read by both drivers and changed only by the methods.
struct ConverterState {
  std::u16string FilePath;      // the MovableType file to write or read
  bool ImportMode = false;      // true: Execute imports; false: it exports
  std::u16string DiaryMdbPath;  // the diary database
  std::u16string Author;        // written into every exported entry; the import's filter
  bool AuthorOnly = false;      // import only entries whose author equals Author
  ExportSetting Setting;        // the export options in force (all zero on a new object)

  // Choices only the command-line tool offers; the COM object keeps these defaults.
  std::u16string LineEnd = u"\r\n";            // the export's line end: CR LF, or LF
  std::optional<TextEncoding> ImportEncoding;  // read the import in this encoding, no guessing
  bool DryRun = false;                         // import: read and count, write no row
  // The export's file appears only whole (temporary file, flush, rename); SetPath's OverWrite
  // then deletes nothing and lets the finished file replace the old one.
  bool WholeFiles = false;
  bool ReplaceExisting = false;  // SetPath's OverWrite, kept for a whole file
  // The import is one transaction: every entry or none, the diary's write lock held throughout.
  bool OneTransaction = false;
  bool SkipDuplicates = false;  // pass over entries the diary already holds
  bool UniqueRunStamp = false;  // the run stamp names this run alone
  // How "12:mm AM" reads: as the user said (noon or midnight), or, when nothing was said, as the
  // file's evidence says (noon in a file that writes midnight as "00:mm AM", as the earlier
  // exporter did; else midnight).
  std::optional<bool> TwelveAmIsNoon;
  // Limits of one export file (0: none): more entries go to NAME-2.txt, NAME-3.txt, ...
  std::int64_t MaxEntriesPerFile = 0;
  std::uint64_t MaxBytesPerFile = 0;
};

// What the converter and its drivers reach the outside world through.
struct ConverterPorts {
  FileSystem& files;
  DiaryDatabase& diary;
  ProgressDisplay& progress;
  OptionsForm& options_form;
  AuthorPrompt& author_prompt;
  Clock& clock;
  const CodePage932& code_page;
  const StopRequest* stop = nullptr;  // asks a run to stop (Ctrl-C); none in the component
};

class clsMTExport {
 public:
  explicit clsMTExport(const ConverterPorts& ports) : ports_(ports) {}

  // Stores the path, restores the default settings and clears AuthorOnly. True only when the
  // path names a file (read-only files count).
  bool Initialize(const std::u16string& stDiaryMdbPath);
  void SetImport();
  void SetExport();
  // A name selects that author only; the empty name selects everyone, as "Default".
  void SetAuthor(const std::u16string& stAuthor);
  // Asks the user through the author prompt; false when the question was cancelled.
  bool SetAuthorMySelf();
  void setExportSetting(const ExportSetting& eExpSet);
  // Shows the options form; on OK copies its choices into Setting and Author. False (and
  // nothing changed) when the form was cancelled or closed.
  bool SetExportSettingMySelf();
  // Stores and checks the text file: for an import it must exist; for an export none may
  // remain (with OverWrite an existing one is deleted at once). False empties FilePath. An
  // export path that names the diary (or its journal files), or a database file to be deleted,
  // is refused with an error, and nothing is deleted.
  bool SetPath(const std::u16string& stFilePath, bool OverWrite = false);
  // Runs the driver of the chosen direction when both paths are set. Always false.
  bool Execute();

  const ConverterState& state() const { return state_; }
  // The command-line tool's own choices; the COM object never calls these.
  void SetLineEnd(std::u16string line_end) { state_.LineEnd = std::move(line_end); }
  void SetImportEncoding(std::optional<TextEncoding> encoding) { state_.ImportEncoding = encoding; }
  void SetDryRun(bool dry_run) { state_.DryRun = dry_run; }
  // The guarantees the command-line tool gives beyond the component: whole export files, the
  // import in one transaction, duplicates passed over, a stamp of its own for every run.
  void SetToolGuarantees(bool on) {
    state_.WholeFiles = state_.OneTransaction = state_.UniqueRunStamp = on;
    state_.SkipDuplicates = on;
  }
  void SetSkipDuplicates(bool skip) { state_.SkipDuplicates = skip; }
  void SetTwelveAmIsNoon(std::optional<bool> noon) { state_.TwelveAmIsNoon = noon; }
  void SetPieceLimits(std::int64_t max_entries, std::uint64_t max_bytes) {
    state_.MaxEntriesPerFile = max_entries;
    state_.MaxBytesPerFile = max_bytes;
  }
  // What the latest import met beyond the rows it stored (filled as far as the run got).
  const ImportReport& import_report() const { return import_report_; }
  // The files the latest export wrote.
  const ExportReport& export_report() const { return export_report_; }

 private:
  ConverterState state_;        // the host's choices
  ImportReport import_report_;  // the latest import's report
  ExportReport export_report_;  // the latest export's files
  ConverterPorts ports_;        // the outside world
};

}  // namespace sarnlink
