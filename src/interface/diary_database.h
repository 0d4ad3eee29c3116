// Port: the diary database, shaped like the ADO calls the drivers make, so that the Windows
// backend is a direct mapping and the SQLite backend runs the very same statement texts.
// Each operation connects, works through one recordset at a time and lets go before it returns.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "interface/diary_query.h"

namespace sarnlink {

// A field's value: Null, text, an integer, or a boolean (Yes/No).
using FieldValue = std::variant<std::monostate, std::u16string, std::int64_t, bool>;

enum class CursorKind { kForwardOnly, kKeyset };
enum class LockKind { kReadOnly, kOptimistic };

class DiaryRecordset {
 public:
  virtual ~DiaryRecordset() = default;
  // Number of rows the recordset delivers.
  virtual std::int32_t RecordCount() = 0;
  // Whether the current position is past the last row.
  virtual bool IsEOF() = 0;
  // The current row's field, by column name.
  virtual FieldValue Field(std::u16string_view name) = 0;
  // The current row's text field as the UTF-8 the backend keeps it in, seen in place through
  // `utf8` until the next MoveNext or Close; false when the backend does not keep text as UTF-8
  // or the field holds no text (then Field gives it). Field's text is this UTF-8 decoded, each
  // invalid byte becoming U+FFFD.
  virtual bool FieldUtf8(std::u16string_view name, std::string_view& utf8) {
    (void)name, (void)utf8;
    return false;
  }
  // The names of the columns each row has, in order; empty where the backend cannot tell (the
  // host's component never asks).
  virtual std::vector<std::u16string> ColumnNames() { return {}; }
  virtual void MoveNext() = 0;
  // Starts a new row; Assign sets its columns; Update commits it by itself.
  virtual void AddNew() = 0;
  virtual void Assign(std::u16string_view name, FieldValue value) = 0;
  virtual void Update() = 0;
  virtual void Close() = 0;
};

class DiaryConnection {
 public:
  virtual ~DiaryConnection() = default;
  // The rows `query` selects.
  virtual std::unique_ptr<DiaryRecordset> OpenStatement(const DiaryQuery& query, CursorKind cursor,
                                                        LockKind lock) = 0;
  virtual std::unique_ptr<DiaryRecordset> OpenTable(const std::u16string& table, CursorKind cursor,
                                                    LockKind lock) = 0;
  // A transaction, as ADO's BeginTrans, CommitTrans and RollbackTrans: BeginTrans takes the
  // diary's write lock (waiting for another writer as the backend allows) and holds it until
  // the commit or rollback. A backend without transactions throws a database error.
  virtual void BeginTrans();
  virtual void CommitTrans();
  virtual void RollbackTrans();
  // Runs a statement that changes rows (a DELETE) and returns how many it changed.
  virtual std::int64_t Execute(const std::u16string& statement);
};

// A transaction for one scope: begun at once, rolled back when the scope is left without
// Commit (an error or a stop unwinding through it).
class DiaryTransaction {
 public:
  explicit DiaryTransaction(DiaryConnection& connection) : connection_(connection) {
    connection_.BeginTrans();
  }
  ~DiaryTransaction();
  DiaryTransaction(const DiaryTransaction&) = delete;
  DiaryTransaction& operator=(const DiaryTransaction&) = delete;
  void Commit() {
    connection_.CommitTrans();
    open_ = false;
  }

 private:
  DiaryConnection& connection_;
  bool open_ = true;  // begun, neither committed nor rolled back
};

// A text as an SQL string literal, its quotes doubled, for the few statements that name a
// value (a day, a run stamp).
std::u16string SqlText(const std::u16string& text);

class DiaryDatabase {
 public:
  virtual ~DiaryDatabase() = default;
  // Opens a connection to the diary at `path`. Never creates a file. Throws a database error
  // naming the path and the reason.
  virtual std::unique_ptr<DiaryConnection> Connect(const std::u16string& path) = 0;
};

// The twelve columns of the host's table Contents, in its order, which every diary has.
inline constexpr const char16_t* kDiaryColumns[] = {
    u"Day",    u"Number",  u"Weather",   u"Genre",       u"Title",   u"Contents",
    u"extend", u"excerpt", u"TrackBack", u"PublishTime", u"Private", u"ImportMark"};

// Whether two column names name the same column: as the engines compare them, ignoring the
// case of ASCII letters.
bool SameColumnName(std::u16string_view a, std::u16string_view b);

// Conversions of field values, as the drivers read them.
bool IsNull(const FieldValue& value);
// Null reads as false; an integer is true when it is not 0.
bool IsTrue(const FieldValue& value);
// Null gives the empty text; an integer gives its decimal text.
std::u16string TextOrEmpty(const FieldValue& value);
// Like TextOrEmpty, but a Null is an error naming `what`.
std::u16string TextOf(const FieldValue& value, const std::string& what);
// A signed 16-bit number; a Null, a text that is no number or a value past 32767 is an error
// naming `what`.
std::int16_t Int16Of(const FieldValue& value, const std::string& what);

}  // namespace sarnlink
