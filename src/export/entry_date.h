// The DATE of an exported entry when the row's own time cannot give it as it stands: a diary
// kept for years holds PublishTime texts that are Null, empty, date-only, in another form
// ("2006/1/5 9:05") or out of range, and Day texts that are Null or empty (the host's earlier
// import wrote those for entries without a DATE). Such a row is still written, with a real
// date and time taken from what it holds, and named so that the user can look at it.
#pragma once

#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/time_text.h"
#include "interface/diary_database.h"

namespace sarnlink {

// Whether the row's own texts give its DATE as they stand (the usual case): PublishTime in the
// diary's form and, when the day comes from Day, a Day in the diary's form or empty (then the
// whole DATE comes from PublishTime).
bool RowTimeIsWhole(const FieldValue& publish_time, const FieldValue& day, bool day_from_diary);

// The moment a row whose time is not whole stands for, the DATE value written for it, and how
// it was found, in words.
struct SuppliedMoment {
  LocalTime moment;
  std::u16string date;
  std::string how;
  bool at_export_moment = false;  // the row holds no moment of its own
};

// The moment for a row whose time is not whole, from what it holds, in this order: the parts
// of PublishTime that read as a real day (with its time of day, else midnight); else its Day
// at midnight; else the moment of its import stamp `import_mark`; else `export_moment`. With
// `day_from_diary` a Day that reads as a real day comes first, with PublishTime's time of day.
SuppliedMoment SupplyMoment(const FieldValue& publish_time, const FieldValue& day,
                            const FieldValue& import_mark, bool day_from_diary,
                            const LocalTime& export_moment);

}  // namespace sarnlink
