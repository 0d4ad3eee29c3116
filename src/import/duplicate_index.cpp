#include "import/duplicate_index.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "common/time_text.h"
#include "interface/run_stamp.h"

namespace sarnlink {
namespace {

void ReadRow(DiaryRecordset& rows, DiaryRowColumns& row) {
  row.Day = rows.Field(u"Day");
  row.PublishTime = rows.Field(u"PublishTime");
  row.Title = rows.Field(u"Title");
  row.Genre = rows.Field(u"Genre");
  row.Contents = rows.Field(u"Contents");
  row.extend = rows.Field(u"extend");
  row.excerpt = rows.Field(u"excerpt");
  row.Number = rows.Field(u"Number");
  row.ImportMark = rows.Field(u"ImportMark");
}

std::uint64_t Mix(std::uint64_t hash, std::u16string_view column) {
  const std::uint64_t h = std::hash<std::u16string_view>()(column);
  return hash ^ (h + 0x9e3779b97f4a7c15u + (hash << 6) + (hash >> 2));
}

std::uint64_t HashOf(const ComparedColumns& columns) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::u16string& column : columns) {
    hash = Mix(hash, column);
  }
  return hash;
}

// What an entry without a DATE is matched by: Title, Genre and the three texts.
std::uint64_t UndatedHashOf(const ComparedColumns& columns) {
  std::uint64_t hash = 0x84222325cbf29ce4u;
  for (std::size_t k = 2; k < columns.size(); ++k) {
    hash = Mix(hash, columns[k]);
  }
  return hash;
}

bool SameUndated(const ComparedColumns& a, const ComparedColumns& b) {
  return std::equal(a.begin() + 2, a.end(), b.begin() + 2);
}

// Whether an earlier import filed the row for an entry without a DATE: its Day and time are
// the moment its run stamp names, or both are empty, as the host's earlier import left them.
bool FiledWithoutDate(const DiaryRowColumns& row) {
  const std::u16string day = TextOrEmpty(row.Day);
  const std::u16string time = TextOrEmpty(row.PublishTime);
  if (day.empty() && time.empty()) {
    return !TextOrEmpty(row.ImportMark).empty();
  }
  const TimeReading stamp = ReadRunStamp(TextOrEmpty(row.ImportMark));
  return stamp.has_time && time == DiaryTimeText(stamp.moment) && time.compare(0, 10, day) == 0;
}

}  // namespace

DuplicateIndex::DuplicateIndex(DiaryConnection& connection, std::u16string run_stamp)
    : connection_(connection), run_stamp_(std::move(run_stamp)) {
  auto rows = connection_.OpenStatement(ComparedColumnsQuery{}, CursorKind::kForwardOnly,
                                        LockKind::kReadOnly);
  DiaryRowColumns row;
  while (!rows->IsEOF()) {
    ReadRow(*rows, row);
    Index(row);
    rows->MoveNext();
  }
  rows->Close();
}

void DuplicateIndex::Index(const DiaryRowColumns& row) {
  const ComparedColumns raw = RawColumns(row);
  hashes_.insert(HashOf(raw));
  const SourceDay day = IsNull(row.Day) ? SourceDay() : SourceDay(TextOrEmpty(row.Day));
  bool kept = false;
  const auto note = [&](std::unordered_map<std::uint64_t, std::vector<SourceDay>>& index,
                        std::uint64_t hash) {
    std::vector<SourceDay>& days = index[hash];
    if (std::find(days.begin(), days.end(), day) == days.end()) {
      days.push_back(day);
    }
    if (!day && !kept) {
      null_day_rows_.push_back(row);
      kept = true;
    }
  };
  if (ExportChangesRow(row)) {
    note(loose_, LooseKeyOf(raw));  // its forms are made only for an entry that shares the key
  }
  if (FiledWithoutDate(row)) {
    note(undated_, UndatedHashOf(raw));
  }
}

const std::vector<DiaryRowColumns>& DuplicateIndex::RowsOf(const SourceDay& day) {
  if (!day) {
    return null_day_rows_;
  }
  if (cached_ && cached_day_ == day) {
    return cached_rows_;
  }
  cached_rows_.clear();
  const ComparedColumnsQuery statement{*day, run_stamp_};
  auto rows = connection_.OpenStatement(statement, CursorKind::kForwardOnly, LockKind::kReadOnly);
  while (!rows->IsEOF()) {
    DiaryRowColumns row;
    ReadRow(*rows, row);
    cached_rows_.push_back(std::move(row));
    rows->MoveNext();
  }
  rows->Close();
  cached_day_ = day;
  cached_ = true;
  return cached_rows_;
}

const DiaryRowColumns* DuplicateIndex::AnyRowOf(const std::vector<SourceDay>& days,
                                                const ComparedColumns& columns, bool undated) {
  const std::uint64_t key = LooseKeyOf(columns);
  // A row without a moment of its own was written with the export's, which can only have been
  // the entry's.
  const TimeReading entry_moment = ReadTimeText(columns[1]);
  const std::optional<LocalTime> export_moment =
      entry_moment.has_time ? std::optional<LocalTime>(entry_moment.moment) : std::nullopt;
  for (const SourceDay& day : days) {
    for (const DiaryRowColumns& row : RowsOf(day)) {
      if (undated) {
        if (FiledWithoutDate(row) && SameUndated(RawColumns(row), columns)) {
          return &row;
        }
        continue;
      }
      if (!ExportChangesRow(row) || LooseKeyOf(RawColumns(row)) != key) {
        continue;
      }
      const std::vector<ComparedColumns> forms = ExportedForms(row, export_moment);
      if (std::find(forms.begin(), forms.end(), columns) != forms.end()) {
        return &row;
      }
    }
  }
  return nullptr;
}

DuplicateIndex::Holder DuplicateIndex::Holds(const DiaryEntry& entry, const std::u16string& genre) {
  const ComparedColumns columns = {entry.Day,      entry.PublishTime, entry.Title,  genre,
                                   entry.Contents, entry.extend,      entry.excerpt};
  const auto holder = [](Held held, const DiaryRowColumns& row) {
    return Holder{held, row.Day, row.Number, row.ImportMark};
  };
  const std::uint64_t hash = HashOf(columns);
  if (hashes_.count(hash) > 0) {
    for (const DiaryRowColumns& row : RowsOf(SourceDay(entry.Day))) {
      if (RawColumns(row) == columns) {
        return holder(Held::kAsRow, row);
      }
    }
  }
  if (const auto found = loose_.find(LooseKeyOf(columns)); found != loose_.end()) {
    if (const DiaryRowColumns* row = AnyRowOf(found->second, columns, false)) {
      return holder(Held::kAsRow, *row);
    }
  }
  if (entry.undated) {
    if (const auto found = undated_.find(UndatedHashOf(columns)); found != undated_.end()) {
      if (const DiaryRowColumns* row = AnyRowOf(found->second, columns, true)) {
        return holder(Held::kUndated, *row);
      }
    }
  }
  return Holder();
}

}  // namespace sarnlink
