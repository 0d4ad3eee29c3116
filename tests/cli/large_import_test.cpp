// An import of a file far larger than the memory the import may use: every entry is stored, and
// the tool's peak resident memory stays far below the file's size. (The figure itself belongs
// to the benchmark; the bound here is generous.)
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// Imports `file` into a new diary and returns the rows' count and summed body length as the
// sqlite3 shell prints them; checks the tool's peak resident memory against `limit_mb`.
std::string ImportWithin(const testing::TempDir& dir, const std::string& file, long limit_mb) {
  const std::string db = dir.File("diary.db");
  EXPECT_EQ(testing::RunSarnlink("init --db " + Quote(db)).status, 0);
  const pid_t child = fork();
  EXPECT_GE(child, 0);
  if (child == 0) {
    testing::ExecSarnlink({"import", "--quiet", "--db", db, "--in", file});
  }
  int status = 0;
  struct rusage usage {};
  EXPECT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  if (kMeasuresMemory) {
    const long peak_mb = usage.ru_maxrss / 1024;  // kilobytes on Linux
    EXPECT_LT(peak_mb, limit_mb) << "peak resident memory of the import, in MB";
  }
  return testing::RunShell("sqlite3 " + Quote(db) +
                           " \"SELECT COUNT(*), SUM(length(Contents)) FROM Contents\"")
      .out;
}

// A body of 32 lines of about 1,000 bytes of Japanese UTF-8, and its length in characters once
// stored (its lines joined by CR LF).
std::string Body(long long& characters) {
  std::string line;
  while (line.size() < 1000) {
    line += "今日は晴れ。京都で紅葉を見ました ";
  }
  std::string body;
  for (int k = 0; k < 32; ++k) {
    body += line + "\n";
  }
  long long line_characters = 0;
  for (char c : line) {
    line_characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  characters = 32 * line_characters + 31 * 2;
  return body;
}

TEST(LargeImport, StoresEveryEntryInMemoryFarBelowTheFilesSize) {
  testing::TempDir dir;
  const std::string file = dir.File("large.txt");
  // 8,000 entries of 32 KB each: 256 MB of Japanese UTF-8 text in long lines.
  const int entries = 8000;
  long long body_characters = 0;
  const std::string body = Body(body_characters);
  {
    std::ofstream out(file, std::ios::binary);
    for (int k = 0; k < entries; ++k) {
      out << "AUTHOR: a\nTITLE: e" << k << "\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\n"
          << body << "-----\n--------\n";
    }
  }
  EXPECT_EQ(ImportWithin(dir, file, 128),
            std::to_string(entries) + "|" + std::to_string(entries * body_characters) + "\n");
}

struct LongLineCase {
  const char* name;
  const char* encoding;     // as iconv names it
  const char* title_extra;  // bytes put into the title, before conversion
};

class LongLine : public ::testing::TestWithParam<LongLineCase> {};

// One body of 50 MB of UTF-8 on a single line, without an ASCII byte in it, in each encoding (and
// EUC-JP with a stray ESC in the title, which once sent it through ISO-2022-JP): the import holds
// the entry a few times over (as UTF-16 while it is read, as UTF-8 while SQLite stores it), never
// the file, and stays within three times the entry.
TEST_P(LongLine, StaysWithinThreeTimesItsEntry) {
  testing::TempDir dir;
  const std::string file = dir.File("long-line.txt");
  const std::string unit = "今日は晴れ。";  // 18 bytes of UTF-8, 6 characters
  const long long repeats = 50'000'000 / 18;
  std::string utf8 = "AUTHOR: a\nTITLE: long" + std::string(GetParam().title_extra) +
                     "\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\n";
  utf8.reserve(utf8.size() + repeats * unit.size() + 32);
  for (long long k = 0; k < repeats; ++k) {
    utf8 += unit;
  }
  utf8 += "\n-----\n--------\n";
  const std::string encoding = GetParam().encoding;
  testing::WriteBytes(file, encoding == "UTF-8" ? ToBytes(utf8)
                                                : testing::Iconv(encoding.c_str(), "UTF-8",
                                                                 utf8.data(), utf8.size()));
  // The child the import runs in starts as a copy of this process: nothing large may be held.
  utf8.clear();
  utf8.shrink_to_fit();
  EXPECT_EQ(ImportWithin(dir, file, 32 + 3 * 50), "1|" + std::to_string(repeats * 6) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Encodings, LongLine,
                         ::testing::Values(LongLineCase{"UTF8", "UTF-8", ""},
                                           LongLineCase{"UTF16WithMark", "UTF-16", ""},
                                           LongLineCase{"ShiftJIS", "CP932", ""},
                                           LongLineCase{"EucJpOnePass", "EUC-JP", ""},
                                           LongLineCase{"EucJpWithAStrayEscape", "EUC-JP", "\x1B"},
                                           LongLineCase{"Iso2022Jp", "ISO-2022-JP", ""}),
                         [](const ::testing::TestParamInfo<LongLineCase>& param) {
                           return std::string(param.param.name);
                         });

// EUC-JP with a single ESC byte (a control character of its own, not an escape) streams as the
// rest does.
TEST(LargeImport, EucJpWithAStrayEscapeStaysFlat) {
  testing::TempDir dir;
  const std::string file = dir.File("large.euc.txt");
  const int entries = 3000;  // 64 MB of EUC-JP
  long long body_characters = 0;
  const std::string utf8 = Body(body_characters);
  const Bytes body = testing::Iconv("EUC-JP", "UTF-8", utf8.data(), utf8.size());
  {
    std::ofstream out(file, std::ios::binary);
    for (int k = 0; k < entries; ++k) {
      out << "AUTHOR: a\nTITLE: e" << k << (k == 1 ? "\x1B" : "")
          << "\nDATE: 01/02/2005 10:00:00 AM\n-----\nBODY:\n";
      out.write(reinterpret_cast<const char*>(body.data()),
                static_cast<std::streamsize>(body.size()));
      out << "-----\n--------\n";
    }
  }
  EXPECT_EQ(testing::RunSarnlink("detect " + Quote(file)).out, "EUC-JP\n");
  EXPECT_EQ(ImportWithin(dir, file, 128),
            std::to_string(entries) + "|" + std::to_string(entries * body_characters) + "\n");
}

}  // namespace
}  // namespace sarnlink
