// The entry parser: walks the import's lines once, filling one DiaryEntry at a time from key
// lines and sections, and hands each entry to the storage at its "--------" line.
#pragma once

#include <string>
#include <vector>

#include "import/diary_entry.h"

namespace sarnlink {

// The DATE value "MM/DD/YYYY hh:mm:ss AM|PM" as the diary's "YYYY/MM/DD hh:mm:ss", read on the
// 12-hour clock: PM adds 12 to an hour below 12, AM makes hour 12 "00", any other hour stays as
// cut (so a 24-hour time without a marker passes). Pieces are cut at fixed positions, shortened
// where the value ends. An hour piece that is not a number throws a format error.
std::u16string ParseMTDate(std::u16string_view value);

class EntryParser {
 public:
  explicit EntryParser(EntrySink& sink) : sink_(sink) {}

  // Handles line `i` of `lines`. A section heading consumes the lines up to its closing "-----"
  // and leaves `i` on that line. Throws an out-of-range error for a section that never closes
  // and a format error for a DATE whose hour is no number.
  void HandleLine(const std::vector<std::u16string>& lines, std::size_t& i);

 private:
  void HandleKeyLine(const std::u16string& line);
  void ReadSection(const std::vector<std::u16string>& lines, std::size_t& i,
                   std::u16string* target);

  EntrySink& sink_;        // where finished entries go
  DiaryEntry entry_;       // the entry being filled
  std::u16string author_;  // the latest AUTHOR value; carried across entries
};

}  // namespace sarnlink
