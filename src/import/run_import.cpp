#include "import/run_import.h"

#include "common/errors.h"
#include "common/text.h"
#include "encoding/import_text.h"
#include "encoding/utf8.h"
#include "import/entry_parser.h"
#include "import/entry_storage.h"

namespace sarnlink {

std::vector<std::u16string> CutIntoLines(std::u16string text) {
  char16_t separator = u'\r';
  if (text.find(u"\r\n") != std::u16string::npos) {
    text = ReplaceAll(text, u"\r\n", u"\n");
    separator = u'\n';
  } else if (text.find(u'\n') != std::u16string::npos) {
    separator = u'\n';
  }
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    if (end == std::u16string::npos) {
      lines.emplace_back(text, start);
      return lines;
    }
    lines.emplace_back(text, start, end - start);
    start = end + 1;
  }
}

std::u16string RunStamp(Clock& clock) {
  return clock.NowAsLocalText() + u" byPontivo.dll";
}

void RunImport(const ConverterState& state, const ConverterPorts& ports, ImportReport& report) {
  const std::string file_name = ToUtf8(state.FilePath);
  ProgressDisplay& progress = ports.progress;
  StartProgress(progress, u"MovableType Import");
  progress.Refresh();

  auto connection = ports.diary.Connect(state.DiaryMdbPath);
  report.dry_run = state.DryRun;
  EntryStorage storage(*connection, state, &report);
  std::size_t i = 0;
  bool in_line_loop = false;
  try {
    storage.LoadDayNumbers();

    if (ports.files.FileLength(state.FilePath) == 0) {
      throw Error(ErrorKind::kFile, "the file is empty");
    }
    std::vector<std::u16string> lines;
    {
      const Bytes buffer = ports.files.ReadWholeFile(state.FilePath);
      ImportText decoded = DecodeImportText(buffer, ports.code_page, state.ImportEncoding);
      report.encoding = decoded.encoding;
      report.invalid_bytes = InvalidBytesNote(decoded);
      lines = CutIntoLines(std::move(decoded.text));
    }

    const std::size_t last = lines.size() - 1;
    report.line_count = static_cast<std::int64_t>(lines.size());
    progress.SetMaximum(static_cast<double>(last));
    progress.SetMessageText(DecimalText(static_cast<std::int64_t>(last)) +
                            u"行のテキストをインポートします。");
    progress.Refresh();

    storage.SetRunStamp(RunStamp(ports.clock));
    storage.OpenEntryTable();
    EntryParser parser(storage, &report);
    in_line_loop = true;
    for (i = 0; i <= last; ++i) {
      parser.HandleLine(lines, i);
      progress.SetValue(static_cast<double>(i));
    }
    i = last;
    parser.Finish();  // a last entry without its "--------"
    in_line_loop = false;
    storage.Close();
  } catch (const Error& e) {
    const std::string at = in_line_loop ? " at line " + std::to_string(i + 1) : "";
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
