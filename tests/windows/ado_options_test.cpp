// The ADO diary's real calls, answered by stand-ins for ADO's classes: each statement goes to
// Recordset.Open as SQL text (adCmdText) and the table for insertion by name
// (adCmdTableDirect), a diary path that holds ";" or quotes reaches the connection string
// quoted, and the record count is read as wide as ADO writes it.
// Ends with "ado_options: N passed, M failed" and exits non-zero on any failure.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ado_fakes.h"
#include "interface/ado/ado_diary.h"
#include "interface/diary_statements.h"
#include "wine_test_tally.h"

namespace {}  // namespace

int main() {
  using namespace sarnlink;
  CoInitialize(nullptr);
  Check(SUCCEEDED(RegisterAdoFakes()), "the stand-ins are registered");
  AdoDiaryDatabase diary;
  SetFakeRecordCount(0x12345678);
  {
    auto connection = diary.Connect(u"C:\\日記\\a;b.mdb");
    Check(FakeConnectionString() ==
              u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\日記\\a;b.mdb\"",
          "a path with \";\" is quoted in the connection string");
    const DiaryQuery queries[] = {EntrySelection{u"旅行", u"2004/01/01", u"", 1},
                                  DayNumbersQuery{},
                                  GenreListQuery{},
                                  ImportRunsQuery{},
                                  StampUseQuery{u"x"},
                                  ComparedColumnsQuery{}};
    std::size_t k = 0;
    for (const DiaryQuery& query : queries) {
      auto rows = connection->OpenStatement(query, CursorKind::kKeyset, LockKind::kReadOnly);
      Check(rows->RecordCount() == 0x12345678, "the record count is read whole");
      rows->Close();
      std::string statement = "statement ";
      statement += std::to_string(k);
      Check(FakeOpens() == k + 1 && FakeSource(k) == StatementText(query),
            statement + " reaches Recordset.Open as it is");
      Check(FakeOption(k) == 1, statement + " is opened as SQL text (1)");
      ++k;
    }
    auto table = connection->OpenTable(kEntryTable, CursorKind::kKeyset, LockKind::kOptimistic);
    Check(FakeSource(k) == u"Contents" && FakeOption(k) == 512,
          "the table is opened by name (512)");
    table->Close();
  }
  struct Quoting {
    const char16_t* path;
    const char16_t* value;
  };
  const Quoting quotings[] = {
      {u"C:\\plain.mdb", u"C:\\plain.mdb"},
      {u"C:\\it's.mdb", u"\"C:\\it's.mdb\""},
      {u"C:\\say \"hi\";.mdb", u"'C:\\say \"hi\";.mdb'"},
      {u"C:\\'both\".mdb", u"\"C:\\'both\"\".mdb\""},
      {u" C:\\space.mdb", u"\" C:\\space.mdb\""},
  };
  for (const Quoting& quoting : quotings) {
    diary.Connect(quoting.path);
    Check(FakeConnectionString() ==
              std::u16string(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + quoting.value,
          "the connection string quotes its path as OLE DB reads it");
  }
  CoUninitialize();
  return Summary("ado_options");
}
