#include "support/fake_ports.h"

#include <sqlite3.h>

#include <stdexcept>

#include "encoding/utf8.h"

namespace sarnlink::testing {

ConverterFixture::ConverterFixture()
    : db_path(dir.File("diary.db")),
      converter(
          ConverterPorts{files, diary, progress, options_form, author_prompt, clock, code_page}) {
  CreateEmptyDiary(db_path);
}

std::u16string ConverterFixture::U(const std::string& utf8) const {
  return FromUtf8(utf8);
}

namespace {

int Collect(void* out, int columns, char** values, char**) {
  auto& text = *static_cast<std::string*>(out);
  if (!text.empty()) {
    text += "\n";
  }
  for (int c = 0; c < columns; ++c) {
    text += (c ? "|" : "") + std::string(values[c] ? values[c] : "NULL");
  }
  return 0;
}

}  // namespace

std::string ConverterFixture::Query(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(db_path.c_str(), &db);
  std::string out;
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), Collect, &out, &message);
  const std::string reason = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK) {
    throw std::runtime_error("test SQL failed: " + reason + ": " + sql);
  }
  return out;
}

void ConverterFixture::Sql(const std::string& sql) {
  Query(sql);
}

void ConverterFixture::AddRow(const std::string& day, int number, const std::string& genre,
                              const std::string& title, const std::string& body,
                              const std::string& time, const std::string& is_private) {
  auto quoted = [](const std::string& s) {
    if (s == "NULL") {
      return s;
    }
    std::string q = "'";
    for (char c : s) {
      q += c == '\'' ? std::string("''") : std::string(1, c);
    }
    return q + "'";
  };
  Sql("INSERT INTO Contents (Day, Number, Weather, Genre, Title, Contents, extend, excerpt, "
      "TrackBack, PublishTime, Private, ImportMark) VALUES (" +
      quoted(day) + ", " + std::to_string(number) + ", '晴', " + quoted(genre) + ", " +
      quoted(title) + ", " + quoted(body) + ", NULL, NULL, '', " + quoted(time) + ", " +
      is_private + ", '')");
}

}  // namespace sarnlink::testing
