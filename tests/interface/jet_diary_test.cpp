// The Jet diary reader against real Jet 4 files: every row and column as the file holds them,
// every query with the same rows as the SQLite diary gives for the same rows, and damaged files
// that end with an error naming what is wrong, never a crash or a short read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "common/errors.h"
#include "common/path_text.h"
#include "encoding/utf8.h"
#include "interface/jet/jet_contents.h"
#include "interface/jet/jet_diary.h"
#include "interface/jet/libmdb_library.h"
#include "interface/sqlite/sqlite_diary.h"
#include "support/jet_fixtures.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::NamedRow;

// Compares every column `expected` names with the reader's row.
void ExpectRowsAsExpected(JetContents& rows, const std::vector<NamedRow>& expected) {
  std::vector<FieldValue> row;
  std::size_t n = 0;
  while (rows.Next(row)) {
    ASSERT_LT(n, expected.size()) << "more rows than expected";
    for (const auto& [name, value] : expected[n]) {
      const int column = rows.ColumnIndex(FromUtf8(name));
      ASSERT_GE(column, 0) << name;
      EXPECT_EQ(row[static_cast<std::size_t>(column)], value)
          << "row " << n << ", " << name << ": read "
          << testing::Shown(row[static_cast<std::size_t>(column)]) << ", expected "
          << testing::Shown(value);
    }
    ++n;
  }
  EXPECT_EQ(n, expected.size());
}

class JetFixtureRows : public ::testing::TestWithParam<const char*> {};

TEST_P(JetFixtureRows, EveryColumnOfEveryRowIsAsStored) {
  auto rows = JetContents::OpenFile(testing::JetFixture(GetParam()));
  ExpectRowsAsExpected(*rows, testing::ExpectedJetRows());
  rows->Rewind();
  std::vector<FieldValue> first;
  ASSERT_TRUE(rows->Next(first));  // a second pass starts again at the first row
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JetFixtureRows, ::testing::ValuesIn(testing::kJetFixtures),
                         [](const auto& fixture) { return testing::CaseName(fixture.param); });

TEST(JetMovedRows, RowsMovedToOtherPagesAreReadInTableOrderAndDeletedOnesNot) {
  auto rows = JetContents::OpenFile(testing::DataFile("jet/diary-moved-rows.mdb"));
  ExpectRowsAsExpected(
      *rows, testing::ReadJsonRows(testing::DataFile("jet/diary-moved-rows.expected.jsonl")));
}

TEST(JetExtraColumns, TheTableHasTheColumnsOfTheFile) {
  auto rows = JetContents::OpenFile(testing::JetFixture("diary-extra-columns.mdb"));
  std::vector<std::string> names;
  for (const JetColumn& column : rows->Columns()) {
    names.push_back(ToUtf8(column.name));
  }
  EXPECT_EQ(names.front(), "ID");
  EXPECT_NE(std::find(names.begin(), names.end(), "Mood"), names.end());
  EXPECT_EQ(names.size(), 14u);
}

// Every query, run on a Jet fixture and on an SQLite diary holding the same rows.
struct QueryCase {
  std::string name;
  DiaryQuery query;
};

class JetQueries : public ::testing::TestWithParam<QueryCase> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing::TempDir();
    testing::LoadRowsIntoDiary(testing::ExpectedJetRows(), dir_->File("same.db"));
  }
  static void TearDownTestSuite() { delete dir_; }
  static testing::TempDir* dir_;
};
testing::TempDir* JetQueries::dir_ = nullptr;

std::vector<std::vector<FieldValue>> ResultOf(DiaryConnection& connection, const DiaryQuery& query,
                                              std::vector<std::u16string>& names,
                                              std::int32_t& count) {
  auto rows = connection.OpenStatement(query, CursorKind::kKeyset, LockKind::kReadOnly);
  count = rows->RecordCount();
  std::vector<std::vector<FieldValue>> result;
  if (names.empty()) {
    names = rows->ColumnNames();
  }
  while (!rows->IsEOF()) {
    std::vector<FieldValue> row;
    for (const std::u16string& name : names) {
      FieldValue value = rows->Field(name);
      if (SameColumnName(name, u"Private") && std::holds_alternative<std::int64_t>(value)) {
        value = std::get<std::int64_t>(value) != 0;  // SQLite keeps Yes/No as 1/0
      }
      row.push_back(std::move(value));
    }
    result.push_back(std::move(row));
    rows->MoveNext();
  }
  rows->Close();
  return result;
}

TEST_P(JetQueries, GiveTheRowsTheSqliteDiaryGives) {
  SqliteDiaryDatabase sqlite;
  auto sqlite_connection = sqlite.Connect(PathFromBytes(dir_->File("same.db")));
  std::vector<std::u16string> names;
  std::int32_t sqlite_count = 0;
  const auto want = ResultOf(*sqlite_connection, GetParam().query, names, sqlite_count);
  ASSERT_FALSE(names.empty());
  JetDiaryDatabase jet;
  for (const char* fixture : testing::kJetFixtures) {
    SCOPED_TRACE(fixture);
    auto jet_connection = jet.Connect(PathFromBytes(testing::JetFixture(fixture)));
    std::int32_t jet_count = 0;
    std::vector<std::u16string> jet_names = names;
    if (std::holds_alternative<EveryRowQuery>(GetParam().query)) {
      jet_names.erase(std::remove_if(jet_names.begin(), jet_names.end(),
                                     [](const auto& n) { return n == u"ID" || n == u"Mood"; }),
                      jet_names.end());
    }
    const auto got = ResultOf(*jet_connection, GetParam().query, jet_names, jet_count);
    EXPECT_EQ(jet_count, sqlite_count);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t r = 0; r < got.size(); ++r) {
      for (std::size_t c = 0; c < names.size(); ++c) {
        EXPECT_EQ(got[r][c], want[r][c])
            << "row " << r << ", " << ToUtf8(names[c]) << ": " << testing::Shown(got[r][c])
            << " instead of " << testing::Shown(want[r][c]);
      }
    }
  }
}

EntrySelection Selection(std::u16string genre, std::u16string start, std::u16string end,
                         std::int16_t publish) {
  return EntrySelection{std::move(genre), std::move(start), std::move(end), publish};
}

INSTANTIATE_TEST_SUITE_P(
    EveryQuery, JetQueries,
    ::testing::Values(
        QueryCase{"DayNumbers", DayNumbersQuery{}}, QueryCase{"GenreList", GenreListQuery{}},
        QueryCase{"AllImportRuns", ImportRunsQuery{}},
        QueryCase{"OneImportRun", ImportRunsQuery{u"imp"}},
        QueryCase{"NoSuchImportRun", ImportRunsQuery{u"none"}},
        QueryCase{"StampUse", StampUseQuery{u"MT"}},
        QueryCase{"ComparedColumnsOfEveryRow", ComparedColumnsQuery{}},
        QueryCase{"ComparedColumnsOfADay", ComparedColumnsQuery{u"2001/01/05", u""}},
        QueryCase{"ComparedColumnsOfADayOtherThanARun",
                  ComparedColumnsQuery{u"2001/01/05", u"imp"}},
        QueryCase{"EveryRow", EveryRowQuery{}},
        QueryCase{"SelectEverything", Selection(u"", u"", u"", 0)},
        QueryCase{"SelectPublic", Selection(u"", u"", u"", 1)},
        QueryCase{"SelectPrivate", Selection(u"", u"", u"", 2)},
        QueryCase{"SelectOddPublish", Selection(u"", u"", u"", 7)},
        QueryCase{"SelectGenre", Selection(u"仕事", u"", u"", 0)},
        QueryCase{"SelectEmptyTextGenreIsEveryGenre", Selection(u"", u"", u"", 0)},
        QueryCase{"SelectGeneralGenre", Selection(u"一般", u"", u"", 0)},
        QueryCase{"SelectBeyondTheBmpGenre", Selection(u"𠮷", u"", u"", 0)},
        QueryCase{"SelectBoundsAreExclusive", Selection(u"", u"2000/01/03", u"2001/01/05", 0)},
        QueryCase{"SelectBoundsNothingBetween", Selection(u"", u"2001/01/05", u"2001/01/05", 0)},
        QueryCase{"SelectEverythingBounded", Selection(u"仕事", u"2000/12/31", u"2001/03/01", 1)}),
    testing::ByName());

// A damaged copy of a fixture: what was done to it, and words the error must hold.
struct DamageCase {
  std::string name;
  std::function<void(Bytes&)> damage;
  std::string says;
};

constexpr std::size_t kPage = 4096;

std::uint32_t Int32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Int16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) {
    b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
  }
}

constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"

// The owner of the data pages holding the most rows that are not long values: Contents.
std::uint32_t ContentsOwner(const Bytes& b) {
  std::map<std::uint32_t, std::size_t> rows;
  for (std::size_t p = 1; p < b.size() / kPage; ++p) {
    const std::size_t at = p * kPage;
    if (b[at] == 1 && Int32(b, at + 4) != kLongValueOwner && Int32(b, at + 4) > 2) {
      rows[Int32(b, at + 4)] += Int16(b, at + 12);
    }
  }
  return std::max_element(rows.begin(), rows.end(),
                          [](const auto& x, const auto& y) { return x.second < y.second; })
      ->first;
}

// The offset of the first long-value row whose first four bytes point to another long-value
// row: a piece of a chain.
std::size_t ChainPiece(const Bytes& b) {
  for (std::size_t p = 1; p < b.size() / kPage; ++p) {
    const std::size_t at = p * kPage;
    if (b[at] != 1 || Int32(b, at + 4) != kLongValueOwner) {
      continue;
    }
    for (std::size_t r = 0; r < Int16(b, at + 12); ++r) {
      const std::size_t row = at + (Int16(b, at + 14 + 2 * r) & 0x1FFF);
      const std::uint32_t next = Int32(b, row);
      const std::size_t next_page = next >> 8;
      if (next != 0 && next_page < b.size() / kPage &&
          Int32(b, next_page * kPage + 4) == kLongValueOwner) {
        return row;
      }
    }
  }
  ADD_FAILURE() << "no chained long value in the fixture";
  return 0;
}

// The first row of the first data page of Contents.
std::size_t FirstContentsRow(const Bytes& b, std::size_t& page_at) {
  const std::uint32_t owner = ContentsOwner(b);
  for (std::size_t p = 1; p < b.size() / kPage; ++p) {
    page_at = p * kPage;
    if (b[page_at] == 1 && Int32(b, page_at + 4) == owner && Int16(b, page_at + 12) > 0) {
      return page_at + (Int16(b, page_at + 14) & 0x1FFF);
    }
  }
  return 0;
}

TEST(JetLibrary, AMissingLibmdbIsNamedWithThePackageThatBringsIt) {
  try {
    Libmdb("libmdb-not-installed.so.3");
    FAIL() << "a library that does not exist was loaded";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDatabase);
    const std::string said = e.what();
    EXPECT_NE(said.find("libmdb-not-installed.so.3"), std::string::npos) << said;
    EXPECT_NE(said.find("libmdb3"), std::string::npos) << said;
  }
  EXPECT_NE(Libmdb().open, nullptr);  // the real one still loads
}

class JetDamagedFiles : public ::testing::TestWithParam<DamageCase> {};

TEST_P(JetDamagedFiles, EndWithAnErrorNamingTheFile) {
  testing::TempDir dir;
  Bytes bytes = testing::ReadBytes(testing::JetFixture("diary-small.mdb"));
  GetParam().damage(bytes);
  const std::string path = dir.File("damaged.mdb");
  testing::WriteBytes(path, bytes);
  try {
    auto rows = JetContents::OpenFile(path);
    std::vector<FieldValue> row;
    while (rows->Next(row)) {
    }
    FAIL() << "the damage went unnoticed";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDatabase);
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(GetParam().says), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, JetDamagedFiles,
    ::testing::Values(
        DamageCase{"Empty", [](Bytes& b) { b.clear(); }, "not a Jet database"},
        DamageCase{"AllZeros", [](Bytes& b) { std::fill(b.begin(), b.end(), 0); },
                   "not a Jet database"},
        DamageCase{"Jet3Header", [](Bytes& b) { b[0x14] = 0; }, "Jet 3"},
        DamageCase{"AceHeader", [](Bytes& b) { std::memcpy(b.data() + 4, "Standard ACE DB", 15); },
                   "ACE"},
        DamageCase{"NoTableContents",
                   [](Bytes& b) {
                     // The table's name in the catalog (and its column of that name), renamed.
                     const std::u16string name = u"Contents";
                     const std::uint8_t* from = reinterpret_cast<const std::uint8_t*>(name.data());
                     const auto at = std::search(b.begin(), b.end(), from, from + 16);
                     for (auto found = at; found != b.end();
                          found = std::search(found + 16, b.end(), from, from + 16)) {
                       *found = 'K';
                     }
                   },
                   "without the diary's table Contents"},
        DamageCase{"CutInsideTheFirstPage", [](Bytes& b) { b.resize(100); },
                   "less than the two 4096-byte pages"},
        DamageCase{"CutInsideAPage", [](Bytes& b) { b.resize(b.size() / 2 + 1000); },
                   "end part-way through a 4096-byte page"},
        DamageCase{"CutAtAPageBoundary", [](Bytes& b) { b.resize(b.size() / 2 / kPage * kPage); },
                   "page"},
        DamageCase{"CutToTwoPages", [](Bytes& b) { b.resize(2 * kPage); }, ""},
        DamageCase{"ChainLoopsBackToItself",
                   [](Bytes& b) {
                     const std::size_t row = ChainPiece(b);
                     const std::size_t page = row / kPage;
                     const std::size_t page_at = page * kPage;
                     for (std::size_t r = 0; r < Int16(b, page_at + 12); ++r) {
                       if (page_at + (Int16(b, page_at + 14 + 2 * r) & 0x1FFF) == row) {
                         Put32(b, row, static_cast<std::uint32_t>(page << 8 | r));
                       }
                     }
                   },
                   "loops back"},
        DamageCase{"ChainPointsPastTheEnd",
                   [](Bytes& b) { Put32(b, ChainPiece(b), 0xFFFFF000u | 1u); }, "cannot be read"},
        DamageCase{"TextRunsPastItsRow",
                   [](Bytes& b) {
                     std::size_t page_at = 0;
                     const std::size_t row = FirstContentsRow(b, page_at);
                     const std::size_t end = page_at + kPage;  // the first row ends the page
                     const std::size_t columns = Int16(b, row);
                     const std::size_t mask = (columns + 7) / 8;
                     const std::size_t count_at = end - mask - 2;
                     const std::size_t variables = Int16(b, count_at);
                     // the end of the last variable column, past the row
                     b[count_at - 2 * (variables + 1)] = 0xF0;
                     b[count_at - 2 * (variables + 1) + 1] = 0x0F;
                   },
                   "past its row"},
        DamageCase{"RowOffsetOutsideItsPage",
                   [](Bytes& b) {
                     std::size_t page_at = 0;
                     FirstContentsRow(b, page_at);
                     b[page_at + 14] = 0x00;
                     b[page_at + 15] = 0x00;
                   },
                   "outside its page"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
