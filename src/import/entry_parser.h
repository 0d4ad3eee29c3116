// The entry parser: walks the import's lines once, filling one DiaryEntry at a time from key
// lines and sections, and hands each entry to the storage at its "--------" line (or, for the
// last entry of a file that lacks one, at the end of the lines).
#pragma once

#include <string>
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
std::u16string ParseMTDate(std::u16string_view value);

class EntryParser {
 public:
  // `report`, when given, receives what the file holds beyond the stored entries.
  explicit EntryParser(EntrySink& sink, ImportReport* report = nullptr)
      : sink_(sink), report_(report) {}

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

 private:
  enum class Section { kNone, kBody, kExtended, kExcerpt, kComment, kKeywords, kPing };

  void HandleKeyLine(std::u16string_view line);
  void OpenSection(Section section, std::u16string_view heading);
  void CloseSection();
  void AddSectionLine(std::u16string_view line);
  void EndEntry();
  void NoteUnkeptKey(std::u16string_view key);

  EntrySink& sink_;        // where finished entries go
  ImportReport* report_;   // what the diary has no place for; may be null
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
