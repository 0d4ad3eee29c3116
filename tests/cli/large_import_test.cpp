// An import of a file far larger than the memory the import may use: every entry is stored, and
// the tool's peak resident memory stays far below the file's size. (The figure itself belongs
// to the benchmark; the bound here is generous.)
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false;  // the sanitizer's own bookkeeping dwarfs the figure
#else
constexpr bool kMeasuresMemory = true;
#endif

TEST(LargeImport, StoresEveryEntryInMemoryFarBelowTheFilesSize) {
  testing::TempDir dir;
  const std::string db = dir.File("diary.db");
  const std::string file = dir.File("large.txt");
  ASSERT_EQ(testing::RunSarnlink("init --db " + Quote(db)).status, 0);

  // 8,000 entries of 32 KB each: 256 MB of Japanese UTF-8 text in long lines.
  const int entries = 8000;
  std::string line;
  while (line.size() < 1000) {
    line += "今日は晴れ。京都で紅葉を見ました ";
  }
  std::string body;
  for (int k = 0; k < 32; ++k) {
    body += line + "\n";
  }
  {
    std::ofstream out(file, std::ios::binary);
    for (int k = 0; k < entries; ++k) {
      out << "AUTHOR: a\nTITLE: e" << k << "\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\n"
          << body << "-----\n--------\n";
    }
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(SARNLINK_CLI_PATH, "sarnlink", "import", "--quiet", "--db", db.c_str(), "--in",
          file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const auto rows = testing::RunShell("sqlite3 " + Quote(db) +
                                      " \"SELECT COUNT(*), SUM(length(Contents)) FROM Contents\"");
  long long line_characters = 0;
  for (char c : line) {
    line_characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  // Each body: its 32 lines joined by CR LF.
  const long long body_characters = 32 * line_characters + 31 * 2;
  EXPECT_EQ(rows.out,
            std::to_string(entries) + "|" + std::to_string(entries * body_characters) + "\n");
  if (kMeasuresMemory) {
    const long peak_mb = usage.ru_maxrss / 1024;  // kilobytes on Linux
    EXPECT_LT(peak_mb, 128) << "peak resident memory of the import, in MB";
  }
}

}  // namespace
}  // namespace sarnlink
