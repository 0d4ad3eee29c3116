// Which entries of a file the diary already holds, so that importing a file again, files that
// overlap, or the diary's own export stores nothing twice. An entry is held when it equals a
// row that was in the diary before the run: as the row stands (Day, PublishTime, Title, Genre
// and three texts; a Null column reads as the empty text), or as the diary's export under any of
// its settings gives the row back (see exported_forms.h). Nothing is normalised beyond that: an
// entry that merely resembles a row is stored. An entry without a DATE, which the import files
// under its own moment, is held when a row an earlier import filed for such an entry (its Day and
// time its stamp's moment, or both empty as the host's earlier import left them) has the same
// Title, Genre and texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "import/diary_entry.h"
#include "import/exported_forms.h"
#include "interface/diary_database.h"

namespace sarnlink {

class DuplicateIndex {
 public:
  // Reads the compared columns of every row once and keeps a hash of each, and of the key its
  // other forms share. When
  // `run_stamp` names this run alone, rows stamped with it are never counted as held before the
  // run.
  DuplicateIndex(DiaryConnection& connection, std::u16string run_stamp);

  enum class Held {
    kNo,
    kAsRow,    // as a row stands, or as the diary's export gives it back
    kUndated,  // an entry without a DATE, as an earlier import filed it
  };

  // Whether the diary held the entry before the run, as it would be stored with `genre`, and
  // the row that held it. A hash that matches is confirmed against the rows it came from, so
  // two different entries are never taken for one.
  struct Holder {
    Held held = Held::kNo;
    FieldValue day, number, stamp;  // the holding row's Day, Number and ImportMark
  };
  Holder Holds(const DiaryEntry& entry, const std::u16string& genre);

 private:
  // Where a hash came from: the Day of its row (nothing for a Null Day, whose rows are kept).
  using SourceDay = std::optional<std::u16string>;

  void Index(const DiaryRowColumns& row);
  // The rows of `day` held before the run (Null: those with a Null Day), read once per day in
  // turn.
  const std::vector<DiaryRowColumns>& RowsOf(const SourceDay& day);
  const DiaryRowColumns* AnyRowOf(const std::vector<SourceDay>& days,
                                  const ComparedColumns& columns, bool undated);

  DiaryConnection& connection_;
  std::u16string run_stamp_;
  std::unordered_set<std::uint64_t> hashes_;  // each row as it stands
  // The loose key of each row the export may give back otherwise (see LooseKeyOf), and each
  // row filed for an entry without a DATE (by its Title, Genre and texts), with the days of the
  // rows they came from.
  std::unordered_map<std::uint64_t, std::vector<SourceDay>> loose_;
  std::unordered_map<std::uint64_t, std::vector<SourceDay>> undated_;
  std::vector<DiaryRowColumns> null_day_rows_;  // rows no query by day finds
  SourceDay cached_day_;                        // the day whose rows are cached
  std::vector<DiaryRowColumns> cached_rows_;
  bool cached_ = false;
};

}  // namespace sarnlink
