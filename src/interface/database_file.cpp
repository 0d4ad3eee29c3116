#include "interface/database_file.h"

#include <cstring>
#include <vector>

#include "common/errors.h"
#include "common/path_text.h"

namespace sarnlink {

bool IsDatabaseFile(FileSystem& files, const std::u16string& path) {
  auto file = files.OpenForReading(path);
  std::uint8_t header[32] = {};
  std::size_t got = 0;
  while (got < sizeof header) {
    const std::size_t n = file->Read(header + got, sizeof header - got);
    if (n == 0) {
      break;
    }
    got += n;
  }
  const auto starts_at = [&](std::size_t offset, const char* text) {
    const std::size_t length = std::strlen(text);
    return got >= offset + length && std::memcmp(header + offset, text, length) == 0;
  };
  return starts_at(0, "SQLite format 3") || starts_at(4, "Standard Jet DB") ||
         starts_at(4, "Standard ACE DB");
}

namespace {

// The diary's own file and the files its engine keeps beside it while it is open.
std::vector<std::u16string> DiaryFiles(const std::u16string& diary) {
  std::vector<std::u16string> files = {diary, diary + u"-wal", diary + u"-shm",
                                       diary + u"-journal"};
  const std::size_t dot = diary.find_last_of(u'.');
  if (dot != std::u16string::npos && diary.find_first_of(u"/\\", dot) == std::u16string::npos) {
    files.push_back(diary.substr(0, dot) + u".ldb");  // the Jet engine's lock file
  }
  return files;
}

}  // namespace

void RefuseDestructiveOutput(FileSystem& files, const std::u16string& diary,
                             const std::u16string& path, bool replacing) {
  if (!diary.empty()) {
    for (const std::u16string& file : DiaryFiles(diary)) {
      if (files.IsSameFile(path, file)) {
        throw Error(ErrorKind::kRefused,
                    PathBytes(path) + " is the diary " +
                        (file == diary ? "database" : "database's journal") + " (" +
                        PathBytes(diary) +
                        "); the export never writes over it. Name a new MovableType file");
      }
    }
  }
  if (replacing && files.FileExists(path, true) && IsDatabaseFile(files, path)) {
    throw Error(ErrorKind::kRefused,
                PathBytes(path) +
                    " is a database file, not a MovableType file; it was not deleted (were the "
                    "diary and the export file swapped?)");
  }
}

}  // namespace sarnlink
