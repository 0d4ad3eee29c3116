// The Jet 4 diary fixtures and the rows they hold: four real .mdb files and one JSON line per
// row of each (diary-small.expected.jsonl), with helpers that load those rows into an SQLite
// diary and read an SQLite diary's rows back the same way.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "interface/diary_database.h"

namespace sarnlink::testing {

// A row as named columns, in the file's column order.
using NamedRow = std::vector<std::pair<std::string, FieldValue>>;

// The four fixtures.
inline const char* const kJetFixtures[] = {"diary-small.mdb", "diary-small-plain.mdb",
                                           "diary-small-mixed.mdb", "diary-extra-columns.mdb"};

// The path of a Jet fixture: read in place from the shared folder beside the project when it is
// there, else the copy in tests/data/jet.
std::string JetFixture(const std::string& name);

// Every row of a JSON-lines file of rows: texts, whole numbers, true/false and null.
std::vector<NamedRow> ReadJsonRows(const std::string& path);

// The rows every fixture holds.
const std::vector<NamedRow>& ExpectedJetRows();

// Makes a new SQLite diary at `db` with the tool and stores `rows` in it.
void LoadRowsIntoDiary(const std::vector<NamedRow>& rows, const std::string& db);

// Every row of the SQLite diary at `db`, with its twelve columns, in row order.
std::vector<NamedRow> ReadDiaryRows(const std::string& db);

// A value as a test message shows it.
std::string Shown(const FieldValue& value);

}  // namespace sarnlink::testing
