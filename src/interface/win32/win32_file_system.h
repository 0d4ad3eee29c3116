// The file-system port on Windows: attribute lookups (which never expand wildcards), DeleteFileW
// and CreateFileW. Paths are the host's Windows paths.
#pragma once

#include "interface/file_system.h"

namespace sarnlink {

class Win32FileSystem : public FileSystem {
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

}  // namespace sarnlink
