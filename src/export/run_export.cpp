#include "export/run_export.h"

#include <algorithm>
#include <optional>

#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "export/entry_date.h"
#include "export/entry_writer.h"
#include "export/export_files.h"
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

// A column's value as a name part: Null and empty are said, not left blank.
std::u16string Said(const FieldValue& value) {
  if (IsNull(value)) {
    return u"Null";
  }
  const std::u16string text = TextOrEmpty(value);
  return text.empty() ? u"(empty)" : text;
}

// The current row as the user finds it in the diary: "Day 2006/01/05, Number 3".
std::u16string RowDayAndNumber(DiaryRecordset& rows) {
  return u"Day " + Said(rows.Field(u"Day")) + u", Number " + Said(rows.Field(u"Number"));
}

// Which entry a failure happened at, in the diary's own terms.
std::string EntryName(DiaryRecordset& rows) {
  try {
    return ToUtf8(RowDayAndNumber(rows));
  } catch (const Error&) {
    return "an entry that cannot be read";  // the row itself is what failed
  }
}

// Gives a row whose own time cannot make its DATE a DATE from what it holds, and notes it.
void SupplyDate(DiaryRecordset& rows, bool with_day, const LocalTime& export_moment, ExportRow& row,
                std::vector<SuppliedDate>& supplied) {
  const FieldValue day = with_day ? row.Day : rows.Field(u"Day");
  const SuppliedMoment moment =
      SupplyMoment(row.PublishTime, day, rows.Field(u"ImportMark"), with_day, export_moment);
  row.Date = moment.date;
  const std::u16string day_number = RowDayAndNumber(rows);
  const std::string entry =
      ToUtf8(day_number) + ", Title \"" + ToUtf8(TextOrEmpty(rows.Field(u"Title"))) + "\"";
  supplied.push_back(SuppliedDate{entry, day_number, ToUtf8(*row.Date), moment.how});
}

// What the export shows in the progress window.
constexpr ShownText kExportTitle = ShownOne("MovableType Export", u"MovableType Export");
constexpr ShownText kNoEntryFound =
    ShownOne("No entry of the diary matches.", u"該当する日記がありません。");
constexpr ShownText kEntriesFound =
    ShownCount("{0} record found. Exporting it.", "{0} records found. Exporting them.",
               u"{0}件のレコードを取得。エクスポートします。");
constexpr ShownText kEntriesExported = ShownCount("{0} record exported.", "{0} records exported.",
                                                  u"{0}件のレコードをエクスポート完了。");
constexpr ShownText kNoEntryExported =
    ShownOne("No record (diary entry) matched.", u"該当するレコード(日記)がありませんでした。");
constexpr ShownText kExportDone = ShownOne("Export complete!", u"Export完了！");
constexpr ShownText kSuppliedDates =
    ShownCount("({0} entry was written with a date supplied: {1})",
               "({0} entries were written with a date supplied: {1})",
               u"（{0}件は日時を補って書きました：{1}）");
constexpr ShownText kNamesSeparator = ShownOne(", ", u"、");
constexpr ShownText kAndOthers = ShownOne("{1} and others", u"{1} ほか");

// The closing text's word on supplied dates: how many, and the first few by day and number.
std::u16string SuppliedDatesText(const std::vector<SuppliedDate>& supplied) {
  if (supplied.empty()) {
    return u"";
  }
  constexpr std::size_t kNamed = 3;
  std::u16string names;
  for (std::size_t k = 0; k < supplied.size() && k < kNamed; ++k) {
    names += (k > 0 ? Shown(kNamesSeparator) : u"") + supplied[k].day_number;
  }
  if (supplied.size() > kNamed) {
    names = Shown(kAndOthers, 0, {names});
  }
  return u"\r\n" + Shown(kSuppliedDates, static_cast<std::int64_t>(supplied.size()), {names});
}

OutputMode ModeOf(const ConverterState& state) {
  if (!state.WholeFiles) {
    return OutputMode::kNewInPlace;
  }
  return state.ReplaceExisting ? OutputMode::kReplaceWhole : OutputMode::kNewWhole;
}

}  // namespace

void RunExport(const ConverterState& state, const ConverterPorts& ports, ExportReport& report) {
  const ExportSetting& setting = state.Setting;
  const EntrySelection statement = SelectionOf(setting);
  const std::string file_name = PathBytes(state.FilePath);

  const LocalTime export_moment = ports.clock.Now();  // for a row with no moment of its own
  ProgressDisplay& progress = ports.progress;
  StartProgress(progress, Shown(kExportTitle));

  auto connection = ports.diary.Connect(state.DiaryMdbPath);
  auto counted = connection->OpenStatement(statement, CursorKind::kKeyset, LockKind::kReadOnly);
  const std::int32_t n = counted->RecordCount();
  if (n < 1) {
    progress.SetMessageText(Shown(kNoEntryFound));
  } else {
    progress.SetMaximum(n);
    progress.SetMessageText(Shown(kEntriesFound, n));
  }
  progress.Refresh();
  counted->Close();
  counted.reset();

  // The file is new: one left at the path (the direction changed after SetPath) is refused,
  // never cut; a whole file replaces the old one only once it is complete.
  const OutputMode mode = ModeOf(state);
  std::optional<ExportFiles> opened;
  try {
    opened.emplace(ports.files, state.DiaryMdbPath, state.FilePath, mode, state.MaxEntriesPerFile,
                   state.MaxBytesPerFile);
  } catch (const Error& e) {
    if (e.kind() == ErrorKind::kRefused) {
      throw;  // says itself why nothing was touched
    }
    throw e.WithContext("export to " + file_name + " failed before its first entry: ",
                        mode == OutputMode::kReplaceWhole
                            ? "; nothing was written: " + file_name + " is as it was"
                            : "; nothing was written: no file was made");
  }
  ExportFiles& files = *opened;
  const bool with_day = setting.intPublishDay == 1;
  std::string entry_bytes;  // one entry at a time, its buffer kept from entry to entry
  std::int64_t written = 0;
  std::unique_ptr<DiaryRecordset> rows;
  bool every_row_read = false;
  try {
    rows = connection->OpenStatement(statement, CursorKind::kForwardOnly, LockKind::kReadOnly);
    while (!rows->IsEOF()) {
      ThrowIfStopRequested(ports.stop, "the export");
      entry_bytes.clear();
      ExportRow row = ReadRow(*rows, with_day);
      if (!RowTimeIsWhole(row.PublishTime, row.Day, with_day)) {
        SupplyDate(*rows, with_day, export_moment, row, report.supplied_dates);
      }
      AppendEntryUtf8(row, state.Author, setting, state.LineEnd, entry_bytes);
      files.WriteEntry(std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(entry_bytes.data()), entry_bytes.size()));
      ++written;
      rows->MoveNext();
      // The bar's maximum is the first pass's count; more rows must not drive it past that.
      progress.SetValue(std::min(progress.Value() + 1, progress.Maximum()));
    }
    every_row_read = true;
    rows->Close();
    files.Close();
  } catch (const Error& e) {
    // Where it failed: at a row, or after the last one while the files were finished.
    std::string entry;
    if (every_row_read) {
      entry = "the end, after all " + CountOf(written, "entry", "entries") +
              ", while finishing the files";
    } else if (rows && !rows->IsEOF()) {
      entry = "the entry of " + EntryName(*rows);
    } else {
      entry = "entry " + std::to_string(written + 1);
    }
    const std::string abandon_error = files.Abandon();
    const std::string also =
        abandon_error.empty() ? "" : " (ending the file failed too: " + abandon_error + ")";
    const std::string holds = files.WhatThePathsHold();
    if (e.kind() == ErrorKind::kInterrupted) {
      throw Error(ErrorKind::kInterrupted,
                  "export to " + file_name + " stopped at " + entry + "; " + holds + also);
    }
    throw e.WithContext("export to " + file_name + " failed at " + entry + ": ",
                        "; " + holds + also);
  }
  report.files = files.written();
  connection.reset();

  // Every count shown is what the file holds, should the rows have changed since counted.
  const std::u16string closing =
      written > 0 ? Shown(kEntriesExported, written) : Shown(kNoEntryExported);
  progress.SetMessageText(closing + u"\r\n" + Shown(kExportDone) +
                          SuppliedDatesText(report.supplied_dates));
  progress.EnableOK(true);
}

}  // namespace sarnlink
