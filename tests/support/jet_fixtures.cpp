#include "support/jet_fixtures.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "encoding/utf8.h"
#include "support/test_support.h"

namespace sarnlink::testing {
namespace {

constexpr const char* kColumns[] = {"Day",         "Number",  "Title",     "Contents",
                                    "extend",      "excerpt", "Genre",     "Private",
                                    "PublishTime", "Weather", "TrackBack", "ImportMark"};

class JsonLine {
 public:
  explicit JsonLine(const std::string& text) : text_(text) {}

  NamedRow Row() {
    NamedRow row;
    Expect('{');
    while (Peek() != '}') {
      std::u16string name = String();
      Expect(':');
      row.emplace_back(ToUtf8(name), Value());
      if (Peek() == ',') {
        ++at_;
      }
    }
    return row;
  }

 private:
  char Peek() {
    while (at_ < text_.size() && text_[at_] == ' ') {
      ++at_;
    }
    if (at_ >= text_.size()) {
      throw std::runtime_error("JSON line ends early: " + text_.substr(0, 80));
    }
    return text_[at_];
  }
  void Expect(char c) {
    if (Peek() != c) {
      throw std::runtime_error(std::string("JSON line lacks '") + c + "'");
    }
    ++at_;
  }
  FieldValue Value() {
    const char c = Peek();
    if (c == '"') {
      return String();
    }
    for (const auto& [word, value] : {std::pair<const char*, FieldValue>{"null", FieldValue()},
                                      {"true", true},
                                      {"false", false}}) {
      if (text_.compare(at_, std::strlen(word), word) == 0) {
        at_ += std::strlen(word);
        return value;
      }
    }
    std::size_t used = 0;
    const long long number = std::stoll(text_.substr(at_), &used);
    at_ += used;
    return static_cast<std::int64_t>(number);
  }
  std::u16string String() {
    Expect('"');
    std::string utf8;
    std::u16string text;
    const auto flush = [&] {
      text += FromUtf8(utf8);
      utf8.clear();
    };
    while (text_.at(at_) != '"') {
      const char c = text_[at_++];
      if (c != '\\') {
        utf8 += c;
        continue;
      }
      const char e = text_.at(at_++);
      static const std::string kPlain = "\"\\/bfnrt";
      static const char kMeaning[] = "\"\\/\b\f\n\r\t";
      if (e == 'u') {
        flush();
        text += static_cast<char16_t>(std::stoul(text_.substr(at_, 4), nullptr, 16));
        at_ += 4;
      } else {
        utf8 += kMeaning[kPlain.find(e)];
      }
    }
    ++at_;
    flush();
    return text;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

}  // namespace

std::string JetFixture(const std::string& name) {
  const std::string shared = std::string(SARNLINK_SOURCE_DIR) + "/../shared/jet/" + name;
  return std::filesystem::exists(shared) ? shared : DataFile("jet/" + name);
}

std::vector<NamedRow> ReadJsonRows(const std::string& path) {
  std::ifstream in(path);
  std::vector<NamedRow> rows;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) {
      rows.push_back(JsonLine(line).Row());
    }
  }
  return rows;
}

const std::vector<NamedRow>& ExpectedJetRows() {
  static const std::vector<NamedRow> rows = ReadJsonRows(JetFixture("diary-small.expected.jsonl"));
  return rows;
}

void LoadRowsIntoDiary(const std::vector<NamedRow>& rows, const std::string& db) {
  ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0);
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
  Check(sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr), handle, "begin");
  for (const NamedRow& row : rows) {
    std::string columns, marks;
    for (const auto& [name, value] : row) {
      columns += (columns.empty() ? "" : ", ") + name;
      marks += marks.empty() ? "?" : ", ?";
    }
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(
              handle, ("INSERT INTO Contents (" + columns + ") VALUES (" + marks + ")").c_str(), -1,
              &insert, nullptr),
          handle, "prepare");
    for (std::size_t k = 0; k < row.size(); ++k) {
      const FieldValue& value = row[k].second;
      const int at = static_cast<int>(k + 1);
      if (const auto* text = std::get_if<std::u16string>(&value)) {
        const std::string utf8 = ToUtf8(*text);
        sqlite3_bind_text(insert, at, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(insert, at, *number);
      } else if (const auto* yes = std::get_if<bool>(&value)) {
        sqlite3_bind_int(insert, at, *yes ? 1 : 0);
      } else {
        sqlite3_bind_null(insert, at);
      }
    }
    Check(sqlite3_step(insert), handle, "insert");
    sqlite3_finalize(insert);
  }
  Check(sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr), handle, "commit");
  sqlite3_close(handle);
}

std::vector<NamedRow> ReadDiaryRows(const std::string& db) {
  sqlite3* handle = nullptr;
  std::vector<NamedRow> rows;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << db;
    sqlite3_close(handle);
    return rows;
  }
  std::string columns;
  for (const char* column : kColumns) {
    columns += (columns.empty() ? "" : ", ") + std::string(column);
  }
  sqlite3_stmt* select = nullptr;
  Check(sqlite3_prepare_v2(handle, ("SELECT " + columns + " FROM Contents ORDER BY rowid").c_str(),
                           -1, &select, nullptr),
        handle, "prepare");
  while (sqlite3_step(select) == SQLITE_ROW) {
    NamedRow row;
    for (int k = 0; k < static_cast<int>(std::size(kColumns)); ++k) {
      FieldValue value;
      switch (sqlite3_column_type(select, k)) {
        case SQLITE_INTEGER:
          value = static_cast<std::int64_t>(sqlite3_column_int64(select, k));
          if (std::string(kColumns[k]) == "Private") {
            value = std::get<std::int64_t>(value) != 0;
          }
          break;
        case SQLITE_NULL:
          break;
        default:
          value = FromUtf8(
              std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(select, k)),
                               static_cast<std::size_t>(sqlite3_column_bytes(select, k))));
      }
      row.emplace_back(kColumns[k], std::move(value));
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(select);
  sqlite3_close(handle);
  return rows;
}

std::string Shown(const FieldValue& value) {
  if (const auto* text = std::get_if<std::u16string>(&value)) {
    const std::string utf8 = ToUtf8(*text);
    return "\"" +
           (utf8.size() > 60
                ? utf8.substr(0, 60) + "...(" + std::to_string(text->size()) + " units)"
                : utf8) +
           "\"";
  }
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return std::to_string(*number);
  }
  if (const auto* yes = std::get_if<bool>(&value)) {
    return *yes ? "Yes" : "No";
  }
  return "Null";
}

}  // namespace sarnlink::testing
