// Small helpers shared by the tests: a scratch folder, whole-file reads and writes, and running
// the sarnlink tool as a user would.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"

namespace sarnlink::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;  // the folder
};

Bytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
void WriteText(const std::string& path, const std::string& text);

struct CommandResult {
  int status;       // the exit status
  std::string out;  // what the command wrote to stdout
  std::string err;  // what it wrote to stderr
};

// Runs `command` through the shell with stdin from /dev/null unless `input` is given.
CommandResult RunShell(const std::string& command, const std::string& input = "");

// Runs the sarnlink tool with `arguments` (already quoted for the shell).
CommandResult RunSarnlink(const std::string& arguments, const std::string& input = "");

// Replaces this process (a forked child) with the sarnlink tool run with `arguments`; exits 127
// if it cannot.
[[noreturn]] void ExecSarnlink(const std::vector<std::string>& arguments);

// Loads the bundled sample diary (data/sample-diary.sql) into the empty diary at `db`.
void LoadSampleDiary(const std::string& db);

// A scratch folder with a diary made by the tool and holding the sample, and a path for a
// MovableType file beside it.
class SampleDiaryTest : public ::testing::Test {
 protected:
  void SetUp() override;

  TempDir dir;
  std::string db = dir.File("diary.db");
  std::string out = dir.File("out.txt");
};

// Quotes a path or value for the shell.
std::string Quote(const std::string& text);

// A command line of a table of cases with its placeholders ("DB", "OUT") replaced by the paths
// they stand for, each quoted for the shell.
std::string WithPaths(std::string command,
                      const std::vector<std::pair<std::string, std::string>>& paths);

// The path of a fixture in tests/data.
std::string DataFile(const std::string& name);

// Names each case of a parameterised table after its `name` field.
struct ByName {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& case_info) const {
    return case_info.param.name;
  }
};

// A test name made of a case's text ("japanese.utf8-bom.txt" gives "japanese_utf8_bom_txt",
// "C3 A9" gives "C3_A9"): letters and digits kept, every other run of characters one "_".
std::string CaseName(std::string_view text);

// Names each case of a table after one of its text fields, with its index after it when the
// table may hold the same text twice.
template <auto Field, bool kWithIndex = false>
struct ByField {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& case_info) const {
    std::string name = CaseName(case_info.param.*Field);
    return kWithIndex ? name + "_" + std::to_string(case_info.index) : name;
  }
};

// `size` bytes at `data` converted by glibc's iconv from encoding `from` to `to`; a conversion
// iconv refuses is a test failure.
Bytes Iconv(const char* to, const char* from, const void* data, std::size_t size);

// Bytes written as hex pairs, "41 E3 81 82", for fixtures and messages.
Bytes Hex(const std::string& hex);
std::string HexOf(const Bytes& bytes);

}  // namespace sarnlink::testing
