#include "export/run_export.h"

#include <algorithm>

#include "common/errors.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "export/entry_writer.h"
#include "export/selection_query.h"

namespace sarnlink {
namespace {

// A section's column: as the diary's UTF-8 when that survives decoding and encoding unchanged,
// else as its value.
void ReadSection(DiaryRecordset& rows, std::u16string_view name, FieldValue& value,
                 std::optional<std::string_view>& utf8) {
  std::string_view bytes;
  if (rows.FieldUtf8(name, bytes) &&
      IsVerbatimUTF8(std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))) {
    utf8 = bytes;
  } else {
    value = rows.Field(name);
  }
}

ExportRow ReadRow(DiaryRecordset& rows, bool with_day) {
  ExportRow row;
  row.Title = rows.Field(u"Title");
  row.Private = rows.Field(u"Private");
  row.Genre = rows.Field(u"Genre");
  row.PublishTime = rows.Field(u"PublishTime");
  if (with_day) {
    row.Day = rows.Field(u"Day");
  }
  ReadSection(rows, u"Contents", row.Contents, row.ContentsUtf8);
  ReadSection(rows, u"extend", row.extend, row.extendUtf8);
  ReadSection(rows, u"excerpt", row.excerpt, row.excerptUtf8);
  return row;
}

// Which entry a failure happened at, in the diary's own terms.
std::string EntryName(DiaryRecordset& rows) {
  try {
    return "Day " + ToUtf8(TextOrEmpty(rows.Field(u"Day"))) + ", Number " +
           ToUtf8(TextOrEmpty(rows.Field(u"Number")));
  } catch (const Error&) {
    return "an entry that cannot be read";  // the row itself is what failed
  }
}

}  // namespace

void RunExport(const ConverterState& state, const ConverterPorts& ports) {
  const ExportSetting& setting = state.Setting;
  const std::u16string statement = BuildSelectionStatement(setting);
  const std::string file_name = ToUtf8(state.FilePath);

  ProgressDisplay& progress = ports.progress;
  StartProgress(progress, u"MovableType Export");

  auto connection = ports.diary.Connect(state.DiaryMdbPath);
  auto counted = connection->OpenStatement(statement, CursorKind::kKeyset, LockKind::kReadOnly);
  const std::int32_t n = counted->RecordCount();
  std::u16string closing;
  if (n < 1) {
    progress.SetMessageText(u"該当する日記がありません。");
    closing = u"該当するレコード(日記)がありませんでした。";
  } else {
    progress.SetMaximum(n);
    progress.SetMessageText(DecimalText(n) + u"件のレコードを取得。エクスポートします。");
    closing = DecimalText(n) + u"件のレコードをエクスポート完了。";
  }
  progress.Refresh();
  counted->Close();
  counted.reset();

  // A file left at the path (the direction changed after SetPath) is cut to 0 bytes first.
  auto file = ports.files.CreateForWriting(state.FilePath);
  auto rows = connection->OpenStatement(statement, CursorKind::kForwardOnly, LockKind::kReadOnly);
  const bool with_day = setting.intPublishDay == 1;
  std::string entry_bytes;  // one entry at a time, its buffer kept from entry to entry
  std::int64_t written = 0;
  while (!rows->IsEOF()) {
    try {
      entry_bytes.clear();
      AppendEntryUtf8(ReadRow(*rows, with_day), state.Author, setting, state.LineEnd, entry_bytes);
      file->Write(std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(entry_bytes.data()), entry_bytes.size()));
    } catch (const Error& e) {
      // What was written stays written: flush it before the error goes on.
      const std::string entry = EntryName(*rows);
      std::string also;
      try {
        file->Close();
      } catch (const Error& close_error) {
        also = " (closing the file failed too: " + std::string(close_error.what()) + ")";
      }
      throw e.WithContext("export to " + file_name + " failed at the entry of " + entry + ": ",
                          "; " + CountOf(written, "entry was", "entries were") +
                              " written to the file before it" + also);
    }
    ++written;
    rows->MoveNext();
    // The bar's maximum is the first pass's count; more rows must not drive it past that.
    progress.SetValue(std::min(progress.Value() + 1, progress.Maximum()));
  }
  rows->Close();
  file->Close();
  connection.reset();

  progress.SetMessageText(closing + u"\r\nExport完了！");
  progress.EnableOK(true);
}

}  // namespace sarnlink
