#include "support/test_support.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace sarnlink::testing {
namespace {

// The tool runs in English in every test, whatever the machine's locale; a test of another
// language says so on the tool's command line.
const bool kToolInEnglish = [] {
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::unsetenv("LANGUAGE");
  return true;
}();

}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() /
            ("sarnlink-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) {
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, ToBytes(text));
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string WithPaths(std::string command,
                      const std::vector<std::pair<std::string, std::string>>& paths) {
  for (const auto& [name, path] : paths) {
    for (std::size_t at; (at = command.find(name)) != std::string::npos;) {
      command.replace(at, name.size(), Quote(path));
    }
  }
  return command;
}

CommandResult RunShell(const std::string& command, const std::string& input) {
  TempDir scratch;
  const std::string in = scratch.File("in");
  const std::string out = scratch.File("out");
  const std::string err = scratch.File("err");
  WriteText(in, input);
  const std::string full =
      "(" + command + ") <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
  const int raw = std::system(full.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  result.out = ReadText(out);
  result.err = ReadText(err);
  return result;
}

void ExecSarnlink(const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>("sarnlink")};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  execv(SARNLINK_CLI_PATH, argv.data());
  _exit(127);
}

void LoadSampleDiary(const std::string& db) {
  const auto loaded = RunShell("sqlite3 " + Quote(db) + " < " +
                               Quote(std::string(SARNLINK_SOURCE_DIR) + "/data/sample-diary.sql"));
  ASSERT_EQ(loaded.status, 0) << loaded.err;
}

void SampleDiaryTest::SetUp() {
  ASSERT_EQ(RunSarnlink("init --db " + Quote(db)).status, 0);
  LoadSampleDiary(db);
}

CommandResult RunSarnlink(const std::string& arguments, const std::string& input) {
  return RunShell(Quote(SARNLINK_CLI_PATH) + " " + arguments, input);
}

Bytes Iconv(const char* to, const char* from, const void* data, std::size_t size) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  Bytes in(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
  Bytes out(size * 4 + 16);
  char* in_p = reinterpret_cast<char*>(in.data());
  char* out_p = reinterpret_cast<char*>(out.data());
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in_p, &in_left, &out_p, &out_left), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

std::string CaseName(std::string_view text) {
  std::string name;
  for (char c : text) {
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (keep) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  while (!name.empty() && name.back() == '_') {
    name.pop_back();
  }
  return name.empty() ? "empty" : name;
}

std::string DataFile(const std::string& name) {
  return std::string(SARNLINK_SOURCE_DIR) + "/tests/data/" + name;
}

Bytes Hex(const std::string& hex) {
  Bytes bytes;
  std::istringstream in(hex);
  std::string pair;
  while (in >> pair) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  }
  return bytes;
}

std::string HexOf(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (std::uint8_t b : bytes) {
    if (!hex.empty()) {
      hex += ' ';
    }
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

}  // namespace sarnlink::testing
