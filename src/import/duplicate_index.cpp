#include "import/duplicate_index.h"

#include <functional>
#include <string_view>

namespace sarnlink {
namespace {

// The compared columns, by name, in the order of Columns.
constexpr const char16_t* kComparedColumns[] = {u"Day",      u"PublishTime", u"Title",  u"Genre",
                                                u"Contents", u"extend",      u"excerpt"};

constexpr char16_t kComparedSelection[] =
    u"SELECT Contents.Day, Contents.PublishTime, Contents.Title, Contents.Genre, "
    u"Contents.Contents, Contents.extend, Contents.excerpt FROM Contents";

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
  auto rows =
      connection_.OpenStatement(kComparedSelection, CursorKind::kForwardOnly, LockKind::kReadOnly);
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
  std::u16string statement =
      std::u16string(kComparedSelection) + u" WHERE Contents.Day = " + SqlText(day);
  if (!run_stamp_.empty()) {
    statement += u" AND (Contents.ImportMark Is Null OR Contents.ImportMark <> " +
                 SqlText(run_stamp_) + u")";
  }
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
