#include "import/import_runs.h"

namespace sarnlink {
namespace {

constexpr char16_t kRunsSelection[] =
    u"SELECT Contents.ImportMark, Count(*) AS Entries, Min(Contents.Day) AS FirstDay, "
    u"Max(Contents.Day) AS LastDay FROM Contents ";

ImportRun RunOf(DiaryRecordset& rows) {
  ImportRun run;
  run.stamp = TextOrEmpty(rows.Field(u"ImportMark"));
  const FieldValue entries = rows.Field(u"Entries");
  run.rows = std::holds_alternative<std::int64_t>(entries) ? std::get<std::int64_t>(entries) : 0;
  run.first_day = TextOrEmpty(rows.Field(u"FirstDay"));
  run.last_day = TextOrEmpty(rows.Field(u"LastDay"));
  return run;
}

std::vector<ImportRun> RunsOf(DiaryConnection& connection, const std::u16string& statement) {
  auto rows = connection.OpenStatement(statement, CursorKind::kForwardOnly, LockKind::kReadOnly);
  std::vector<ImportRun> runs;
  while (!rows->IsEOF()) {
    runs.push_back(RunOf(*rows));
    rows->MoveNext();
  }
  rows->Close();
  return runs;
}

}  // namespace

std::vector<ImportRun> ListImportRuns(DiaryConnection& connection) {
  return RunsOf(connection,
                std::u16string(kRunsSelection) +
                    u"WHERE Contents.ImportMark Is Not Null AND Contents.ImportMark "
                    u"<> '' GROUP BY Contents.ImportMark ORDER BY Contents.ImportMark;");
}

ImportRun FindImportRun(DiaryConnection& connection, const std::u16string& stamp) {
  const std::vector<ImportRun> runs =
      RunsOf(connection, std::u16string(kRunsSelection) + u"WHERE Contents.ImportMark = " +
                             SqlText(stamp) + u" GROUP BY Contents.ImportMark;");
  if (runs.empty()) {
    ImportRun none;
    none.stamp = stamp;
    return none;
  }
  return runs.front();
}

std::int64_t DeleteImportRun(DiaryConnection& connection, const std::u16string& stamp) {
  return connection.Execute(u"DELETE FROM Contents WHERE Contents.ImportMark = " + SqlText(stamp) +
                            u";");
}

}  // namespace sarnlink
