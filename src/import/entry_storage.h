// Entry storage: turns each finished entry into a new row of Contents, numbered after the
// highest Number of its day, filtered by author, stamped with the run.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "import/diary_entry.h"
#include "import/duplicate_index.h"
#include "import/import_report.h"
#include "interface/cls_mt_export.h"
#include "interface/export_setting.h"

namespace sarnlink {

class EntryStorage : public EntrySink {
 public:
  // With `report`, the storage counts the entries it stores and passes over there; in a dry
  // run (state.DryRun) it numbers the entries but writes nothing, and records in the report how
  // many each day that already had entries would get.
  EntryStorage(DiaryConnection& connection, const ConverterState& state,
               ImportReport* report = nullptr)
      : connection_(connection), state_(state), report_(report) {}

  // The text written into ImportMark of every row stored from now on.
  void SetRunStamp(std::u16string run_stamp) { run_stamp_ = std::move(run_stamp); }
  // From now on, entries `duplicates` says the diary holds are passed over (null: none are).
  void SetDuplicateIndex(DuplicateIndex* duplicates) { duplicates_ = duplicates; }

  // Builds the day-number table from the diary. A Null Day has no place in it, and a Null
  // NumMax counts as 0; a NumMax above 32767 throws.
  void LoadDayNumbers();
  // Opens Contents for insertion.
  void OpenEntryTable();
  // Stores the entry unless the author filter passes it over; each row is committed by itself.
  void StoreEntry(DiaryEntry&& entry, const std::u16string& author) override;
  // The next Number for `day`, recorded in the table; one past 32767 throws an overflow error.
  std::int16_t NextDayNumber(const std::u16string& day);
  // Closes the entry table.
  void Close();

  std::int32_t stored_count() const { return stored_count_; }

 private:
  void CountStored();
  void RememberPassedOver(const DuplicateIndex::Holder& holder);

  DiaryConnection& connection_;            // the run's connection
  const ConverterState& state_;            // Author, AuthorOnly and DryRun
  ImportReport* report_;                   // counts of the run; may be null
  DuplicateIndex* duplicates_ = nullptr;   // what the diary held before the run; may be null
  std::size_t loaded_days_ = 0;            // days that had entries before the run
  std::u16string run_stamp_;               // ImportMark of every row of the run
  std::vector<DayAndNumber> day_numbers_;  // each day once, in the order first met
  // Where each day stands in day_numbers_: the lookup the table's scan would make, without
  // its cost growing with the number of days. Day texts are unique, so it finds the same one.
  std::unordered_map<std::u16string, std::size_t> day_index_;
  std::unique_ptr<DiaryRecordset> table_;  // Contents, open for insertion
  std::int32_t stored_count_ = 0;          // rows stored by this run
};

}  // namespace sarnlink
