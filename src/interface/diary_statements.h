// The statement texts the component runs against the diary, defined once. They run as they
// stand on every backend.
#pragma once

namespace sarnlink {

// The export's selection begins with this; the rest is built from the settings.
inline constexpr char16_t kSelectionStatementStart[] = u"SELECT Contents.* FROM Contents ";

// The import's numbering: the highest Number of every day, days in ascending order.
inline constexpr char16_t kDayNumbersStatement[] =
    u"SELECT Contents.Day, Max(Contents.Number) AS NumMax From Contents "
    u"GROUP BY Contents.Day ORDER BY Contents.Day;";

// The options form's genre list, apart from "[ALL]" and the general genre put before it.
inline constexpr char16_t kGenreListStatement[] =
    u"SELECT Contents.Genre From Contents GROUP BY Contents.Genre Having (((Contents.Genre) <> "
    u"\"一般\")) ORDER BY Contents.Genre;";

// The table the import inserts into, opened by name.
inline constexpr char16_t kEntryTable[] = u"Contents";

// The end of every run stamp the import writes into ImportMark, after the run's moment.
inline constexpr char16_t kRunStampEnd[] = u" byPontivo.dll";

// The general genre: stored for an entry without a category, listed after "[ALL]".
inline constexpr char16_t kGeneralGenre[] = u"一般";

}  // namespace sarnlink
