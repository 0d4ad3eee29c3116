// The file-system port on POSIX: stat, access, unlink, open and write, and whole
// files through a temporary file, fsync and rename. Paths are turned from
// UTF-16 into UTF-8 bytes for the system and are never pattern-matched.
#pragma once

#include <string>

#include "interface/file_system.h"

namespace sarnlink {

// The path "/dev/stdout" is standard output itself, and a FIFO or character device a stream
// like it: both are written in place whatever the mode.
class PosixFileSystem : public FileSystem {
 public:
  bool FileExists(const std::u16string& path, bool include_read_only) override;
  void RemoveFile(const std::u16string& path) override;
  std::int64_t FileLength(const std::u16string& path) override;
  std::unique_ptr<InputFile> OpenForReading(const std::u16string& path) override;
  bool IsSameFile(const std::u16string& a, const std::u16string& b) override;
  PathKind KindOf(const std::u16string& path) override;
  std::unique_ptr<OutputFile> CreateForWriting(const std::u16string& path,
                                               OutputMode mode) override;
};

// Puts the finished file `temp` at `path` unless a file has appeared there since the path was
// checked, which is never replaced: then a refusal says `path` followed by `appeared`.
void PlaceWithoutReplacing(const std::string& temp, const std::string& path,
                           const std::string& appeared);

// Flushes a folder's entries, so that a rename in it survives a power cut.
void SyncFolder(const std::string& folder);

}  // namespace sarnlink
