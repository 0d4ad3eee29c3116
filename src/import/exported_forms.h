// What the diary's own export writes for a row, as the import reads it back: the columns an
// entry of that file would be stored with, under each of the export's settings that can change
// them (the day from Day or from PublishTime, line breaks converted or not, hyphens converted
// or not). An entry equal to one of them came from that row, and importing the diary's own
// export stores nothing twice.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "interface/diary_database.h"

namespace sarnlink {

// The columns the duplicate check compares, as stored: Day, PublishTime, Title, Genre,
// Contents, extend, excerpt.
using ComparedColumns = std::array<std::u16string, 7>;

// A row as the duplicate check reads it: those seven columns, and Number and ImportMark, which
// tell the row and how it was filed; Null kept.
struct DiaryRowColumns {
  FieldValue Day, PublishTime, Title, Genre, Contents, extend, excerpt, Number, ImportMark;
};

// The row's columns as they stand (a Null reads as the empty text).
ComparedColumns RawColumns(const DiaryRowColumns& row);

// Whether an export could give the row back other than as it stands: a text the export
// converts or the import trims, an empty genre, or a time not in the diary's form or on
// another day than Day. Rows without any are given back as they stand, so only these need
// ExportedForms.
bool ExportChangesRow(const DiaryRowColumns& row);

// A key every form of a row shares with the row itself, cheap to make: Title and Genre without
// spaces and line breaks (an empty Genre as the general genre, as stored), and the three texts
// without line breaks, hyphens of either width and "<BR>", which are all the export changes in
// them. Two entries with different keys are never forms of one row; rows whose key matches an
// entry's are checked with ExportedForms.
std::uint64_t LooseKeyOf(const ComparedColumns& columns);

// The distinct ways the row comes back through an export and an import, other than as it
// stands. A row with no moment of its own (no day, no time, no stamp that names one) is
// written with the export's moment, which no one knows afterwards: `export_moment` stands for
// it (the moment an entry of the file carries), and without it such a row has no form.
std::vector<ComparedColumns> ExportedForms(const DiaryRowColumns& row,
                                           const std::optional<LocalTime>& export_moment = {});

}  // namespace sarnlink
