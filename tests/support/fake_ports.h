// Test doubles for the ports a unit test drives by hand (progress, forms, prompt, clock), and a
// converter fixture wired to the real SQLite diary, file system and iconv.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "encoding/posix/iconv_code_page_932.h"
#include "interface/cls_mt_export.h"
#include "interface/posix/posix_file_system.h"
#include "interface/sqlite/sqlite_diary.h"
#include "support/test_support.h"

namespace sarnlink::testing {

// Records what the drivers show, in order.
class RecordingProgress : public ProgressDisplay {
 public:
  void Show() override { events.push_back("show"); }
  void SetCaption(const std::u16string& text) override { caption = text; }
  void SetTitleText(const std::u16string& text) override { title = text; }
  void SetMessageText(const std::u16string& text) override {
    message = text;
    messages.push_back(text);
  }
  void EnableOK(bool enabled) override {
    ok_enabled = enabled;
    events.push_back(enabled ? "ok on" : "ok off");
  }
  void SetMaximum(double m) override { maximum = m; }
  double Maximum() const override { return maximum; }
  double Value() const override { return value; }
  void SetValue(double v) override {
    value = v;
    highest_value = std::max(highest_value, v);
  }
  void Refresh() override { events.push_back("refresh"); }
  void UnlockAfterFailure() override { events.push_back("unlock"); }

  std::vector<std::string> events;
  std::u16string caption, title, message;
  std::vector<std::u16string> messages;
  bool ok_enabled = true;
  double maximum = 100, value = 0, highest_value = 0;
};

// Closes with preset members and remembers what it was opened with.
class ScriptedOptionsForm : public OptionsForm {
 public:
  frmOptionMembers ShowModal(const std::u16string& path, const std::u16string& author) override {
    opened_path = path;
    opened_author = author;
    ++shown;
    return result;
  }
  frmOptionMembers result;
  std::u16string opened_path, opened_author;
  int shown = 0;
};

class ScriptedAuthorPrompt : public AuthorPrompt {
 public:
  AuthorQuestionAnswer AskOneAuthorOnly() override { return answer; }
  std::optional<std::u16string> AskAuthorName() override {
    ++names_asked;
    return name;
  }
  AuthorQuestionAnswer answer = AuthorQuestionAnswer::kCancel;
  std::u16string name;
  int names_asked = 0;
};

class FixedClock : public Clock {
 public:
  LocalTime Now() override { return LocalTime{2026, 12, 9, 10, 0, 0}; }
  std::u16string LocalText(const LocalTime& moment) override { return DiaryTimeText(moment); }
};

// A scratch folder with an empty SQLite diary and a converter wired to it.
class ConverterFixture : public ::testing::Test {
 protected:
  ConverterFixture();

  // Runs SQL against the diary (outside the converter).
  void Sql(const std::string& sql);
  // One column of every row of a query, joined by "|" per row and "\n" between rows.
  std::string Query(const std::string& sql);
  // Adds a row to Contents with the columns the export reads.
  void AddRow(const std::string& day, int number, const std::string& genre,
              const std::string& title, const std::string& body, const std::string& time,
              const std::string& is_private = "0");

  std::u16string U(const std::string& utf8) const;

  TempDir dir;
  std::string db_path;
  PosixFileSystem files;
  SqliteDiaryDatabase diary;
  RecordingProgress progress;
  ScriptedOptionsForm options_form;
  ScriptedAuthorPrompt author_prompt;
  FixedClock clock;
  IconvCodePage932 code_page;
  clsMTExport converter;
};

}  // namespace sarnlink::testing
