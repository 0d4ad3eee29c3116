// Which entries of a file the diary already holds, so that importing a file again, or files
// that overlap, stores nothing twice. An entry is held when a row that was in the diary before
// the run has the same Day, PublishTime, Title, Genre and three texts (a Null column reads as
// the empty text).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "import/diary_entry.h"
#include "interface/diary_database.h"

namespace sarnlink {

class DuplicateIndex {
 public:
  // Reads the compared columns of every row once and keeps a hash of each. When `run_stamp`
  // names this run alone, rows stamped with it are never counted as held before the run.
  DuplicateIndex(DiaryConnection& connection, std::u16string run_stamp);

  // Whether the diary held the entry before the run, as it would be stored with `genre`. A
  // hash that matches is confirmed against the rows of the entry's day, so two different
  // entries are never taken for one.
  bool Holds(const DiaryEntry& entry, const std::u16string& genre);

 private:
  // The compared columns of one row, and a view of them in a row or an entry, in a fixed order.
  using Columns = std::array<std::u16string, 7>;
  using ColumnViews = std::array<std::u16string_view, 7>;
  static ColumnViews ViewsOf(const Columns& columns);
  static std::uint64_t HashOf(const ColumnViews& columns);
  // The compared columns of the rows of `day` held before the run, read once per day in turn.
  const std::vector<Columns>& RowsOfDay(const std::u16string& day);

  DiaryConnection& connection_;
  std::u16string run_stamp_;
  std::unordered_set<std::uint64_t> hashes_;  // one per row held before the run
  std::u16string cached_day_;                 // the day whose rows are cached
  std::vector<Columns> cached_rows_;
  bool cached_ = false;
};

}  // namespace sarnlink
