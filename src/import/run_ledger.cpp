#include "import/run_ledger.h"

#include "common/text.h"
#include "interface/diary_statements.h"

namespace sarnlink {
namespace {

bool HasToolTables(DiaryConnection& connection) {
  auto rows =
      connection.OpenStatement(ToolTablesQuery{}, CursorKind::kForwardOnly, LockKind::kReadOnly);
  const FieldValue found = rows->IsEOF() ? FieldValue() : rows->Field(u"Found");
  rows->Close();
  const auto* count = std::get_if<std::int64_t>(&found);
  return count && *count > 0;
}

void MakeToolTables(DiaryConnection& connection) {
  for (const char16_t* statement : kToolRunTables) {
    connection.Execute(statement);
  }
}

}  // namespace

void RecordToolRun(DiaryConnection& connection, const std::u16string& stamp) {
  MakeToolTables(connection);
  connection.Execute(u"INSERT OR IGNORE INTO " + std::u16string(kRunsTable) + u" VALUES (" +
                     SqlText(stamp) + u");");
}

void RecordPassedOver(DiaryConnection& connection, const std::u16string& stamp,
                      const std::u16string& day, std::int64_t number) {
  connection.Execute(u"INSERT OR IGNORE INTO " + std::u16string(kPassedOverTable) + u" VALUES (" +
                     SqlText(stamp) + u", " + SqlText(day) + u", " + DecimalText(number) + u");");
}

std::set<std::u16string> ToolRunStamps(DiaryConnection& connection) {
  std::set<std::u16string> stamps;
  if (!HasToolTables(connection)) {
    return stamps;
  }
  auto rows = connection.OpenStatement(ToolRecordQuery{kRunsTable}, CursorKind::kForwardOnly,
                                       LockKind::kReadOnly);
  while (!rows->IsEOF()) {
    stamps.insert(TextOrEmpty(rows->Field(u"Stamp")));
    rows->MoveNext();
  }
  rows->Close();
  return stamps;
}

void CopyToolRecords(DiaryConnection& from, DiaryConnection& to) {
  if (!HasToolTables(from)) {
    return;
  }
  MakeToolTables(to);
  for (const std::u16string& stamp : ToolRunStamps(from)) {
    RecordToolRun(to, stamp);
  }
  auto passes = from.OpenStatement(ToolRecordQuery{kPassedOverTable}, CursorKind::kForwardOnly,
                                   LockKind::kReadOnly);
  while (!passes->IsEOF()) {
    const FieldValue number = passes->Field(u"Number");
    RecordPassedOver(
        to, TextOrEmpty(passes->Field(u"Stamp")), TextOrEmpty(passes->Field(u"Day")),
        std::holds_alternative<std::int64_t>(number) ? std::get<std::int64_t>(number) : 0);
    passes->MoveNext();
  }
  passes->Close();
}

UndoneRun UndoImportRun(DiaryConnection& connection, const std::u16string& stamp) {
  UndoneRun undone;
  const std::u16string run = SqlText(stamp);
  if (HasToolTables(connection)) {
    const std::u16string passed = kPassedOverTable;
    const std::u16string later_pass = u"FROM " + passed + u" p WHERE p.Day = Contents.Day AND " +
                                      u"p.Number = Contents.Number AND p.Stamp <> " + run;
    undone.kept = connection.Execute(u"UPDATE Contents SET ImportMark = (SELECT Min(p.Stamp) " +
                                     later_pass + u") WHERE Contents.ImportMark = " + run +
                                     u" AND EXISTS (SELECT 1 " + later_pass + u");");
    // A record is done with once its run is gone or the row is that run's own now.
    connection.Execute(u"DELETE FROM " + passed + u" WHERE Stamp = " + run +
                       u" OR EXISTS (SELECT 1 FROM Contents c WHERE c.Day = " + passed +
                       u".Day AND c.Number = " + passed + u".Number AND c.ImportMark = " + passed +
                       u".Stamp);");
    connection.Execute(u"DELETE FROM " + std::u16string(kRunsTable) + u" WHERE Stamp = " + run +
                       u";");
  }
  undone.deleted =
      connection.Execute(u"DELETE FROM Contents WHERE Contents.ImportMark = " + run + u";");
  return undone;
}

}  // namespace sarnlink
