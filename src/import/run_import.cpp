#include "import/run_import.h"

#include <optional>

#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/import_stream.h"
#include "encoding/import_text.h"
#include "encoding/utf8.h"
#include "import/duplicate_index.h"
#include "import/entry_parser.h"
#include "import/entry_storage.h"
#include "import/line_stream.h"
#include "import/run_ledger.h"
#include "interface/diary_statements.h"

namespace sarnlink {

namespace {

// The checking pass's sink: the entries are read and judged, and nothing is stored.
class CheckOnly : public EntrySink {
 public:
  void StoreEntry(DiaryEntry&&, const std::u16string&) override {}
};

bool StampInUse(DiaryConnection& connection, const std::u16string& stamp) {
  auto rows =
      connection.OpenStatement(StampUseQuery{stamp}, CursorKind::kForwardOnly, LockKind::kReadOnly);
  const bool used = !rows->IsEOF() && IsTrue(rows->Field(u"Used"));
  rows->Close();
  return used;
}

// The component's stamp is the platform's text for the moment. A stamp that must name one run
// alone is the moment in the diary's time form, with " #2", " #3", ... after it when a run of
// the same second is already in the diary (the caller holds the write lock, so none can come
// between the look and the rows).
std::u16string RunStampFor(const ConverterState& state, const ConverterPorts& ports,
                           DiaryConnection& connection, const LocalTime& moment) {
  if (!state.UniqueRunStamp) {
    return ports.clock.LocalText(moment) + kRunStampEnd;
  }
  const std::u16string time = DiaryTimeText(moment);
  for (int k = 1;; ++k) {
    const std::u16string stamp = time + (k == 1 ? u"" : u" #" + DecimalText(k)) + kRunStampEnd;
    if (!StampInUse(connection, stamp)) {
      return stamp;
    }
  }
}

// One pass over the file's lines through `parser`, a stop looked at before every line; with
// `progress`, the bar follows the last line consumed.
void ParseFile(InputFile& file, const StreamDecision& decision, const ConverterPorts& ports,
               const LineCount& count, EntryParser& parser, ProgressDisplay* progress) {
  file.Rewind();
  std::size_t i = 0;
  auto handle = [&](std::u16string_view line) {
    ThrowIfStopRequested(ports.stop, "the import");
    parser.HandleLine(line, i);
    if (progress && !parser.in_section()) {
      progress->SetValue(static_cast<double>(i));
    }
    ++i;
  };
  LineCutter cutter(count);
  DecodeInPieces(file, decision, ports.code_page,
                 [&](std::u16string_view text) { cutter.Feed(text, handle); });
  cutter.Finish(handle);
  parser.Finish();  // a section left open, or a last entry without its "--------"
}

// What the import shows in the progress window.
constexpr ShownText kImportTitle = ShownOne("MovableType Import", u"MovableType Import");
constexpr ShownText kLinesToImport =
    ShownCount("Importing {0} line of text.", "Importing {0} lines of text.",
               u"{0}行のテキストをインポートします。");
constexpr ShownText kEntriesImported = ShownCount(
    "{0} diary entry imported!", "{0} diary entries imported!", u"{0}件の日記をImport完了！");
constexpr ShownText kDryRun =
    ShownCount("Dry run: {0} entry would be stored; the diary was not written.",
               "Dry run: {0} entries would be stored; the diary was not written.", nullptr);
constexpr ShownText kReplacements =
    ShownCount("({0} place that could not be read now holds U+FFFD; the first is on line {1})",
               "({0} places that could not be read now hold U+FFFD; the first is on line {1})",
               u"（読めなかった{0}箇所をU+FFFDに置き換えました。最初は{1}行目）");

// The closing text's word on what could not be read, which the progress window shows in every
// front end: how many places now hold U+FFFD and the line of the first.
std::u16string ReplacementsText(const Replacements& replaced) {
  if (replaced.count == 0) {
    return u"";
  }
  return u"\r\n" + Shown(kReplacements, static_cast<std::int64_t>(replaced.count),
                         {DecimalText(replaced.first_line)});
}

}  // namespace

// The file is read in pieces, three times, so that memory holds a piece and an entry whatever
// the file's size: the first pass decides the encoding, decodes everything once (a conversion
// failure stops the run there) and counts the lines; the second parses every entry, so that a
// bad DATE or an unclosed section anywhere stops the run before any row is written, and learns
// which clock the file's DATEs follow; the third parses again and stores.
void RunImport(const ConverterState& state, const ConverterPorts& ports, ImportReport& report) {
  const std::string file_name = PathBytes(state.FilePath);
  ProgressDisplay& progress = ports.progress;
  StartProgress(progress, Shown(kImportTitle));
  progress.Refresh();

  auto connection = ports.diary.Connect(state.DiaryMdbPath);
  report.dry_run = state.DryRun;
  // One moment for the stamp and for the entries that carry no DATE.
  const LocalTime moment = ports.clock.Now();
  ParseRules rules;
  rules.undated_time = DiaryTimeText(moment);
  report.undated_time = rules.undated_time;
  EntryStorage storage(*connection, state, &report);
  std::optional<DiaryTransaction> transaction;
  std::optional<std::size_t> failed_line;  // from 1, when a pass over the lines failed
  Replacements replaced;
  // One pass over the lines; a failure in it keeps the line it belongs to.
  auto parse = [&](InputFile& file, const StreamDecision& decision, const LineCount& count,
                   EntryParser& parser, ProgressDisplay* shown) {
    try {
      ParseFile(file, decision, ports, count, parser, shown);
    } catch (const Error&) {
      failed_line = parser.failure_index() + 1;
      throw;
    }
  };
  try {
    if (state.OneTransaction && !state.DryRun) {
      // Taken first, so that the numbers and the duplicates are read from the diary this run
      // writes to: a second import waits here until the first has committed.
      transaction.emplace(*connection);
    }
    storage.LoadDayNumbers();

    const std::int64_t length = ports.files.FileLength(state.FilePath);
    if (length == 0) {
      throw Error(ErrorKind::kFile, "the file is empty");
    }
    auto file = ports.files.OpenForReading(state.FilePath);
    const StreamDecision decision =
        DecideImportEncoding(*file, static_cast<std::uint64_t>(length), state.ImportEncoding);
    report.encoding = decision.encoding;
    LineCount count;
    replaced = DecodeInPieces(*file, decision, ports.code_page,
                              [&count](std::u16string_view text) { count.Feed(text); });
    report.invalid_bytes = ReplacementsNote(decision.encoding, replaced);
    report.encoding_doubt = EncodingDoubt(*file, static_cast<std::uint64_t>(length),
                                          state.ImportEncoding.has_value(), decision, replaced);

    {  // the checker and the last entry it read go before the storing pass
      CheckOnly check_only;
      EntryParser checker(check_only, &report, rules);
      parse(*file, decision, count, checker, nullptr);
      report.twelve_am_from_file = checker.saw_zero_hour_with_marker();
    }
    rules.twelve_am_is_noon = state.TwelveAmIsNoon.value_or(report.twelve_am_from_file);
    report.twelve_am_is_noon = rules.twelve_am_is_noon;
    report.twelve_am_as_asked = state.TwelveAmIsNoon.has_value();

    // One count of lines for the announcement and the summary; the bar goes by the index of
    // the last line, which follows the last separator.
    report.line_count = static_cast<std::int64_t>(count.lines());
    progress.SetMaximum(static_cast<double>(count.separators()));
    progress.SetMessageText(Shown(kLinesToImport, report.line_count));
    progress.Refresh();

    report.run_stamp = RunStampFor(state, ports, *connection, moment);
    storage.SetRunStamp(report.run_stamp);
    if (state.UniqueRunStamp && !state.DryRun) {
      RecordToolRun(*connection, report.run_stamp);  // in the run's transaction
    }
    std::optional<DuplicateIndex> duplicates;
    if (state.SkipDuplicates) {
      duplicates.emplace(*connection, state.UniqueRunStamp ? report.run_stamp : u"");
      storage.SetDuplicateIndex(&*duplicates);
    }
    storage.OpenEntryTable();
    EntryParser parser(storage, nullptr, rules);
    parse(*file, decision, count, parser, &progress);
    storage.Close();
    if (transaction) {
      transaction->Commit();
    }
  } catch (const Error& e) {
    const std::string at = failed_line ? " at line " + std::to_string(*failed_line) : "";
    std::string kept;
    if (state.DryRun) {
      kept = "nothing was written (a dry run)";
    } else if (transaction || storage.stored_count() == 0) {
      kept = "nothing was stored";
    } else {
      kept = CountOf(storage.stored_count(), "entry was", "entries were") + " stored before it";
    }
    transaction.reset();  // rolled back before anyone is told
    if (e.kind() == ErrorKind::kInterrupted) {
      throw Error(ErrorKind::kInterrupted,
                  kept + " (the import of " + file_name + " was stopped" + at + ")");
    }
    throw e.WithContext("import of " + file_name + " failed" + at + ": ", "; " + kept);
  }
  connection.reset();
  if (state.DryRun) {
    progress.SetMessageText(u"\r\n" + Shown(kDryRun, storage.stored_count()));
  } else {
    progress.SetMessageText(u"\r\n" + Shown(kEntriesImported, storage.stored_count()) +
                            ReplacementsText(replaced));
  }
  progress.EnableOK(true);
}

}  // namespace sarnlink
