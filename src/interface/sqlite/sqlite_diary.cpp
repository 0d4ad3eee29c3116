#include "interface/sqlite/sqlite_diary.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "common/path_text.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "interface/sqlite/sqlite_diary_schema.h"

namespace sarnlink {
namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw Error(ErrorKind::kDatabase, "diary " + path + ": " + reason);
}

std::string SqliteMessage(sqlite3* db) {
  return db ? sqlite3_errmsg(db) : "out of memory";
}

// A path as the path of a "file:" URI: every byte but the unreserved ones and "/" written %XX.
std::string UriPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

// What the first bytes of the file say it is, before SQLite is let near it.
void CheckHeader(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    Fail(path, errno == ENOENT ? "no such file" : std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) {
    Fail(path, "not a file");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail(path, "cannot be read");
  }
  char header[32] = {};
  in.read(header, sizeof header);
  const std::string text(header, static_cast<std::size_t>(in.gcount()));
  if (text.find("Standard Jet DB") != std::string::npos ||
      text.find("Standard ACE DB") != std::string::npos) {
    Fail(path, "a Jet/Access database, which cannot be opened by this build");
  }
  if (text.rfind("SQLite format 3", 0) != 0) {
    Fail(path, "not a diary database");
  }
}

// The columns of kDiaryColumns that the file's table Contents lacks; empty when it has them all.
std::vector<std::string> MissingDiaryColumns(sqlite3* db) {
  std::vector<std::u16string> present;
  sqlite3_stmt* columns = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA table_info(Contents)", -1, &columns, nullptr) == SQLITE_OK) {
    while (sqlite3_step(columns) == SQLITE_ROW) {
      present.push_back(FromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(columns, 1))));
    }
  }
  sqlite3_finalize(columns);
  std::vector<std::string> missing;
  for (const char16_t* column : kDiaryColumns) {
    if (std::none_of(present.begin(), present.end(), [column](const std::u16string& name) {
          return SameColumnName(name, column);
        })) {
      missing.push_back(ToUtf8(column));
    }
  }
  return missing;
}

class Statement {
 public:
  // A statement the diary refuses because a column is missing is a file of another shape, named
  // with every column it lacks; any other refusal names the engine's reason and the statement.
  Statement(sqlite3* db, const std::string& sql, const std::string& path) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
      const std::string reason = SqliteMessage(db);
      if (reason.starts_with("no such column")) {
        if (const auto missing = MissingDiaryColumns(db); !missing.empty()) {
          Fail(path, "not a diary of the host's shape: its table Contents has no " +
                         std::string(missing.size() == 1 ? "column " : "columns ") +
                         CommaList(missing) + ", which every diary has");
        }
      }
      Fail(path, "statement refused (" + reason + "): " + sql);
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;  // the prepared statement
};

FieldValue ColumnValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return std::monostate();
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
      return static_cast<std::int64_t>(sqlite3_column_double(stmt, column));
    default: {
      // Text is stored as UTF-8; our decoder turns it into UTF-16 faster than SQLite would.
      const auto* text = sqlite3_column_text(stmt, column);
      const int bytes = sqlite3_column_bytes(stmt, column);
      return FromUtf8(std::string_view(reinterpret_cast<const char*>(text), text ? bytes : 0));
    }
  }
}

// Binds `value` at `index`. A text becomes UTF-8 in `utf8` (its room kept from row to row),
// which must outlive the statement's step (SQLite does not copy it), and leaves `value` empty: a
// long entry is then held once as UTF-16 by its parser and once as UTF-8 here, not four times.
void Bind(sqlite3_stmt* stmt, int index, FieldValue& value, Bytes& utf8) {
  if (std::u16string* s = std::get_if<std::u16string>(&value)) {
    utf8.clear();
    EncodeUTF8(*s, utf8);
    std::u16string().swap(*s);
    static const char kEmpty[] = "";  // never a null pointer, which SQLite would bind as Null
    const char* bytes = utf8.empty() ? kEmpty : reinterpret_cast<const char*>(utf8.data());
    sqlite3_bind_text(stmt, index, bytes, static_cast<int>(utf8.size()), SQLITE_STATIC);
  } else if (const std::int64_t* i = std::get_if<std::int64_t>(&value)) {
    sqlite3_bind_int64(stmt, index, *i);
  } else if (const bool* b = std::get_if<bool>(&value)) {
    sqlite3_bind_int(stmt, index, *b ? 1 : 0);
  } else {
    sqlite3_bind_null(stmt, index);
  }
}

// A statement's rows, read forward; the record count is a second, counting statement.
class SqliteStatementRecordset : public DiaryRecordset {
 public:
  SqliteStatementRecordset(sqlite3* db, std::string sql, std::string path)
      : db_(db), sql_(std::move(sql)), path_(std::move(path)), stmt_(db, sql_, path_) {
    const int columns = sqlite3_column_count(stmt_.get());
    for (int c = 0; c < columns; ++c) {
      names_.push_back(FromUtf8(sqlite3_column_name(stmt_.get(), c)));
    }
    Step();
  }

  std::int32_t RecordCount() override {
    std::string inner = sql_;
    while (!inner.empty() && (inner.back() == ';' || inner.back() == ' ')) {
      inner.pop_back();
    }
    Statement count(db_, "SELECT COUNT(*) FROM (" + inner + ")", path_);
    if (sqlite3_step(count.get()) != SQLITE_ROW) {
      Fail(path_, "cannot count the rows: " + SqliteMessage(db_));
    }
    return static_cast<std::int32_t>(sqlite3_column_int64(count.get(), 0));
  }

  bool IsEOF() override { return eof_; }

  // The statement's column of `name`; no current row or no such column is a database error.
  int ColumnOf(std::u16string_view name) {
    if (eof_) {
      Fail(path_, "no current row to read " + ToUtf8(name) + " from");
    }
    for (std::size_t c = 0; c < names_.size(); ++c) {
      if (SameColumnName(names_[c], name)) {
        return static_cast<int>(c);
      }
    }
    Fail(path_, "no column " + ToUtf8(name));
  }

  FieldValue Field(std::u16string_view name) override {
    return ColumnValue(stmt_.get(), ColumnOf(name));
  }

  bool FieldUtf8(std::u16string_view name, std::string_view& utf8) override {
    const int column = ColumnOf(name);
    const int type = sqlite3_column_type(stmt_.get(), column);
    if (type != SQLITE_TEXT && type != SQLITE_BLOB) {
      return false;
    }
    const auto* text = sqlite3_column_text(stmt_.get(), column);
    utf8 = std::string_view(
        reinterpret_cast<const char*>(text),
        text ? static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)) : 0);
    return true;
  }

  std::vector<std::u16string> ColumnNames() override { return names_; }

  void MoveNext() override { Step(); }

  void AddNew() override { Fail(path_, "a query's rows cannot be added to"); }
  void Assign(std::u16string_view, FieldValue) override {
    Fail(path_, "a query's rows cannot be changed");
  }
  void Update() override { Fail(path_, "a query's rows cannot be changed"); }
  void Close() override { eof_ = true; }

 private:
  void Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
      eof_ = false;
    } else if (rc == SQLITE_DONE) {
      eof_ = true;
    } else {
      Fail(path_, "cannot read the rows: " + SqliteMessage(db_));
    }
  }

  sqlite3* db_;                        // the connection
  std::string sql_;                    // the statement, as UTF-8
  std::string path_;                   // for messages
  Statement stmt_;                     // the running statement
  std::vector<std::u16string> names_;  // the result's column names, by position
  bool eof_ = true;                    // past the last row
};

// A table opened for insertion: AddNew, Assign and Update make one committed INSERT a row.
class SqliteTableRecordset : public DiaryRecordset {
 public:
  SqliteTableRecordset(sqlite3* db, std::string table, std::string path)
      : db_(db), table_(std::move(table)), path_(std::move(path)) {}

  std::int32_t RecordCount() override {
    Statement count(db_, "SELECT COUNT(*) FROM \"" + table_ + "\"", path_);
    sqlite3_step(count.get());
    return static_cast<std::int32_t>(sqlite3_column_int64(count.get(), 0));
  }
  bool IsEOF() override { return true; }
  FieldValue Field(std::u16string_view name) override {
    Fail(path_, "the table is open for insertion only; cannot read " + ToUtf8(name));
  }
  void MoveNext() override {}

  void AddNew() override {
    assigned_ = 0;
    adding_ = true;
  }

  void Assign(std::u16string_view name, FieldValue value) override {
    if (!adding_) {
      Fail(path_, "a column was set with no new row started");
    }
    for (std::size_t k = 0; k < assigned_; ++k) {
      if (SameColumnName(row_[k].first, name)) {
        row_[k].second = std::move(value);
        return;
      }
    }
    // The rows of an import name the same columns in the same order: each slot keeps its name.
    if (assigned_ == row_.size()) {
      row_.emplace_back();
    }
    if (row_[assigned_].first != name) {
      row_[assigned_].first.assign(name);
      insert_ = nullptr;  // another set of columns
    }
    row_[assigned_++].second = std::move(value);
  }

  void Update() override {
    if (!adding_) {
      Fail(path_, "no new row to commit");
    }
    adding_ = false;
    if (insert_ == nullptr || insert_columns_ != assigned_) {
      insert_ = InsertFor(assigned_);
      insert_columns_ = assigned_;
    }
    sqlite3_stmt* insert = insert_;
    texts_.resize(std::max(texts_.size(), assigned_));
    for (std::size_t k = 0; k < assigned_; ++k) {
      Bind(insert, static_cast<int>(k + 1), row_[k].second, texts_[k]);
    }
    const bool done = sqlite3_step(insert) == SQLITE_DONE;
    const std::string reason = done ? std::string() : SqliteMessage(db_);
    sqlite3_reset(insert);
    sqlite3_clear_bindings(insert);  // nothing points into `texts_` between rows
    if (!done) {
      Fail(path_, "the new row was refused: " + reason);
    }
  }

  void Close() override { adding_ = false; }

 private:
  using Row = std::vector<std::pair<std::u16string, FieldValue>>;

  // The INSERT for the first `count` columns of the row, prepared once for each set of names.
  sqlite3_stmt* InsertFor(std::size_t count) {
    std::string columns;
    std::string values;
    for (std::size_t k = 0; k < count; ++k) {
      const std::u16string& column = row_[k].first;
      columns += (columns.empty() ? "\"" : ", \"") + ToUtf8(column) + "\"";
      values += values.empty() ? "?" : ", ?";
    }
    const std::string sql =
        "INSERT INTO \"" + table_ + "\" (" + columns + ") VALUES (" + values + ")";
    auto found = inserts_.find(sql);
    if (found == inserts_.end()) {
      found = inserts_.emplace(sql, std::make_unique<Statement>(db_, sql, path_)).first;
    }
    return found->second->get();
  }

  sqlite3* db_;                     // the connection
  std::string table_;               // the table, as UTF-8
  std::string path_;                // for messages
  Row row_;                         // the row being added: its first assigned_ slots
  std::size_t assigned_ = 0;        // the columns the row has values for
  bool adding_ = false;             // AddNew called, Update not yet
  sqlite3_stmt* insert_ = nullptr;  // the INSERT for the row's columns, while they stay the same
  std::size_t insert_columns_ = 0;  // how many columns insert_ names
  std::vector<Bytes> texts_;        // the bound UTF-8 of each column, until the step is done
  std::map<std::string, std::unique_ptr<Statement>> inserts_;  // prepared INSERTs
};

// The busy handler: waits in short sleeps while another connection holds the write lock, says
// so once after a second, and gives up at the limit or when a stop is asked for.
class LockWait {
 public:
  explicit LockWait(const SqliteWaiting& waiting) : waiting_(waiting) {}

  static int Handler(void* self, int attempts) {
    return static_cast<LockWait*>(self)->KeepWaiting(attempts);
  }

  bool stopped() const { return stopped_; }

 private:
  int KeepWaiting(int attempts) {
    const auto now = std::chrono::steady_clock::now();
    if (attempts == 0) {
      start_ = now;
      told_ = false;
    }
    if (waiting_.stop && waiting_.stop->IsRequested()) {
      stopped_ = true;
      return 0;
    }
    const double waited = std::chrono::duration<double>(now - start_).count();
    if (waited >= waiting_.limit_seconds) {
      return 0;
    }
    if (waited >= 1 && !told_ && waiting_.on_waiting) {
      told_ = true;
      waiting_.on_waiting();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return 1;
  }

  const SqliteWaiting& waiting_;
  std::chrono::steady_clock::time_point start_;
  bool told_ = false;     // on_waiting was called for this wait
  bool stopped_ = false;  // a wait ended by a stop
};

class SqliteDiaryConnection : public DiaryConnection {
 public:
  SqliteDiaryConnection(const std::string& path, const SqliteOptions& options)
      : path_(path), waiting_(options.waiting), lock_wait_(waiting_) {
    CheckHeader(path);
    // Opened without create: a diary is never made on the way. A command that only reads
    // opens a diary it may write as any other (its reads change nothing, and closing it leaves
    // no journal files behind); one it may not write is read as it stands on disk, which
    // creates no files beside it.
    const std::string folder = path.find('/') == std::string::npos
                                   ? std::string(".")
                                   : path.substr(0, std::max<std::size_t>(path.rfind('/'), 1));
    const bool writable = ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
    if (!options.read_only || writable) {
      OpenOrFail(path, SQLITE_OPEN_READWRITE);
      return;
    }
    struct stat wal;
    if (::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0) {
      // Changes wait in the log: only the engine's own reading, with its shared memory, sees them.
      std::string reason;
      if (!Open(path, SQLITE_OPEN_READONLY, reason)) {
        Fail(path, "cannot be read (" + reason + "): its write-ahead log " + path +
                       "-wal holds changes not yet in the diary file, and reading them needs "
                       "write access to the folder; open the diary once as its owner");
      }
      return;
    }
    OpenOrFail("file:" + UriPath(path) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    if (options.note) {
      options.note("reading " + path +
                   " as it stands on disk: you may not write it or its folder, so changes "
                   "another program makes meanwhile are not seen");
    }
  }

  ~SqliteDiaryConnection() override { sqlite3_close_v2(db_); }

  std::unique_ptr<DiaryRecordset> OpenStatement(const DiaryQuery& query, CursorKind,
                                                LockKind) override {
    return std::make_unique<SqliteStatementRecordset>(db_, ToUtf8(StatementText(query)), path_);
  }

  std::unique_ptr<DiaryRecordset> OpenTable(const std::u16string& table, CursorKind,
                                            LockKind) override {
    return std::make_unique<SqliteTableRecordset>(db_, ToUtf8(table), path_);
  }

  void BeginTrans() override { Run("BEGIN IMMEDIATE", "take the diary's write lock"); }
  void CommitTrans() override { Run("COMMIT", "commit"); }
  void RollbackTrans() override { Run("ROLLBACK", "roll back"); }

  std::int64_t Execute(const std::u16string& statement) override {
    const std::string sql = ToUtf8(statement);
    Statement change(db_, sql, path_);
    const int rc = sqlite3_step(change.get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
      FailStep(rc, "run " + sql);
    }
    return sqlite3_changes64(db_);
  }

 private:
  // Opens `name` and checks that it is a diary. False, with the engine's reason and code and
  // nothing left open, when it cannot be read; a file that is no diary throws.
  bool Open(const std::string& name, int flags, std::string& reason, int* code = nullptr) {
    const auto give_up = [&](int rc) {
      reason = SqliteMessage(db_);
      if (code) {
        *code = rc & 0xff;
      }
      sqlite3_close_v2(db_);
      db_ = nullptr;
      return false;
    };
    const int opened = sqlite3_open_v2(name.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
      return give_up(opened);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_handler(db_, &LockWait::Handler, &lock_wait_);
    // The genre-list statement quotes its genre with double quotes, as the host's engine allows.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
    int rc = sqlite3_exec(db_, kConnectionSettings, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      return give_up(rc);
    }
    // Reading the schema is where a diary that cannot be read fails, so the probe is prepared
    // here, its failure given up on like the others (a Statement would throw past the close).
    sqlite3_stmt* probe = nullptr;
    rc = sqlite3_prepare_v2(db_,
                            "SELECT 1 FROM sqlite_master WHERE type='table' AND name='Contents'",
                            -1, &probe, nullptr);
    if (rc == SQLITE_OK) {
      rc = sqlite3_step(probe);
    }
    sqlite3_finalize(probe);
    if (rc == SQLITE_DONE) {
      sqlite3_close_v2(db_);
      db_ = nullptr;
      Fail(path_, "not a diary database (it has no table Contents)");
    }
    if (rc != SQLITE_ROW) {
      return give_up(rc);
    }
    return true;
  }

  void OpenOrFail(const std::string& name, int flags) {
    std::string reason;
    int code = SQLITE_OK;
    if (!Open(name, flags, reason, &code)) {
      if (code == SQLITE_READONLY) {
        Fail(path_,
             "cannot be written: the diary or its folder is read-only for you (export, "
             "genres, imports and import --dry-run only read it)");
      }
      Fail(path_, "not a diary database, or one that cannot be opened (" + reason + ")");
    }
  }

  void Run(const char* sql, const std::string& what) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      FailStep(rc, what);
    }
  }

  // A statement that failed: a wait ended by a stop is an interruption, a lock held past the
  // limit says so, anything else is the engine's message.
  [[noreturn]] void FailStep(int rc, const std::string& what) {
    if (lock_wait_.stopped()) {
      throw Error(ErrorKind::kInterrupted, "stopped while waiting for the diary " + path_);
    }
    if ((rc & 0xff) == SQLITE_BUSY) {
      Fail(path_,
           "cannot " + what + ": another program (another import?) kept the diary locked " +
               "for " +
               CountOf(static_cast<std::int64_t>(waiting_.limit_seconds), "second", "seconds") +
               "; nothing was changed");
    }
    Fail(path_, "cannot " + what + ": " + SqliteMessage(db_));
  }

  std::string path_;       // for messages
  SqliteWaiting waiting_;  // how to wait for the write lock
  LockWait lock_wait_;     // the busy handler's state
  sqlite3* db_ = nullptr;  // the connection
};

}  // namespace

std::unique_ptr<DiaryConnection> SqliteDiaryDatabase::Connect(const std::u16string& path) {
  if (path.empty()) {
    throw Error(ErrorKind::kDatabase, "no diary path was given");
  }
  return std::make_unique<SqliteDiaryConnection>(PathBytes(path), options_);
}

void CreateEmptyDiary(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0) {
    Fail(path, "something already stands at this path; not replacing it");
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::string reason = SqliteMessage(db);
    sqlite3_close(db);
    Fail(path, "cannot be created: " + reason);
  }
  char* message = nullptr;
  const std::string sql = std::string(kJournalSettings) + "BEGIN;" + kDiarySchema + "COMMIT;";
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  const std::string reason = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK) {
    ::unlink(path.c_str());
    Fail(path, "cannot be created: " + reason);
  }
}

}  // namespace sarnlink
