// The entry parser: walks the import's lines once, filling one DiaryEntry at a time from key
// lines and sections, and hands each entry to the storage at its "--------" line (or, for the
// last entry of a file that lacks one, at the end of the lines).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "import/diary_entry.h"
#include "import/import_report.h"

namespace sarnlink {

// A DATE value as the diary's "YYYY/MM/DD hh:mm:ss", in the forms blog software writes:
// - M/D/YYYY h:m:s with one or two digits for each of month, day, hour, minute and second and an
//   optional AM or PM in any letter case (12 AM is hour 00, PM adds 12 to an hour below 12);
//   without a marker the hour is read on the 24-hour clock;
// - YYYY-MM-DD hh:mm:ss and YYYY/MM/DD hh:mm:ss on the 24-hour clock.
// Any other form, a two-digit year, or a field out of range (a day the month does not have, an
// hour above 12 with a marker or above 23 without, a minute or second above 59) throws a format
// error that quotes the value.
// With `twelve_am_is_noon` the value follows the earlier export's clock instead, which wrote
// every hour up to 12 with AM: "12:mm AM" is then 12:mm and "00:mm AM" 00:mm.
// `zero_hour_with_marker`, when given, is set to whether the value has hour 0 with an AM or PM
// marker: no 12-hour clock writes that, but the earlier export did for midnight, so a file
// holding one follows that export's clock.
std::u16string ParseMTDate(std::u16string_view value, bool twelve_am_is_noon = false,
                           bool* zero_hour_with_marker = nullptr);

// How the parser reads what a file leaves open.
struct ParseRules {
  bool twelve_am_is_noon = false;  // see ParseMTDate
  // The Day and PublishTime of an entry without a DATE line ("yyyy/mm/dd hh:nn:ss"); empty
  // leaves both empty.
  std::u16string undated_time;
};

class EntryParser {
 public:
  // `report`, when given, receives what the file holds beyond the stored entries.
  explicit EntryParser(EntrySink& sink, ImportReport* report = nullptr, ParseRules rules = {})
      : sink_(sink), report_(report), rules_(std::move(rules)) {}

  // Handles the line at `index` (from 0); lines come one at a time, in order. A section heading
  // makes the lines up to its closing "-----" the section's. Throws a format error for a DATE
  // that is not a date, and whatever the storage throws at an entry end.
  void HandleLine(std::u16string_view line, std::size_t index);

  // Whether the lines handled so far end inside a section (its closing "-----" still to come).
  bool in_section() const { return section_ != Section::kNone; }

  // After the last line: a section still open throws an out-of-range error naming its heading;
  // an entry that has a TITLE, a DATE or a text section but no closing "--------" is stored as
  // if the line followed; stray key lines alone store nothing.
  void Finish();

  // The index of the line a failure belongs to: the heading of the open section, else the line
  // handled last.
  std::size_t failure_index() const { return in_section() ? section_heading_index_ : index_; }

  // Whether a DATE met so far has the earlier export's zero hour with a marker.
  bool saw_zero_hour_with_marker() const { return saw_zero_hour_with_marker_; }

 private:
  enum class Section { kNone, kBody, kExtended, kExcerpt, kComment, kKeywords, kPing };

  void HandleKeyLine(std::u16string_view line);
  void OpenSection(Section section, std::u16string_view heading);
  void CloseSection();
  void AddSectionLine(std::u16string_view line);
  void EndEntry();
  void NoteUnkeptKey(std::u16string_view key);

  EntrySink& sink_;       // where finished entries go
  ImportReport* report_;  // what the diary has no place for; may be null
  ParseRules rules_;      // the clock of the file's DATEs, the time of undated entries
  bool saw_zero_hour_with_marker_ = false;
  DiaryEntry entry_;       // the entry being filled
  std::u16string author_;  // the latest AUTHOR value; carried across entries

  // The entry's primary category: PRIMARY CATEGORY when it has one, else its first CATEGORY.
  std::u16string primary_category_;
  std::u16string first_category_;
  // Lines collected so far into Contents, extend and excerpt (a second section continues them).
  int body_lines_ = 0;
  int extend_lines_ = 0;
  int excerpt_lines_ = 0;
  Section section_ = Section::kNone;  // the section whose lines are coming
  std::u16string section_heading_;    // its heading line, for the message if it never closes
  std::size_t section_heading_index_ = 0;
  int skipped_text_lines_ = 0;  // non-empty lines of a skipped section
  std::size_t index_ = 0;       // the line handled last
  bool has_content_ = false;    // a TITLE, a DATE or a text section: an entry worth storing
  bool has_date_ = false;
  std::size_t first_line_ = 0;  // index of the entry's first non-empty line
  bool started_ = false;        // whether first_line_ is set
};

}  // namespace sarnlink
