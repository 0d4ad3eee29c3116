// What the drivers ask of the diary, as values. A backend that speaks SQL runs each as its
// statement text (StatementText, the very texts the host's component runs); a backend that runs
// no SQL (the Jet file reader) evaluates the value itself, with the same meaning.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace sarnlink {

// The export's selection, every column of each row that the settings do not exclude. A filter
// left unset excludes nothing, Null included: with no `genre` every Genre, with `publish` 0 every
// Private, with neither bound every Day. A filter that is set compares as SQL does, so Null
// never matches it: Genre equal to `genre`; Private No for `publish` 1, Yes for 2 (another value
// selects the rows whose Private is Yes, as the bare column does); with a bound set, Day strictly
// between the bounds as text (an empty bound stands for 0000/00/00 or 9999/99/99). No order is
// asked for.
struct EntrySelection {
  std::u16string genre;
  std::u16string start_day;
  std::u16string end_day;
  std::int16_t publish = 0;
};

// Whether a selection has a day bound; without one it asks nothing of Day.
bool HasDayBounds(const EntrySelection& selection);

// The bounds an empty start or end day stands for when the other bound is set.
inline constexpr char16_t kOpenLowerDay[] = u"0000/00/00";
inline constexpr char16_t kOpenUpperDay[] = u"9999/99/99";

// The import's numbering: Day and NumMax, the highest Number of every day, days ascending.
struct DayNumbersQuery {};

// The options form's genre list: Genre, every genre but Null and the general one, ascending.
struct GenreListQuery {};

// The import runs: ImportMark, Entries (the count), FirstDay and LastDay, one row a stamp,
// stamps ascending; every stamp that is neither Null nor empty, or only `stamp`.
struct ImportRunsQuery {
  std::optional<std::u16string> stamp;
};

// Used: how many rows carry the run stamp `stamp`.
struct StampUseQuery {
  std::u16string stamp;
};

// The columns the duplicate check compares (Day, PublishTime, Title, Genre, Contents, extend,
// excerpt, and Number and ImportMark, which tell the row and how it was filed) of every row, or of
// the rows of `day` whose ImportMark is not `other_than_stamp`.
struct ComparedColumnsQuery {
  std::optional<std::u16string> day;
  std::u16string other_than_stamp;  // empty: no row is left out for its stamp
};

// Every column of every row, in the table's order: what a copy of the diary reads.
struct EveryRowQuery {};

// The tool's own run tables (kToolRunTables) in the diary: Found, how many exist (0 to 2). A
// diary the tool never imported into, and a Jet diary, has none.
struct ToolTablesQuery {};

// The tool's record of `table` (SarnlinkRuns: Stamp; SarnlinkPassedOver: Stamp, Day, Number),
// every row; only asked of a diary that has the table.
struct ToolRecordQuery {
  std::u16string table;
};

using DiaryQuery =
    std::variant<EntrySelection, DayNumbersQuery, GenreListQuery, ImportRunsQuery, StampUseQuery,
                 ComparedColumnsQuery, EveryRowQuery, ToolTablesQuery, ToolRecordQuery>;

// The statement text of `query`, as the SQL backends run it.
std::u16string StatementText(const DiaryQuery& query);

}  // namespace sarnlink
