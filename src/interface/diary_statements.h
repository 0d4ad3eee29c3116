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

// The tool's own record of its import runs, beside Contents in an SQLite diary, made when a run
// first needs it: the stamps of the runs it made (each names one run alone), and the rows of
// other runs each run passed over because they already held an entry of its file, by Day,
// Number and the stamp of the run that passed over. Undoing a run keeps such a row for the
// later run instead of deleting it.
inline constexpr const char16_t* kToolRunTables[] = {
    u"CREATE TABLE IF NOT EXISTS SarnlinkRuns (Stamp TEXT PRIMARY KEY);",
    u"CREATE TABLE IF NOT EXISTS SarnlinkPassedOver (Stamp TEXT NOT NULL, Day TEXT NOT NULL, "
    u"Number INTEGER NOT NULL, PRIMARY KEY (Stamp, Day, Number));"};
inline constexpr char16_t kRunsTable[] = u"SarnlinkRuns";
inline constexpr char16_t kPassedOverTable[] = u"SarnlinkPassedOver";

// The end of every run stamp the import writes into ImportMark, after the run's moment.
inline constexpr char16_t kRunStampEnd[] = u" byPontivo.dll";

// The general genre: stored for an entry without a category, listed after "[ALL]".
inline constexpr char16_t kGeneralGenre[] = u"一般";

}  // namespace sarnlink
