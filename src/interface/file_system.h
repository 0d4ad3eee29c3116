// Port: the file system as the converter and the drivers use it. A "file" is a regular file,
// never a directory, and a path is always taken literally: no wildcard ever matches another
// file. Paths are UTF-16, as everywhere in the core.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "common/bytes.h"

namespace sarnlink {

// A file being written from its first byte, in one pass.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends the bytes at the end of what was written so far. Throws a file error.
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // Flushes and closes; a failure to flush is a file error, never lost.
  virtual void Close() = 0;
};

// A file being read from its first byte, a piece at a time, so that a large file never has to
// be held in memory whole.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `max` bytes at the current position into `out`; 0 only at the end. Throws a
  // file error.
  virtual std::size_t Read(std::uint8_t* out, std::size_t max) = 0;
  // Goes back to the first byte, for a second pass.
  virtual void Rewind() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Whether a file stands at `path`. With `include_read_only` false a file we may not write
  // does not count. An empty path is no file. A path that cannot be examined for a reason other
  // than its absence throws a file error.
  virtual bool FileExists(const std::u16string& path, bool include_read_only) = 0;

  // Deletes the file at `path`; throws a file error if it cannot.
  virtual void RemoveFile(const std::u16string& path) = 0;

  // The length in bytes of the file at `path`; throws a file error if it cannot be had.
  virtual std::int64_t FileLength(const std::u16string& path) = 0;

  // The whole file at `path`, read in one pass; throws a file error.
  virtual Bytes ReadWholeFile(const std::u16string& path) = 0;

  // Opens the file at `path` for reading in pieces; throws a file error.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::u16string& path) = 0;

  // Opens the file at `path` for writing from its first byte, creating it if it is missing and
  // cutting it to 0 bytes if it exists. Throws a file error.
  virtual std::unique_ptr<OutputFile> CreateForWriting(const std::u16string& path) = 0;
};

}  // namespace sarnlink
