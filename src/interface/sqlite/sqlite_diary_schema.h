// The SQLite diary's schema: the columns of the host's table Contents, and indexes that keep
// the day-number query and the genre list fast. ContentsSelection holds every column the
// export's selection tests, so that counting the selection reads no row: it follows Day and
// Number, so the selection's rows keep the order ContentsDayNumber gives them.
#pragma once

namespace sarnlink {

inline constexpr char kDiarySchema[] =
    "CREATE TABLE Contents ("
    " Day TEXT, Number INTEGER, Weather TEXT, Genre TEXT, Title TEXT, Contents TEXT,"
    " extend TEXT, excerpt TEXT, TrackBack TEXT, PublishTime TEXT, Private INTEGER DEFAULT 0,"
    " ImportMark TEXT);"
    "CREATE INDEX ContentsDayNumber ON Contents (Day, Number);"
    "CREATE INDEX ContentsGenre ON Contents (Genre);"
    "CREATE INDEX ContentsSelection ON Contents (Day, Number, Genre, Private);";

// Write-ahead logging with normal syncing: each committed row survives the process being killed
// and the file is never left corrupt; only a power cut can lose the latest commits.
inline constexpr char kJournalSettings[] = "PRAGMA journal_mode=WAL;";
inline constexpr char kConnectionSettings[] = "PRAGMA synchronous=NORMAL;";

}  // namespace sarnlink
