// The diary port on SQLite: the embedded default diary of the command-line tool. The statement
// texts run as they stand; booleans are stored 0/1; every Update commits by itself.
#pragma once

#include <functional>
#include <string>

#include "common/stop_request.h"

#include "interface/diary_database.h"

namespace sarnlink {

// How a connection waits while another process holds the diary's write lock (another import).
struct SqliteWaiting {
  double limit_seconds = 5;           // then the statement fails as "locked"
  std::function<void()> on_waiting;   // called once, after a second of waiting
  const StopRequest* stop = nullptr;  // a stop ends the wait at once
};

// How the diary is opened.
struct SqliteOptions {
  SqliteWaiting waiting;
  // Read only (export, genres, a dry run): never written, and read even where the user may not
  // write it or its folder, without leaving files there.
  bool read_only = false;
  std::function<void(const std::string&)> note;  // a one-line note for the user
};

class SqliteDiaryDatabase : public DiaryDatabase {
 public:
  SqliteDiaryDatabase() = default;
  explicit SqliteDiaryDatabase(SqliteOptions options) : options_(std::move(options)) {}

  // Opens an existing diary, never creating one. A missing file, a Jet or ACE database, a file
  // that is no SQLite database or one without the table Contents each throw a database error
  // naming the path and the reason.
  std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) override;

 private:
  SqliteOptions options_;  // for every connection it opens
};

// Creates an empty diary at `path`: the table Contents with the host's columns, its indexes,
// and the journal settings that keep one-row commits fast and safe against a killed process.
// Refuses (database error) when anything already stands at the path.
void CreateEmptyDiary(const std::string& path);

}  // namespace sarnlink
