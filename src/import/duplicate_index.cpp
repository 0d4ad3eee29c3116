#include "import/duplicate_index.h"

#include <functional>
#include <string_view>

namespace sarnlink {
namespace {

// The compared columns, by name, in the order of Columns.
constexpr const char16_t* kComparedColumns[] = {u"Day",      u"PublishTime", u"Title",  u"Genre",
                                                u"Contents", u"extend",      u"excerpt"};

// The compared columns of the current row; a Null reads as the empty text.
template <class Columns>
void ReadColumns(DiaryRecordset& rows, Columns& columns) {
  for (std::size_t k = 0; k < columns.size(); ++k) {
    columns[k] = TextOrEmpty(rows.Field(kComparedColumns[k]));
  }
}

}  // namespace

DuplicateIndex::DuplicateIndex(DiaryConnection& connection, std::u16string run_stamp)
    : connection_(connection), run_stamp_(std::move(run_stamp)) {
  auto rows = connection_.OpenStatement(ComparedColumnsQuery{}, CursorKind::kForwardOnly,
                                        LockKind::kReadOnly);
  Columns columns;
  while (!rows->IsEOF()) {
    ReadColumns(*rows, columns);
    hashes_.insert(HashOf(ViewsOf(columns)));
    rows->MoveNext();
  }
  rows->Close();
}

DuplicateIndex::ColumnViews DuplicateIndex::ViewsOf(const Columns& columns) {
  ColumnViews views;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    views[k] = columns[k];
  }
  return views;
}

std::uint64_t DuplicateIndex::HashOf(const ColumnViews& columns) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::u16string_view column : columns) {
    const std::uint64_t h = std::hash<std::u16string_view>()(column);
    hash ^= h + 0x9e3779b97f4a7c15u + (hash << 6) + (hash >> 2);
  }
  return hash;
}

const std::vector<DuplicateIndex::Columns>& DuplicateIndex::RowsOfDay(const std::u16string& day) {
  if (cached_ && cached_day_ == day) {
    return cached_rows_;
  }
  cached_rows_.clear();
  const ComparedColumnsQuery statement{day, run_stamp_};
  auto rows = connection_.OpenStatement(statement, CursorKind::kForwardOnly, LockKind::kReadOnly);
  while (!rows->IsEOF()) {
    Columns columns;
    ReadColumns(*rows, columns);
    cached_rows_.push_back(std::move(columns));
    rows->MoveNext();
  }
  rows->Close();
  cached_day_ = day;
  cached_ = true;
  return cached_rows_;
}

bool DuplicateIndex::Holds(const DiaryEntry& entry, const std::u16string& genre) {
  const ColumnViews columns = {entry.Day,      entry.PublishTime, entry.Title,  genre,
                               entry.Contents, entry.extend,      entry.excerpt};
  if (hashes_.find(HashOf(columns)) == hashes_.end()) {
    return false;
  }
  for (const Columns& row : RowsOfDay(entry.Day)) {
    if (ViewsOf(row) == columns) {
      return true;
    }
  }
  return false;
}

}  // namespace sarnlink
