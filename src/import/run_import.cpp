#include "import/run_import.h"

#include "common/errors.h"
#include "common/text.h"
#include "encoding/import_stream.h"
#include "encoding/import_text.h"
#include "encoding/utf8.h"
#include "import/entry_parser.h"
#include "import/entry_storage.h"
#include "import/line_stream.h"

namespace sarnlink {

std::vector<std::u16string> CutIntoLines(std::u16string text) {
  LineCount count;
  count.Feed(text);
  LineCutter cutter(count);
  std::vector<std::u16string> lines;
  auto keep = [&lines](std::u16string_view line) { lines.emplace_back(line); };
  cutter.Feed(text, keep);
  cutter.Finish(keep);
  return lines;
}

std::u16string RunStamp(Clock& clock) {
  return clock.NowAsLocalText() + u" byPontivo.dll";
}

// The file is read in pieces, twice: the first pass decides the encoding, decodes everything
// once (so that a conversion failure stops the run before anything is stored) and counts the
// lines to announce; the second decodes again, cuts the lines and hands them to the parser. So
// memory holds a piece and an entry, whatever the file's size.
void RunImport(const ConverterState& state, const ConverterPorts& ports, ImportReport& report) {
  const std::string file_name = ToUtf8(state.FilePath);
  ProgressDisplay& progress = ports.progress;
  StartProgress(progress, u"MovableType Import");
  progress.Refresh();

  auto connection = ports.diary.Connect(state.DiaryMdbPath);
  report.dry_run = state.DryRun;
  EntryStorage storage(*connection, state, &report);
  EntryParser parser(storage, &report);
  bool in_line_loop = false;
  try {
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
    const InvalidBytes invalid = DecodeInPieces(
        *file, decision, ports.code_page, [&count](std::u16string_view text) { count.Feed(text); });
    if (invalid.count > 0) {
      report.invalid_bytes = InvalidBytesNote(invalid.count, decision.replace_invalid,
                                              LineOfByte(*file, invalid.first_offset));
    }
    file->Rewind();

    const std::size_t last = count.separators();
    report.line_count = static_cast<std::int64_t>(last) + 1;
    progress.SetMaximum(static_cast<double>(last));
    progress.SetMessageText(DecimalText(static_cast<std::int64_t>(last)) +
                            u"行のテキストをインポートします。");
    progress.Refresh();

    storage.SetRunStamp(RunStamp(ports.clock));
    storage.OpenEntryTable();
    in_line_loop = true;
    std::size_t i = 0;
    auto handle = [&](std::u16string_view line) {
      parser.HandleLine(line, i);
      if (!parser.in_section()) {
        progress.SetValue(static_cast<double>(i));  // the last line consumed
      }
      ++i;
    };
    LineCutter cutter(count);
    DecodeInPieces(*file, decision, ports.code_page,
                   [&](std::u16string_view text) { cutter.Feed(text, handle); });
    cutter.Finish(handle);
    parser.Finish();  // a section left open, or a last entry without its "--------"
    in_line_loop = false;
    storage.Close();
  } catch (const Error& e) {
    const std::string at =
        in_line_loop ? " at line " + std::to_string(parser.failure_index() + 1) : "";
    throw e.WithContext(
        "import of " + file_name + " failed" + at + ": ",
        "; " + CountOf(storage.stored_count(), "entry was", "entries were") + " stored before it");
  }
  connection.reset();
  if (state.DryRun) {
    progress.SetMessageText(u"\r\nDry run: " +
                            FromUtf8(CountOf(storage.stored_count(), "entry", "entries")) +
                            u" would be stored; the diary was not written.");
  } else {
    progress.SetMessageText(u"\r\n" + DecimalText(storage.stored_count()) +
                            u"件の日記をImport完了！");
  }
  progress.EnableOK(true);
}

}  // namespace sarnlink
