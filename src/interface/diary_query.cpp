#include "interface/diary_query.h"

#include "interface/diary_database.h"
#include "interface/diary_statements.h"

namespace sarnlink {
namespace {

constexpr char16_t kRunsSelection[] =
    u"SELECT Contents.ImportMark, Count(*) AS Entries, Min(Contents.Day) AS FirstDay, "
    u"Max(Contents.Day) AS LastDay FROM Contents ";

constexpr char16_t kComparedSelection[] =
    u"SELECT Contents.Day, Contents.PublishTime, Contents.Title, Contents.Genre, "
    u"Contents.Contents, Contents.extend, Contents.excerpt, Contents.Number, Contents.ImportMark "
    u"FROM Contents";

// A condition the settings leave unset admits Null as well: "Like '%'" alone would drop a row
// whose column is Null, and an export of everything must write every row.
std::u16string PrivacyCondition(std::int16_t publish) {
  switch (publish) {
    case 0:
      return u" Like '%' Or (Contents.Private) Is Null";
    case 1:
      return u"= FALSE";
    case 2:
      return u"= TRUE";
    default:
      return u"";
  }
}

// An apostrophe inside a genre or bound is doubled, so no setting can change the statement's
// structure. Without bounds there is no condition on Day at all, so that a Null or empty Day
// (which the open bound 0000/00/00 would leave out) is selected too; with either bound set the
// day compares as text, strictly, between both.
std::u16string TextOf(const EntrySelection& selection) {
  const std::u16string genre = selection.genre.empty()
                                   ? std::u16string(u" Like '%' Or (Contents.Genre) Is Null")
                                   : u"= " + SqlText(selection.genre);
  std::u16string text = std::u16string(kSelectionStatementStart) + u"WHERE (((Contents.Genre)" +
                        genre + u") AND ((Contents.Private)" + PrivacyCondition(selection.publish) +
                        u")";
  if (HasDayBounds(selection)) {
    const std::u16string lower =
        SqlText(selection.start_day.empty() ? kOpenLowerDay : selection.start_day);
    const std::u16string upper =
        SqlText(selection.end_day.empty() ? kOpenUpperDay : selection.end_day);
    text += u" AND ((Contents.Day)>" + lower + u" And (Contents.Day)<" + upper + u")";
  }
  return text + u");";
}

std::u16string TextOf(const DayNumbersQuery&) {
  return kDayNumbersStatement;
}

std::u16string TextOf(const GenreListQuery&) {
  return kGenreListStatement;
}

std::u16string TextOf(const ImportRunsQuery& query) {
  if (query.stamp) {
    return std::u16string(kRunsSelection) + u"WHERE Contents.ImportMark = " +
           SqlText(*query.stamp) + u" GROUP BY Contents.ImportMark;";
  }
  return std::u16string(kRunsSelection) +
         u"WHERE Contents.ImportMark Is Not Null AND Contents.ImportMark "
         u"<> '' GROUP BY Contents.ImportMark ORDER BY Contents.ImportMark;";
}

std::u16string TextOf(const StampUseQuery& query) {
  return u"SELECT Count(*) AS Used FROM Contents WHERE Contents.ImportMark = " +
         SqlText(query.stamp);
}

std::u16string TextOf(const ComparedColumnsQuery& query) {
  std::u16string text = kComparedSelection;
  if (!query.day) {
    return text;
  }
  text += u" WHERE Contents.Day = " + SqlText(*query.day);
  if (!query.other_than_stamp.empty()) {
    text += u" AND (Contents.ImportMark Is Null OR Contents.ImportMark <> " +
            SqlText(query.other_than_stamp) + u")";
  }
  return text;
}

std::u16string TextOf(const EveryRowQuery&) {
  return u"SELECT * FROM Contents;";
}

// SQLite's own catalogue: only the SQLite diary holds the tool's tables.
std::u16string TextOf(const ToolTablesQuery&) {
  return u"SELECT Count(*) AS Found FROM sqlite_master WHERE type = 'table' AND name IN (" +
         SqlText(kRunsTable) + u", " + SqlText(kPassedOverTable) + u");";
}

std::u16string TextOf(const ToolRecordQuery& query) {
  return u"SELECT * FROM " + query.table + u";";
}

}  // namespace

bool HasDayBounds(const EntrySelection& selection) {
  return !selection.start_day.empty() || !selection.end_day.empty();
}

std::u16string StatementText(const DiaryQuery& query) {
  return std::visit([](const auto& q) { return TextOf(q); }, query);
}

}  // namespace sarnlink
