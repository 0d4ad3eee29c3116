#include "import/entry_storage.h"

#include <limits>
#include <utility>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "import/run_ledger.h"
#include "interface/diary_statements.h"

namespace sarnlink {

void EntryStorage::LoadDayNumbers() {
  auto rows =
      connection_.OpenStatement(DayNumbersQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
  day_numbers_.clear();
  day_index_.clear();
  day_numbers_.reserve(static_cast<std::size_t>(std::max(rows->RecordCount(), 0)));
  while (!rows->IsEOF()) {
    // Rows with a Null Day (a diary kept for years has some) are no day an entry is filed
    // under; a day whose Numbers are all Null numbers its next entry 1.
    const FieldValue day = rows->Field(u"Day");
    if (IsNull(day)) {
      rows->MoveNext();
      continue;
    }
    DayAndNumber element;
    element.stDay = TextOrEmpty(day);
    const FieldValue highest = rows->Field(u"NumMax");
    element.iNumber = IsNull(highest)
                          ? std::int16_t{0}
                          : Int16Of(highest, "the highest Number of day " + ToUtf8(element.stDay));
    day_index_.emplace(element.stDay, day_numbers_.size());
    day_numbers_.push_back(std::move(element));
    rows->MoveNext();
  }
  rows->Close();
  loaded_days_ = day_numbers_.size();
}

void EntryStorage::OpenEntryTable() {
  if (state_.DryRun) {
    return;
  }
  table_ = connection_.OpenTable(kEntryTable, CursorKind::kKeyset, LockKind::kOptimistic);
}

std::int16_t EntryStorage::NextDayNumber(const std::u16string& day) {
  const auto found = day_index_.find(day);
  if (found == day_index_.end()) {
    day_index_.emplace(day, day_numbers_.size());
    day_numbers_.push_back(DayAndNumber{day, 1});
    return 1;
  }
  std::int16_t& number = day_numbers_[found->second].iNumber;
  if (number == std::numeric_limits<std::int16_t>::max()) {
    throw Error(ErrorKind::kOverflow,
                "day " + ToUtf8(day) + " already has entry number 32767; no number is left");
  }
  return ++number;
}

void EntryStorage::StoreEntry(DiaryEntry&& entry, const std::u16string& author) {
  if (state_.AuthorOnly && author != state_.Author) {
    if (report_) {
      ++report_->passed_over;
    }
    return;
  }
  const std::u16string genre = entry.Genre.empty() ? std::u16string(kGeneralGenre) : entry.Genre;
  if (duplicates_) {
    const DuplicateIndex::Holder holder = duplicates_->Holds(entry, genre);
    if (holder.held != DuplicateIndex::Held::kNo) {
      if (report_) {  // no row and no number: the diary has it already
        ++report_->duplicates;
        report_->undated_duplicates += holder.held == DuplicateIndex::Held::kUndated ? 1 : 0;
      }
      RememberPassedOver(holder);
      return;
    }
  }
  if (state_.DryRun) {
    NextDayNumber(entry.Day);
    const auto found = day_index_.find(entry.Day);
    if (report_ && found->second < loaded_days_) {
      ++report_->added_to_existing_days[entry.Day];
    }
    CountStored();
    return;
  }
  DiaryRecordset& table = *table_;
  table.AddNew();
  table.Assign(u"Day", entry.Day);
  table.Assign(u"Number", static_cast<std::int64_t>(NextDayNumber(entry.Day)));
  table.Assign(u"Weather", std::u16string(u"-"));
  table.Assign(u"Genre", genre);
  table.Assign(u"Title", entry.Title);
  table.Assign(u"Contents", std::move(entry.Contents));
  table.Assign(u"extend", std::move(entry.extend));
  table.Assign(u"excerpt", std::move(entry.excerpt));
  table.Assign(u"TrackBack", entry.TrackBack);
  table.Assign(u"PublishTime", entry.PublishTime);
  table.Assign(u"Private", entry.Private);
  table.Assign(u"ImportMark", run_stamp_);
  table.Update();
  CountStored();
}

// A row of another run that holds an entry of this one is this run's too: undoing that run
// must keep it.
void EntryStorage::RememberPassedOver(const DuplicateIndex::Holder& holder) {
  const auto* day = std::get_if<std::u16string>(&holder.day);
  const auto* number = std::get_if<std::int64_t>(&holder.number);
  if (state_.DryRun || !state_.UniqueRunStamp || !day || !number ||
      TextOrEmpty(holder.stamp).empty()) {
    return;
  }
  RecordPassedOver(connection_, run_stamp_, *day, *number);
}

void EntryStorage::CountStored() {
  ++stored_count_;
  if (report_) {
    report_->stored = stored_count_;
  }
}

void EntryStorage::Close() {
  if (table_) {
    table_->Close();
    table_.reset();
  }
}

}  // namespace sarnlink
