// The rows of the table Contents in a Jet 4 database file (the host's diary), read with
// libmdb's pages, table definition, row offsets and long-value rows, and cracked and decoded
// here. The file is outside input: every page number, offset and length taken from it is
// checked before use, and a damaged file ends the read with an error naming the file, what is
// wrong and the page. Nothing is ever written.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "interface/diary_database.h"

namespace sarnlink {

// Where a row of the table is: its slot on its data page.
struct JetRowPlace {
  std::uint32_t page = 0;
  unsigned row = 0;
};

// A column of the table, as the file defines it.
struct JetColumn {
  std::u16string name;
  bool readable = true;  // of a type the diary port carries (text, memo, integer, Yes/No)
};

class JetContents {
 public:
  // Opens the database file at `path`. A file that is no Jet 4 database (Jet 3, ACE, none at
  // all), is cut short or has no table Contents throws a database error.
  static std::unique_ptr<JetContents> OpenFile(const std::string& path);
  // The same over a file's bytes held in memory (they must outlive the reader); `name` names
  // it in messages.
  static std::unique_ptr<JetContents> OpenBytes(std::span<const std::uint8_t> bytes,
                                                const std::string& name);
  virtual ~JetContents() = default;

  virtual const std::vector<JetColumn>& Columns() const = 0;
  // The position of the column `name` (compared as Jet compares names, ignoring ASCII case),
  // or -1.
  int ColumnIndex(std::u16string_view name) const;
  // Limits what Next and ReadAt decode to the columns at `positions` (the others read as Null),
  // for a pass that only looks at a few; empty: every column.
  virtual void DecodeOnly(std::vector<std::size_t> positions) = 0;
  // Starts again before the first row.
  virtual void Rewind() = 0;
  // Reads the next live row, in the table's order, into `row` (a value for each column; a
  // column of another type reads as Null). False after the last row.
  virtual bool Next(std::vector<FieldValue>& row) = 0;
  // Where the row Next read last is.
  virtual JetRowPlace LastPlace() const = 0;
  // Reads the row at `place` (one LastPlace gave) into `row`; the next Next starts again
  // before the first row.
  virtual void ReadAt(JetRowPlace place, std::vector<FieldValue>& row) = 0;
};

// True when the file at `path` starts as a Jet database does (any version). A file that
// cannot be read is no Jet file here; opening it says why.
bool LooksLikeJetFile(const std::string& path);

}  // namespace sarnlink
