#include "interface/database_file.h"

#include <cstring>

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

}  // namespace sarnlink
