// The ADO diary's real calls, answered by stand-ins for ADO's classes: each statement goes to
// Recordset.Open as SQL text (adCmdText) and the table for insertion by name
// (adCmdTableDirect), a diary path that holds ";" or quotes reaches the connection string
// quoted, and the record count is read as wide as ADO writes it; a count of -1 (a provider or
// cursor that cannot count) is made by walking the rows, and field values of every type ADO may
// hand over are read as the drivers expect or named in an error.
// Ends with "ado_options: N passed, M failed" and exits non-zero on any failure.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ado_fakes.h"
#include "common/errors.h"
#include "interface/ado/ado_diary.h"
#include "interface/diary_statements.h"
#include "wine_test_tally.h"

namespace {

using namespace sarnlink;

// A provider or cursor that cannot count answers -1: the count comes from walking the rows, and
// the reading then starts at the first row.
void UncountedRowsAreCountedByWalking(AdoDiaryDatabase& diary) {
  auto connection = diary.Connect(u"C:\\diary.mdb");
  for (const std::size_t n : {std::size_t{0}, std::size_t{3}}) {
    std::vector<VARIANT> rows(n);
    for (std::size_t k = 0; k < n; ++k) {
      V_VT(&rows[k]) = VT_I4;
      V_I4(&rows[k]) = static_cast<LONG>(k + 1);
    }
    SetFakeRows(rows);
    SetFakeRecordCount(-1);
    const std::size_t move_firsts = FakeMoveFirsts();
    auto recordset =
        connection->OpenStatement(DayNumbersQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
    const std::string what = std::to_string(n) + " rows, uncounted: ";
    Check(recordset->RecordCount() == static_cast<std::int32_t>(n), what + "counted by walking");
    std::vector<std::int64_t> read;
    while (!recordset->IsEOF()) {
      read.push_back(std::get<std::int64_t>(recordset->Field(u"NumMax")));
      recordset->MoveNext();
    }
    Check(read.size() == n && (n == 0 || (read.front() == 1 && read.back() == 3)),
          what + "then read from the first row");
    Check(FakeMoveFirsts() - move_firsts == (n > 0 ? 1u : 0u),
          what + "back to the first row only when there is one");
    recordset->Close();
  }
  SetFakeRows({});
}

VARIANT Of(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = type;
  return v;
}

// A value of each type ADO may hand over for a column, as the drivers read it, or the error
// that names the column.
void FieldValuesOfEveryType(AdoDiaryDatabase& diary) {
  SYSTEMTIME moment = {2006, 1, 4, 5, 9, 5, 7, 0};
  VARIANT date = Of(VT_DATE);
  SystemTimeToVariantTime(&moment, &V_DATE(&date));
  VARIANT whole = Of(VT_R8), fraction = Of(VT_R8), decimal = Of(VT_DECIMAL), currency = Of(VT_CY);
  V_R8(&whole) = 3.0;
  V_R8(&fraction) = 1.5;
  VarDecFromI4(42, &V_DECIMAL(&decimal));
  V_VT(&decimal) = VT_DECIMAL;    // VarDecFromI4 writes over the whole VARIANT's first bytes
  V_CY(&currency).int64 = 25000;  // 2.5
  VARIANT small = Of(VT_I2), byte = Of(VT_UI1), binary = Of(VT_ARRAY | VT_UI1);
  V_I2(&small) = -5;
  V_UI1(&byte) = 200;
  V_ARRAY(&binary) = SafeArrayCreateVector(VT_UI1, 0, 4);
  struct Case {
    const char* name;
    VARIANT value;
    const char16_t* column;
    FieldValue expected;
    const char* error;  // what the error says, when the value cannot be read
  };
  const Case cases[] = {
      {"Null", Of(VT_NULL), u"Title", std::monostate(), nullptr},
      {"a 16-bit integer", small, u"Number", std::int64_t{-5}, nullptr},
      {"a byte", byte, u"Weather", std::int64_t{200}, nullptr},
      {"a whole Double", whole, u"Number", std::int64_t{3}, nullptr},
      {"a Double with a fraction", fraction, u"Number", std::u16string(u"1.5"), nullptr},
      {"a Decimal", decimal, u"Number", std::int64_t{42}, nullptr},
      {"Currency", currency, u"Number", std::u16string(u"2.5"), nullptr},
      {"a Date/Time as PublishTime", date, u"PublishTime", std::u16string(u"2006/01/05 09:05:07"),
       nullptr},
      {"a Date/Time as Day", date, u"Day", std::u16string(u"2006/01/05"), nullptr},
      {"binary data", binary, u"Title", std::monostate(), "the field Title holds binary data"},
  };
  auto connection = diary.Connect(u"C:\\diary.mdb");
  for (const Case& c : cases) {
    SetFakeRows({c.value});
    SetFakeRecordCount(1);
    auto recordset =
        connection->OpenStatement(EveryRowQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
    std::string error;
    FieldValue value;
    try {
      value = recordset->Field(c.column);
    } catch (const Error& e) {
      error = e.what();
    }
    recordset->Close();
    if (c.error) {
      Check(error.find(c.error) != std::string::npos, std::string(c.name) + ": named, " + error);
    } else {
      Check(error.empty() && value == c.expected, std::string(c.name) + ": read " + error);
    }
  }
  SetFakeRows({});
  SafeArrayDestroy(V_ARRAY(&binary));
}

}  // namespace

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
  UncountedRowsAreCountedByWalking(diary);
  FieldValuesOfEveryType(diary);
  CoUninitialize();
  return Summary("ado_options");
}
