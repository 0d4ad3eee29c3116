#include "import/import_runs.h"

namespace sarnlink {
namespace {

ImportRun RunOf(DiaryRecordset& rows) {
  ImportRun run;
  run.stamp = TextOrEmpty(rows.Field(u"ImportMark"));
  const FieldValue entries = rows.Field(u"Entries");
  run.rows = std::holds_alternative<std::int64_t>(entries) ? std::get<std::int64_t>(entries) : 0;
  run.first_day = TextOrEmpty(rows.Field(u"FirstDay"));
  run.last_day = TextOrEmpty(rows.Field(u"LastDay"));
  return run;
}

std::vector<ImportRun> RunsOf(DiaryConnection& connection, const ImportRunsQuery& query) {
  auto rows = connection.OpenStatement(query, CursorKind::kForwardOnly, LockKind::kReadOnly);
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
  return RunsOf(connection, ImportRunsQuery{});
}

ImportRun FindImportRun(DiaryConnection& connection, const std::u16string& stamp) {
  const std::vector<ImportRun> runs = RunsOf(connection, ImportRunsQuery{stamp});
  if (runs.empty()) {
    ImportRun none;
    none.stamp = stamp;
    return none;
  }
  return runs.front();
}

}  // namespace sarnlink
