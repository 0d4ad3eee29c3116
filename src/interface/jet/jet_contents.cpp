#include "interface/jet/jet_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <string_view>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "interface/jet/jet_text.h"
#include "interface/jet/libmdb_library.h"

namespace sarnlink {
namespace {

constexpr std::size_t kPageSize = 4096;  // every Jet 4 page
constexpr std::size_t kRowCountAt = 12;  // a data page's row count; its row offsets follow
constexpr unsigned kOffsetMask = 0x1FFF;
constexpr unsigned kDeletedRow = 0x8000;  // a deleted row, or the moved data of a live one
constexpr unsigned kMovedRow = 0x4000;    // a live row whose data was moved: a pointer to it
constexpr int kMaxMoves = 8;              // pointers followed from one row before giving up
constexpr std::size_t kMemoHeader = 12;   // a memo's length, flags and first long-value row
constexpr unsigned kMemoInline = 0x80;    // the memo's bytes follow its header in the row
constexpr unsigned kMemoOneRow = 0x40;    // the memo is one long-value row
constexpr std::uint32_t kMemoLengthMask = 0x3FFFFFFF;

// libmdb tells of what it cannot read on stderr, in words of its own, before the reader's error
// says it once, naming the file: while it opens the file and reads the table's definition,
// stderr goes nowhere.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) {
      ::dup2(null, STDERR_FILENO);
    }
    if (null >= 0) {
      ::close(null);
    }
  }
  ~QuietStderr() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      ::dup2(saved_, STDERR_FILENO);
      ::close(saved_);
    }
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;  // stderr as it was
};

[[noreturn]] void Damaged(const std::string& name, const std::string& what) {
  throw Error(ErrorKind::kDatabase, "diary " + name + ": " + what);
}

// A file whose bytes contradict themselves: said with what is wrong and where, then with what
// the user can do about it, since the tool only reads the file and never mends it.
[[noreturn]] void Broken(const std::string& name, const std::string& what) {
  Damaged(name, "the file is damaged or incomplete (" + what +
                    "); copy the .mdb again from Windows with the diary program closed, or mend "
                    "it with Access's Compact and Repair, and try again");
}

// Whether `name` is `wanted` but for the letter case of ASCII letters, as Jet compares names.
bool SameAsciiName(const char* name, std::string_view wanted) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  std::size_t k = 0;
  for (; name[k] != '\0' && k < wanted.size(); ++k) {
    if (lower(static_cast<unsigned char>(name[k])) !=
        lower(static_cast<unsigned char>(wanted[k]))) {
      return false;
    }
  }
  return name[k] == '\0' && k == wanted.size();
}

std::string PageText(std::uint32_t page) {
  return "page " + std::to_string(page);
}

std::uint16_t Int16At(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t Int32At(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// What the first page says the file is; throws for anything but a Jet 4 database of whole
// pages. `size` is the file's length in bytes.
void CheckFirstPage(const std::uint8_t* page, std::size_t got, std::uint64_t size,
                    const std::string& name) {
  static constexpr std::uint8_t kMagic[4] = {0x00, 0x01, 0x00, 0x00};
  const auto says = [&](const char* text) {
    return got >= 4 + std::strlen(text) && std::memcmp(page, kMagic, 4) == 0 &&
           std::memcmp(page + 4, text, std::strlen(text)) == 0;
  };
  if (says("Standard ACE DB")) {
    Damaged(name,
            "an Access 2007 or later (ACE) database; only Jet 4 diaries (Access 2000 to "
            "2003 files) can be read");
  }
  if (!says("Standard Jet DB") || got < 0x15) {
    Damaged(name, "not a Jet database");
  }
  const std::uint8_t version = page[0x14];
  if (version == 0) {
    Damaged(name,
            "a Jet 3 (Access 97) database; only Jet 4 diaries (Access 2000 to 2003 files) "
            "can be read");
  }
  if (version != 1) {
    Damaged(name, "a database of a later Access format (version byte " + std::to_string(version) +
                      "); only Jet 4 diaries can be read");
  }
  if (size < 2 * kPageSize || size % kPageSize != 0) {
    Broken(name, size < 2 * kPageSize
                     ? "it holds " + std::to_string(size) +
                           " bytes, less than the two 4096-byte pages of the smallest diary"
                     : "its " + std::to_string(size) +
                           " bytes end part-way through a 4096-byte page: it was cut short");
  }
}

class LibmdbContents : public JetContents {
 public:
  LibmdbContents(MdbHandle* mdb, std::uint64_t size, std::string name)
      : handle_(mdb, Libmdb().close),
        mdb_(mdb),
        pages_(static_cast<std::uint32_t>(size / kPageSize)),
        name_(std::move(name)) {
    const QuietStderr quiet;
    if (!Libmdb().read_catalog(mdb_, MDB_TABLE)) {
      Broken(name_, "its list of tables cannot be read");
    }
    MdbCatalogEntry* entry = nullptr;
    for (guint k = 0; k < mdb_->num_catalog; ++k) {
      auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, k));
      if (candidate->object_type == MDB_TABLE &&
          SameAsciiName(candidate->object_name, "Contents")) {
        entry = candidate;
        break;
      }
    }
    if (!entry) {
      Damaged(name_, "a Jet database without the diary's table Contents");
    }
    if (entry->table_pg == 0 || entry->table_pg >= pages_) {
      Broken(name_, "the table Contents is defined on " +
                        PageText(static_cast<std::uint32_t>(entry->table_pg)) +
                        ", past the end of the file");
    }
    table_definition_.reset(Libmdb().read_table(entry));
    table_ = table_definition_.get();
    if (!table_ || !Libmdb().read_columns(table_) || table_->num_cols == 0) {
      Broken(name_, "the definition of the table Contents (" +
                        PageText(static_cast<std::uint32_t>(entry->table_pg)) + ") cannot be read");
    }
    table_page_ = static_cast<std::uint32_t>(entry->table_pg);
    wanted_.assign(table_->num_cols, true);
    for (guint k = 0; k < table_->num_cols; ++k) {
      const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, k));
      const int type = column->col_type;
      columns_.push_back(JetColumn{
          FromUtf8(column->name), type == MDB_TEXT || type == MDB_MEMO || type == MDB_INT ||
                                      type == MDB_LONGINT || type == MDB_BYTE || type == MDB_BOOL});
    }
    CheckUsageMap();
  }

  const std::vector<JetColumn>& Columns() const override { return columns_; }

  // The map of the table's data pages: a bitmap of pages from a first one (kind 0), or a list
  // of bitmap pages (kind 1), each of which must lie in the file.
  void CheckUsageMap() {
    const std::uint8_t* map = table_->usage_map;
    const std::size_t size = table_->map_sz;
    const std::string where = " (" + PageText(table_page_) + ")";
    if (!map || size < 5) {
      Broken(name_, "the table Contents has no readable map of its pages" + where);
    }
    if (map[0] > 1) {
      Broken(name_, "the map of the table's pages is of an unknown kind" + where);
    }
    for (std::size_t at = 1; map[0] == 1 && at + 4 <= size; at += 4) {
      const std::uint32_t page = Int32At(map, at);
      if (page >= pages_) {
        Broken(name_, "the map of the table's pages lists " + PageText(page) +
                          ", past the end of the file" + where);
      }
    }
  }

  void Rewind() override {
    page_ = 0;
    rows_on_page_ = 0;
    next_row_ = 0;
  }

  bool Next(std::vector<FieldValue>& row) override {
    for (;;) {
      if (next_row_ >= rows_on_page_ && !NextDataPage()) {
        return false;
      }
      while (next_row_ < rows_on_page_) {
        const unsigned row_number = next_row_++;
        if (ReadRow(page_, row_number, row)) {
          last_place_ = JetRowPlace{page_, row_number};
          return true;
        }
      }
    }
  }

  JetRowPlace LastPlace() const override { return last_place_; }

  void DecodeOnly(std::vector<std::size_t> positions) override {
    wanted_.assign(columns_.size(), positions.empty());
    for (const std::size_t k : positions) {
      if (k < wanted_.size()) {
        wanted_[k] = true;
      }
    }
  }

  void ReadAt(JetRowPlace place, std::vector<FieldValue>& row) override {
    Rewind();
    LoadDataPage(place.page, [] { return std::string("a row was read on"); });
    if (place.row >= Int16At(mdb_->pg_buf, kRowCountAt) || !ReadRow(place.page, place.row, row)) {
      Broken(name_,
             "row " + std::to_string(place.row) + " of " + PageText(place.page) + " is gone");
    }
  }

 private:
  // Moves to the table's next data page, as its usage map lists them; false after the last.
  bool NextDataPage() {
    const gint32 next = Libmdb().map_find_next(mdb_, table_->usage_map,
                                               static_cast<unsigned>(table_->map_sz), page_);
    page_in_second_buffer_ = 0;  // a map of the second kind is read through it
    if (next == 0) {
      return false;
    }
    if (next < 0) {
      Broken(name_,
             "the map of the table's pages is of an unknown kind (" + PageText(table_page_) + ")");
    }
    const auto page = static_cast<std::uint32_t>(next);
    if (page <= page_ || page >= pages_) {
      Broken(name_, "the table's map lists " + PageText(page) + ", past the end of the file");
    }
    LoadDataPage(page, [] { return std::string("the table's map lists"); });
    page_ = page;
    rows_on_page_ = Int16At(mdb_->pg_buf, kRowCountAt);
    next_row_ = 0;
    return true;
  }

  // Whether `page` is in the libmdb buffer that `read` fills, read unless `held` (the page the
  // buffer holds, 0 when not known) says it is there already; `held` follows.
  bool ReadInto(std::uint32_t page, std::uint32_t& held,
                ssize_t (*read)(MdbHandle*, unsigned long)) {
    if (page == 0 || page >= pages_) {
      return false;
    }
    if (page != held && read(mdb_, page) != static_cast<ssize_t>(kPageSize)) {
      held = 0;
      return false;
    }
    held = page;
    return true;
  }

  // Reads `page` into libmdb's page buffer and checks that it is one of the table's data
  // pages with a row count that fits it.
  template <class Who>
  void LoadDataPage(std::uint32_t page, Who who) {
    if (!ReadInto(page, page_in_buffer_, Libmdb().read_pg)) {
      Broken(name_, who() + " " + PageText(page) + ", which cannot be read");
    }
    const std::uint8_t* bytes = mdb_->pg_buf;
    if (bytes[0] != MDB_PAGE_DATA || Int32At(bytes, 4) != table_page_) {
      Broken(name_, who() + " " + PageText(page) + ", which is not a data page of Contents");
    }
    const std::size_t rows = Int16At(bytes, kRowCountAt);
    if (kRowCountAt + 2 + 2 * rows > kPageSize) {
      Broken(name_,
             PageText(page) + " claims " + std::to_string(rows) + " rows, more than a page holds");
    }
  }

  // The bounds of row `row` of the page in libmdb's page buffer, flags kept in `start`.
  void RowBounds(std::uint32_t page, unsigned row, int& start, std::size_t& length) {
    if (Libmdb().find_row(mdb_, static_cast<int>(row), &start, &length) != 0 ||
        (start & kOffsetMask) < kRowCountAt + 2) {
      Broken(name_,
             "row " + std::to_string(row) + " of " + PageText(page) + " lies outside its page");
    }
  }

  // Reads row `row` of `page` (in the page buffer) into `values`; false for a row that is
  // deleted or is the moved data of another. A moved row is read where it now lives.
  bool ReadRow(std::uint32_t page, unsigned row, std::vector<FieldValue>& values) {
    int start = 0;
    std::size_t length = 0;
    RowBounds(page, row, start, length);
    if (start & kDeletedRow) {
      return false;
    }
    if (!(start & kMovedRow)) {
      CopyRow(page, row, static_cast<std::size_t>(start & kOffsetMask), length);
      DecodeRow(values);
      return true;
    }
    // The slot holds the row's new place: its row number, then three bytes of page.
    const std::uint32_t page_walked = page;
    std::uint32_t at_page = page;
    std::vector<std::uint8_t> home(mdb_->pg_buf, mdb_->pg_buf + kPageSize);
    for (int moves = 0;; ++moves) {
      if (length < 4 || moves == kMaxMoves) {
        Broken(name_, "row " + std::to_string(row) + " of " + PageText(at_page) +
                          " points to its data in a way that cannot be followed");
      }
      const std::uint8_t* pointer = mdb_->pg_buf + (start & kOffsetMask);
      const unsigned to_row = pointer[0];
      const std::uint32_t to_page = Int32At(pointer, 0) >> 8;
      LoadDataPage(to_page, [row, at_page] {
        return "row " + std::to_string(row) + " of " + PageText(at_page) + " moved to";
      });
      at_page = to_page;
      row = to_row;
      RowBounds(at_page, row, start, length);
      if (!(start & kMovedRow)) {
        break;
      }
    }
    CopyRow(at_page, row, static_cast<std::size_t>(start & kOffsetMask), length);
    // Back to the page being walked; libmdb takes the page it last read to be in its buffer.
    std::memcpy(mdb_->pg_buf, home.data(), kPageSize);
    mdb_->cur_pg = page_walked;
    page_in_buffer_ = page_walked;
    DecodeRow(values);
    return true;
  }

  // Keeps the row's bytes, so that reading its memos may use libmdb's page buffers.
  void CopyRow(std::uint32_t page, unsigned row, std::size_t start, std::size_t length) {
    if (length < 4 || start + length > kPageSize) {
      Broken(name_,
             "row " + std::to_string(row) + " of " + PageText(page) + " lies outside its page");
    }
    row_.assign(mdb_->pg_buf + start, mdb_->pg_buf + start + length);
    row_page_ = page;
    row_number_ = row;
  }

  std::string RowName() const {
    return "row " + std::to_string(row_number_) + " of " + PageText(row_page_);
  }

  // Cracks the kept row into its columns' values: the column count, fixed columns, variable
  // columns, their offsets from the end backwards, and the null mask last.
  void DecodeRow(std::vector<FieldValue>& values) {
    const std::uint8_t* bytes = row_.data();
    const std::size_t size = row_.size();
    const std::size_t row_columns = Int16At(bytes, 0);
    const std::size_t mask_size = (row_columns + 7) / 8;
    if (row_columns == 0 || mask_size + 2 + 2 > size) {
      Broken(name_,
             RowName() + " is too short for its " + std::to_string(row_columns) + " columns");
    }
    const std::uint8_t* null_mask = bytes + size - mask_size;
    const std::size_t variable_count = Int16At(bytes, size - mask_size - 2);
    // The offsets of the variable columns, and the end of the last, lie before the count.
    const std::size_t offsets_at = size - mask_size - 2;
    if (table_->num_var_cols > 0 && 2 * (variable_count + 1) > offsets_at - 2) {
      Broken(name_, RowName() + " claims more variable columns than it holds");
    }
    const auto variable_offset = [&](std::size_t k) {
      return static_cast<std::size_t>(Int16At(bytes, offsets_at - 2 * (k + 1)));
    };
    const std::size_t fixed_count =
        row_columns >= variable_count ? row_columns - variable_count : 0;
    std::size_t fixed_found = 0;
    values.assign(columns_.size(), FieldValue());
    for (std::size_t k = 0; k < columns_.size(); ++k) {
      const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, k));
      const std::size_t bit = static_cast<std::size_t>(column->col_num);
      const bool present = bit / 8 < mask_size && (null_mask[bit / 8] >> (bit % 8)) & 1;
      if (column->col_type == MDB_BOOL) {
        values[k] = present;  // a Yes/No is its bit in the mask, never Null
        if (column->is_fixed) {
          ++fixed_found;
        }
        continue;
      }
      std::size_t start = 0;
      std::size_t length = 0;
      if (column->is_fixed) {
        if (fixed_found++ >= fixed_count) {
          continue;  // added to the table after this row was written: Null
        }
        start = 2 + static_cast<std::size_t>(column->fixed_offset);
        length = static_cast<std::size_t>(column->col_size);
      } else {
        if (table_->num_var_cols == 0 || column->var_col_num >= variable_count) {
          continue;
        }
        start = variable_offset(column->var_col_num);
        const std::size_t end = variable_offset(column->var_col_num + 1);
        if (end < start) {
          Broken(name_, RowName() + ": column " + column->name + " ends before it starts");
        }
        length = end - start;
      }
      if (start + length > offsets_at) {
        Broken(name_, RowName() + ": column " + column->name + " runs past its row");
      }
      if (present && columns_[k].readable && wanted_[k]) {
        values[k] = ValueOf(*column, bytes + start, length);
      }
    }
  }

  FieldValue ValueOf(const MdbColumn& column, const std::uint8_t* bytes, std::size_t length) {
    switch (column.col_type) {
      case MDB_BYTE:
        return NumberOf(column, bytes, length, 1);
      case MDB_INT:
        return NumberOf(column, bytes, length, 2);
      case MDB_LONGINT:
        return NumberOf(column, bytes, length, 4);
      case MDB_TEXT:
        return TextOf(column, std::span<const std::uint8_t>(bytes, length));
      default:
        return TextOf(column, MemoBytes(column, bytes, length));
    }
  }

  FieldValue NumberOf(const MdbColumn& column, const std::uint8_t* bytes, std::size_t length,
                      std::size_t size) {
    if (length != size) {
      Broken(name_, RowName() + ": column " + column.name + " has " + std::to_string(length) +
                        " bytes for a number of " + std::to_string(size));
    }
    if (size == 1) {
      return static_cast<std::int64_t>(bytes[0]);
    }
    if (size == 2) {
      return static_cast<std::int64_t>(static_cast<std::int16_t>(Int16At(bytes, 0)));
    }
    return static_cast<std::int64_t>(static_cast<std::int32_t>(Int32At(bytes, 0)));
  }

  FieldValue TextOf(const MdbColumn& column, std::span<const std::uint8_t> bytes) {
    std::optional<std::u16string> text = DecodeJetText(bytes);
    if (!text) {
      Broken(name_, RowName() + ": column " + column.name + " holds " +
                        std::to_string(bytes.size()) + " bytes, which are no Jet text");
    }
    return std::move(*text);
  }

  // A memo's bytes: in its row, in one long-value row, or in a chain of them, each checked
  // against the length the memo declares.
  std::span<const std::uint8_t> MemoBytes(const MdbColumn& column, const std::uint8_t* bytes,
                                          std::size_t length) {
    const std::string what = RowName() + ": the memo " + column.name;
    if (length < kMemoHeader) {
      Broken(name_, what + " is shorter than its header");
    }
    const std::uint32_t word = Int32At(bytes, 0);
    const std::size_t declared = word & kMemoLengthMask;
    const unsigned flags = word >> 24;
    memo_.clear();
    if (flags & kMemoInline) {
      if (declared != length - kMemoHeader) {
        Broken(name_, what + " declares " + std::to_string(declared) + " bytes and holds " +
                          std::to_string(length - kMemoHeader));
      }
      memo_.assign(bytes + kMemoHeader, bytes + length);
      return memo_;
    }
    std::uint32_t next = Int32At(bytes, 4);
    std::set<std::uint32_t> seen;
    const bool one_row = flags & kMemoOneRow;
    while (memo_.size() < declared) {
      if (next == 0) {
        Broken(name_, what + " ends after " + std::to_string(memo_.size()) + " of its " +
                          std::to_string(declared) + " bytes");
      }
      const std::uint32_t page = next >> 8;
      if (!seen.insert(next).second) {
        Broken(name_, what + " loops back to " + PageText(page));
      }
      // The long-value page goes to libmdb's second buffer, leaving the row's page in place.
      if (!ReadInto(page, page_in_second_buffer_, Libmdb().read_alt_pg)) {
        Broken(name_, what + " continues on " + PageText(page) + ", which cannot be read");
      }
      const std::uint8_t* on_page = mdb_->alt_pg_buf;
      const unsigned row = next & 0xFF;
      const std::size_t rows = Int16At(on_page, kRowCountAt);
      if (on_page[0] != MDB_PAGE_DATA || row >= rows || kRowCountAt + 2 + 2 * rows > kPageSize) {
        Broken(name_, what + " continues on " + PageText(page) + ", which does not hold it");
      }
      const std::size_t start = Int16At(on_page, kRowCountAt + 2 + 2 * row) & kOffsetMask;
      const std::size_t end =
          row == 0 ? kPageSize : Int16At(on_page, kRowCountAt + 2 * row) & kOffsetMask;
      if (start < kRowCountAt + 2 + 2 * rows || end > kPageSize || end < start) {
        Broken(name_, what + " continues outside " + PageText(page));
      }
      std::size_t piece = end - start;
      const std::uint8_t* data = on_page + start;
      if (one_row) {
        next = 0;
      } else {
        if (piece < 4) {
          Broken(name_, what + " has a broken piece on " + PageText(page));
        }
        next = Int32At(data, 0);
        data += 4;
        piece -= 4;
      }
      if (memo_.size() + piece > declared) {
        Broken(name_, what + " holds more than its " + std::to_string(declared) + " bytes (" +
                          PageText(page) + ")");
      }
      memo_.insert(memo_.end(), data, data + piece);
      if (one_row && memo_.size() != declared) {
        Broken(name_, what + " declares " + std::to_string(declared) + " bytes and holds " +
                          std::to_string(memo_.size()) + " (" + PageText(page) + ")");
      }
    }
    return memo_;
  }

  // Declared first, so that what the constructor opened is closed should it throw.
  std::unique_ptr<MdbHandle, void (*)(MdbHandle*)> handle_;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> table_definition_{nullptr,
                                                                         Libmdb().free_tabledef};
  MdbHandle* mdb_;
  std::uint32_t pages_;           // the file's length in pages
  std::string name_;              // the file, for messages
  MdbTableDef* table_ = nullptr;  // the definition, once read
  std::uint32_t table_page_ = 0;  // the table's definition page, which owns its data pages
  std::vector<JetColumn> columns_;
  std::vector<bool> wanted_;  // the columns a row's values are decoded for
  std::uint32_t page_ = 0;    // the data page being walked; 0 before the first
  // The pages libmdb's two buffers hold (0: not known), so that a page is read once for all
  // its rows and memos rather than once for each: every read costs libmdb four system calls.
  std::uint32_t page_in_buffer_ = 0;
  std::uint32_t page_in_second_buffer_ = 0;
  unsigned rows_on_page_ = 0;      // its row count
  unsigned next_row_ = 0;          // the next row of it to read
  JetRowPlace last_place_;         // where the row Next read last is
  std::vector<std::uint8_t> row_;  // the row being decoded
  std::uint32_t row_page_ = 0;     // where that row lives, for messages
  unsigned row_number_ = 0;
  std::vector<std::uint8_t> memo_;  // the memo being decoded
};

std::uint64_t FileSize(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    Damaged(path, errno == ENOENT ? "no such file" : std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) {
    Damaged(path, "not a file");
  }
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace

int JetContents::ColumnIndex(std::u16string_view name) const {
  const std::vector<JetColumn>& columns = Columns();
  for (std::size_t k = 0; k < columns.size(); ++k) {
    if (SameColumnName(columns[k].name, name)) {
      return static_cast<int>(k);
    }
  }
  return -1;
}

std::unique_ptr<JetContents> JetContents::OpenFile(const std::string& path) {
  const std::uint64_t size = FileSize(path);
  std::ifstream in(path, std::ios::binary);
  std::uint8_t first[kPageSize] = {};
  in.read(reinterpret_cast<char*>(first), sizeof first);
  if (!in && !in.eof()) {
    Damaged(path, "cannot be read");
  }
  CheckFirstPage(first, static_cast<std::size_t>(in.gcount()), size, path);
  MdbHandle* mdb = nullptr;
  {
    const QuietStderr quiet;
    mdb = Libmdb().open(path.c_str(), MDB_NOFLAGS);
  }
  if (!mdb) {
    Damaged(path, "cannot be opened as a Jet database");
  }
  return std::make_unique<LibmdbContents>(mdb, size, path);
}

std::unique_ptr<JetContents> JetContents::OpenBytes(std::span<const std::uint8_t> bytes,
                                                    const std::string& name) {
  CheckFirstPage(bytes.data(), bytes.size(), bytes.size(), name);
  MdbHandle* mdb = nullptr;
  {
    const QuietStderr quiet;
    mdb = Libmdb().open_buffer(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), MDB_NOFLAGS);
  }
  if (!mdb) {
    Damaged(name, "cannot be opened as a Jet database");
  }
  return std::make_unique<LibmdbContents>(mdb, bytes.size(), name);
}

bool LooksLikeJetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char header[20] = {};
  in.read(header, sizeof header);
  return in.gcount() == sizeof header && (std::memcmp(header + 4, "Standard Jet DB", 15) == 0 ||
                                          std::memcmp(header + 4, "Standard ACE DB", 15) == 0);
}

}  // namespace sarnlink
