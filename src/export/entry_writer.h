// The 23-line MovableType entry block as the export writes it, and its pieces: the DATE value
// and the section texts.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "interface/diary_database.h"
#include "interface/export_setting.h"

namespace sarnlink {

// The columns of one selected row that an entry is written from.
struct ExportRow {
  FieldValue Title;
  FieldValue Private;
  FieldValue Genre;
  FieldValue PublishTime;
  FieldValue Day;
  FieldValue Contents;
  FieldValue extend;
  FieldValue excerpt;
  // The DATE value, when the driver supplied it because the row's own time could not give it
  // (see entry_date.h); otherwise it is made from PublishTime and Day.
  std::optional<std::u16string> Date;
  // A section's column as the diary keeps it in UTF-8 (seen in place, while its row is
  // current), when that UTF-8 decodes and encodes back to itself (IsVerbatimUTF8): the export
  // then writes it without a detour through UTF-16, and the FieldValue beside it is not read.
  std::optional<std::string_view> ContentsUtf8;
  std::optional<std::string_view> extendUtf8;
  std::optional<std::string_view> excerptUtf8;
};

// The DATE value for time text `t` and day text `d` (empty: the day comes from `t`), on the
// 12-hour clock blog software reads: hour 00 is 12 AM, 01-11 AM, 12 PM, 13-23 01-11 PM. Only
// fixed positions are read; an hour that is not a number (empty when `t` is shorter than 12
// units) throws a format error.
std::u16string FormatMTDate(std::u16string_view t, std::u16string_view d);

// A section's text as the physical lines of the file: every line break of the text (CR LF, or a
// lone CR or LF) becomes `line_end`, and a line that would read as a separator ("-----" or
// "--------", perhaps with TABs after it) gets one TAB more, which the reader removes again. No
// line end follows the last line. In an entry the text is converted first: a Null column is empty;
// with intBR nonzero every CR LF becomes "<BR>"; with intHyphen 1 every "-" becomes "－".
std::u16string SectionLines(std::u16string_view text, std::u16string_view line_end);

// A key line's value: Null is empty; every CR LF, CR or LF becomes one space, so a value can
// neither break its key line nor forge a separator.
std::u16string KeyLineValue(const FieldValue& value);

inline constexpr std::size_t kEntryLineCount = 23;

// The 23 lines of one entry, each ending in `line_end` (CR LF, or LF for readers that split on
// LF). Without a supplied Date, a Null PublishTime (or a Null Day with intPublishDay 1) throws
// a format error.
std::array<std::u16string, kEntryLineCount> EntryLines(const ExportRow& row,
                                                       const std::u16string& author,
                                                       const ExportSetting& setting,
                                                       std::u16string_view line_end = u"\r\n");

// The same 23 lines as UTF-8 bytes, appended to `bytes` (the export writes each entry in one
// piece): exactly the encoding of EntryLines's lines.
void AppendEntryUtf8(const ExportRow& row, const std::u16string& author,
                     const ExportSetting& setting, std::u16string_view line_end,
                     std::string& bytes);

}  // namespace sarnlink
