// The tool's own record of its import runs in an SQLite diary (the tables of kToolRunTables):
// which stamps name one run alone, and which rows of earlier runs each run passed over because
// they already held an entry of its file, so that undoing the earlier run keeps those rows for
// the later one. The host's component keeps no such record; its stamps (to the second) may
// cover more than one run.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "interface/diary_database.h"

namespace sarnlink {

// Makes the tables when they are missing and records `stamp` as a run of the tool. Runs inside
// the import's transaction.
void RecordToolRun(DiaryConnection& connection, const std::u16string& stamp);

// Records that the run `stamp` passed over an entry that the row of `day` numbered `number`
// held.
void RecordPassedOver(DiaryConnection& connection, const std::u16string& stamp,
                      const std::u16string& day, std::int64_t number);

// The stamps the tool's own runs wrote; empty for a diary without the tables.
std::set<std::u16string> ToolRunStamps(DiaryConnection& connection);

// Copies the record of `from` into `to` (a new diary holding the same rows), when `from` has
// one; inside the caller's transaction on `to`.
void CopyToolRecords(DiaryConnection& from, DiaryConnection& to);

struct UndoneRun {
  std::int64_t deleted = 0;  // rows of the run deleted
  std::int64_t kept = 0;     // rows a later run passed over for them, now stamped as its own
};

// Takes the run `stamp` back: each of its rows that a later run passed over (an entry of that
// run's file was already this row) is kept and stamped as that later run's (the earliest, by
// stamp, when several did); every other row of the run is deleted, and the run's records with
// it. Runs inside the caller's transaction.
UndoneRun UndoImportRun(DiaryConnection& connection, const std::u16string& stamp);

}  // namespace sarnlink
