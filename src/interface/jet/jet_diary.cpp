#include "interface/jet/jet_diary.h"

#include <algorithm>
#include <map>
#include <optional>

#include "common/errors.h"
#include "common/path_text.h"
#include "encoding/utf8.h"
#include "interface/diary_statements.h"
#include "interface/jet/jet_contents.h"
#include "interface/jet/jet_order.h"

namespace sarnlink {
namespace {

[[noreturn]] void Refuse(const std::string& path) {
  throw Error(ErrorKind::kRefused, JetDiaryIsReadOnly(path));
}

const std::u16string* TextIn(const FieldValue& value) {
  return std::get_if<std::u16string>(&value);
}

// The table's rows that `Keeps` lets through. They come in the table's order, as the SQLite
// diary gives a statement's rows when no index serves it, except for a selection of every
// genre between day bounds: the SQLite diary serves that one through its index on (Day,
// Number), so its rows come in that order, and here too. Such a selection keeps each row's day,
// number and place from a first pass and reads the rows by place; any other counts in a pass of
// its own.
class JetRowsRecordset : public DiaryRecordset {
 public:
  JetRowsRecordset(std::string path, DiaryQuery query)
      : path_(std::move(path)), query_(std::move(query)), rows_(JetContents::OpenFile(path_)) {
    Columns(*rows_);
    const auto* selection = std::get_if<EntrySelection>(&query_);
    if (selection && selection->genre.empty() && HasDayBounds(*selection)) {
      OrderByDayAndNumber();
    }
    MoveNext();
  }

  std::int32_t RecordCount() override {
    if (ordered_) {
      return static_cast<std::int32_t>(order_.size());
    }
    auto counting = JetContents::OpenFile(path_);
    counting->DecodeOnly(KeyColumns());
    std::vector<FieldValue> row;
    std::int32_t count = 0;
    while (counting->Next(row)) {
      count += Keeps(row) ? 1 : 0;
    }
    return count;
  }

  bool IsEOF() override { return eof_; }

  FieldValue Field(std::u16string_view name) override {
    if (eof_) {
      throw Error(ErrorKind::kDatabase,
                  "diary " + path_ + ": no current row to read " + ToUtf8(name) + " from");
    }
    const int column = rows_->ColumnIndex(name);
    if (column < 0) {
      throw Error(ErrorKind::kDatabase, "diary " + path_ + ": no column " + ToUtf8(name));
    }
    return row_[static_cast<std::size_t>(column)];
  }

  std::vector<std::u16string> ColumnNames() override {
    std::vector<std::u16string> names;
    for (const JetColumn& column : rows_->Columns()) {
      names.push_back(column.name);
    }
    return names;
  }

  void MoveNext() override {
    if (ordered_) {
      eof_ = next_ >= order_.size();
      if (!eof_) {
        rows_->ReadAt(order_[next_++].place, row_);
      }
      return;
    }
    while (rows_->Next(row_)) {
      if (Keeps(row_)) {
        eof_ = false;
        return;
      }
    }
    eof_ = true;
  }

  void AddNew() override { Refuse(path_); }
  void Assign(std::u16string_view, FieldValue) override { Refuse(path_); }
  void Update() override { Refuse(path_); }
  void Close() override { eof_ = true; }

 private:
  // Finds the columns the queries look at; the table must have them.
  void Columns(const JetContents& rows) {
    const auto find = [&](std::u16string_view name) {
      const int k = rows.ColumnIndex(name);
      if (k < 0) {
        throw Error(ErrorKind::kDatabase,
                    "diary " + path_ + ": the table Contents has no column " + ToUtf8(name));
      }
      return static_cast<std::size_t>(k);
    };
    day_ = find(u"Day");
    number_ = find(u"Number");
    genre_ = find(u"Genre");
    private_ = find(u"Private");
    stamp_ = find(u"ImportMark");
  }

  // The first pass of a selection of every genre: the rows it takes, in the order of the
  // SQLite diary's index (Day, then Number, Null first; then the table's order).
  void OrderByDayAndNumber() {
    std::vector<FieldValue> row;
    rows_->DecodeOnly(KeyColumns());
    while (rows_->Next(row)) {
      if (Keeps(row)) {
        const auto* n = std::get_if<std::int64_t>(&row[number_]);
        order_.push_back(Placed{std::get<std::u16string>(row[day_]), n != nullptr, n ? *n : 0,
                                order_.size(), rows_->LastPlace()});
      }
    }
    std::sort(order_.begin(), order_.end(), [](const Placed& a, const Placed& b) {
      if (const int day = CompareText(a.day, b.day); day != 0) {
        return day < 0;
      }
      if (a.has_number != b.has_number || a.number != b.number) {
        return a.has_number != b.has_number ? !a.has_number : a.number < b.number;
      }
      return a.sequence < b.sequence;
    });
    rows_->DecodeOnly({});
    ordered_ = true;
  }

  // The columns the queries' conditions and the order look at.
  std::vector<std::size_t> KeyColumns() const { return {day_, number_, genre_, private_, stamp_}; }

  bool Keeps(const std::vector<FieldValue>& row) const {
    if (const auto* selection = std::get_if<EntrySelection>(&query_)) {
      return Selects(*selection, row);
    }
    if (const auto* compared = std::get_if<ComparedColumnsQuery>(&query_);
        compared && compared->day) {
      const std::u16string* day = TextIn(row[day_]);
      if (!day || *day != *compared->day) {
        return false;
      }
      const std::u16string* stamp = TextIn(row[stamp_]);
      return compared->other_than_stamp.empty() || !stamp || *stamp != compared->other_than_stamp;
    }
    return true;
  }

  // The selection's WHERE clause: a filter left unset takes every row, Null included; a genre
  // that is set takes that genre alone, a publish filter Yes or No alone, and bounds a Day
  // strictly between them.
  bool Selects(const EntrySelection& selection, const std::vector<FieldValue>& row) const {
    const std::u16string* genre = TextIn(row[genre_]);
    if (!selection.genre.empty() && (!genre || *genre != selection.genre)) {
      return false;
    }
    const FieldValue& privacy = row[private_];
    if (selection.publish != 0) {
      if (IsNull(privacy)) {
        return false;  // Null compares as neither Yes nor No
      }
      const bool is_private = IsTrue(privacy);
      if (selection.publish == 1 ? is_private : !is_private) {
        return false;
      }
    }
    if (!HasDayBounds(selection)) {
      return true;
    }
    const std::u16string* day = TextIn(row[day_]);
    const std::u16string lower = selection.start_day.empty() ? kOpenLowerDay : selection.start_day;
    const std::u16string upper = selection.end_day.empty() ? kOpenUpperDay : selection.end_day;
    return day && CompareText(*day, lower) > 0 && CompareText(*day, upper) < 0;
  }

  std::string path_;
  DiaryQuery query_;
  std::unique_ptr<JetContents> rows_;
  std::vector<FieldValue> row_;  // the current row
  bool eof_ = true;
  // A selection of every genre: its rows' days, numbers and places, in order.
  struct Placed {
    std::u16string day;
    bool has_number;
    std::int64_t number;
    std::size_t sequence;  // in the table's order
    JetRowPlace place;
  };
  bool ordered_ = false;
  std::vector<Placed> order_;
  std::size_t next_ = 0;  // the next of them to read
  // The columns the queries read.
  std::size_t day_ = 0, number_ = 0, genre_ = 0, private_ = 0, stamp_ = 0;
};

// A query's result worked out whole before the first row: the grouped queries, whose rows are
// one a day, a genre or a run.
class JetResultRecordset : public DiaryRecordset {
 public:
  JetResultRecordset(std::string path, std::vector<std::u16string> names,
                     std::vector<std::vector<FieldValue>> rows)
      : path_(std::move(path)), names_(std::move(names)), rows_(std::move(rows)) {}

  std::int32_t RecordCount() override { return static_cast<std::int32_t>(rows_.size()); }
  bool IsEOF() override { return next_ >= rows_.size(); }
  FieldValue Field(std::u16string_view name) override {
    if (IsEOF()) {
      throw Error(ErrorKind::kDatabase,
                  "diary " + path_ + ": no current row to read " + ToUtf8(name) + " from");
    }
    for (std::size_t k = 0; k < names_.size(); ++k) {
      if (SameColumnName(names_[k], name)) {
        return rows_[next_][k];
      }
    }
    throw Error(ErrorKind::kDatabase, "diary " + path_ + ": no column " + ToUtf8(name));
  }
  std::vector<std::u16string> ColumnNames() override { return names_; }
  void MoveNext() override { ++next_; }
  void AddNew() override { Refuse(path_); }
  void Assign(std::u16string_view, FieldValue) override { Refuse(path_); }
  void Update() override { Refuse(path_); }
  void Close() override { next_ = rows_.size(); }

 private:
  std::string path_;
  std::vector<std::u16string> names_;
  std::vector<std::vector<FieldValue>> rows_;
  std::size_t next_ = 0;
};

// Group keys: Null first, then texts in the SQLite diary's order.
struct KeyOrder {
  bool operator()(const std::optional<std::u16string>& a,
                  const std::optional<std::u16string>& b) const {
    if (!a || !b) {
      return !a && b;
    }
    return CompareText(*a, *b) < 0;
  }
};

using Key = std::optional<std::u16string>;

Key KeyOf(const FieldValue& value) {
  const std::u16string* text = TextIn(value);
  return text ? Key(*text) : Key();
}

FieldValue ValueOf(const Key& key) {
  return key ? FieldValue(*key) : FieldValue();
}

// Max and Min as the engines take them: Null values are passed over.
void KeepHigher(FieldValue& kept, const FieldValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    const auto* old = std::get_if<std::int64_t>(&kept);
    if (!old || *number > *old) {
      kept = *number;
    }
  }
}

void KeepText(FieldValue& kept, const FieldValue& value, bool higher) {
  const std::u16string* text = TextIn(value);
  if (!text) {
    return;
  }
  const std::u16string* old = TextIn(kept);
  if (!old || (higher ? CompareText(*text, *old) > 0 : CompareText(*text, *old) < 0)) {
    kept = *text;
  }
}

class JetConnection : public DiaryConnection {
 public:
  explicit JetConnection(std::string path) : path_(std::move(path)) {
    auto rows = JetContents::OpenFile(path_);  // the file and its table, checked once now
    for (const char16_t* name : {u"Day", u"Number", u"Genre", u"Private", u"ImportMark"}) {
      if (rows->ColumnIndex(name) < 0) {
        throw Error(ErrorKind::kDatabase,
                    "diary " + path_ + ": the table Contents has no column " + ToUtf8(name));
      }
    }
  }

  std::unique_ptr<DiaryRecordset> OpenStatement(const DiaryQuery& query, CursorKind,
                                                LockKind) override {
    if (std::holds_alternative<EntrySelection>(query) ||
        std::holds_alternative<ComparedColumnsQuery>(query) ||
        std::holds_alternative<EveryRowQuery>(query)) {
      return std::make_unique<JetRowsRecordset>(path_, query);
    }
    if (std::holds_alternative<DayNumbersQuery>(query)) {
      return DayNumbers();
    }
    if (std::holds_alternative<GenreListQuery>(query)) {
      return GenreList();
    }
    if (const auto* runs = std::get_if<ImportRunsQuery>(&query)) {
      return ImportRuns(runs->stamp);
    }
    if (std::holds_alternative<ToolTablesQuery>(query)) {
      // The host's diary never holds the tool's own tables.
      return std::make_unique<JetResultRecordset>(
          path_, std::vector<std::u16string>{u"Found"},
          std::vector<std::vector<FieldValue>>{{FieldValue(std::int64_t{0})}});
    }
    if (std::holds_alternative<ToolRecordQuery>(query)) {
      throw Error(ErrorKind::kDatabase, "diary " + path_ + " holds no table of the tool's own");
    }
    return StampUse(std::get<StampUseQuery>(query).stamp);
  }

  std::unique_ptr<DiaryRecordset> OpenTable(const std::u16string&, CursorKind, LockKind) override {
    Refuse(path_);
  }
  void BeginTrans() override { Refuse(path_); }
  void CommitTrans() override { Refuse(path_); }
  void RollbackTrans() override { Refuse(path_); }
  std::int64_t Execute(const std::u16string&) override { Refuse(path_); }

 private:
  // Calls `each` with every row of the table; only the columns the grouped queries look at
  // are decoded.
  template <class Each>
  void ForEachRow(Each each) {
    auto rows = JetContents::OpenFile(path_);
    columns_ = rows.get();
    rows->DecodeOnly({Column(u"Day"), Column(u"Number"), Column(u"Genre"), Column(u"ImportMark")});
    std::vector<FieldValue> row;
    while (rows->Next(row)) {
      each(row);
    }
  }

  std::size_t Column(std::u16string_view name) const {
    return static_cast<std::size_t>(columns_->ColumnIndex(name));
  }

  // GROUP BY Day with Max(Number), days ascending.
  std::unique_ptr<DiaryRecordset> DayNumbers() {
    std::map<Key, FieldValue, KeyOrder> days;
    ForEachRow([&](const std::vector<FieldValue>& row) {
      KeepHigher(days[KeyOf(row[Column(u"Day")])], row[Column(u"Number")]);
    });
    std::vector<std::vector<FieldValue>> result;
    for (const auto& [day, highest] : days) {
      result.push_back({ValueOf(day), highest});
    }
    return std::make_unique<JetResultRecordset>(
        path_, std::vector<std::u16string>{u"Day", u"NumMax"}, std::move(result));
  }

  // GROUP BY Genre, having Genre <> the general genre (so no Null), genres ascending.
  std::unique_ptr<DiaryRecordset> GenreList() {
    std::map<Key, bool, KeyOrder> genres;
    ForEachRow([&](const std::vector<FieldValue>& row) {
      const Key genre = KeyOf(row[Column(u"Genre")]);
      if (genre && *genre != kGeneralGenre) {
        genres[genre] = true;
      }
    });
    std::vector<std::vector<FieldValue>> result;
    for (const auto& entry : genres) {
      result.push_back({ValueOf(entry.first)});
    }
    return std::make_unique<JetResultRecordset>(path_, std::vector<std::u16string>{u"Genre"},
                                                std::move(result));
  }

  // GROUP BY ImportMark: Count(*), Min(Day) and Max(Day) of every stamp neither Null nor
  // empty, or of `only`.
  std::unique_ptr<DiaryRecordset> ImportRuns(const std::optional<std::u16string>& only) {
    struct Run {
      std::int64_t entries = 0;
      FieldValue first, last;
    };
    std::map<Key, Run, KeyOrder> runs;
    ForEachRow([&](const std::vector<FieldValue>& row) {
      const Key stamp = KeyOf(row[Column(u"ImportMark")]);
      if (!stamp || (only ? *stamp != *only : stamp->empty())) {
        return;
      }
      Run& run = runs[stamp];
      ++run.entries;
      KeepText(run.first, row[Column(u"Day")], false);
      KeepText(run.last, row[Column(u"Day")], true);
    });
    std::vector<std::vector<FieldValue>> result;
    for (const auto& [stamp, run] : runs) {
      result.push_back({ValueOf(stamp), run.entries, run.first, run.last});
    }
    return std::make_unique<JetResultRecordset>(
        path_, std::vector<std::u16string>{u"ImportMark", u"Entries", u"FirstDay", u"LastDay"},
        std::move(result));
  }

  std::unique_ptr<DiaryRecordset> StampUse(const std::u16string& stamp) {
    std::int64_t used = 0;
    ForEachRow([&](const std::vector<FieldValue>& row) {
      const std::u16string* mark = TextIn(row[Column(u"ImportMark")]);
      used += mark && *mark == stamp ? 1 : 0;
    });
    return std::make_unique<JetResultRecordset>(path_, std::vector<std::u16string>{u"Used"},
                                                std::vector<std::vector<FieldValue>>{{used}});
  }

  std::string path_;
  const JetContents* columns_ = nullptr;  // the reader of the pass under way
};

}  // namespace

std::string JetDiaryIsReadOnly(const std::string& path) {
  return path +
         " is a Jet diary (the host's .mdb file), which sarnlink only reads: import into it "
         "through the host on Windows, or copy it into an SQLite diary first (sarnlink copy "
         "--from " +
         path + " --to NEW.db) and import into that";
}

std::unique_ptr<DiaryConnection> JetDiaryDatabase::Connect(const std::u16string& path) {
  return std::make_unique<JetConnection>(PathBytes(path));
}

}  // namespace sarnlink
