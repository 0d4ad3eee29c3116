// Port: the file system as the converter and the drivers use it. A "file" is a regular file,
// never a directory (a pipe or device is told apart where an export may write to it), and a path is
// always taken literally: no wildcard ever matches another file. Paths are UTF-16, as everywhere in
// the core.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "common/bytes.h"

namespace sarnlink {

// How an output file meets the path it is written to.
enum class OutputMode {
  // A new file, refused when one already stands at the path; written where it stands, so the
  // bytes written before a failure stay in it (the component's export).
  kNewInPlace,
  // Written to a temporary file beside the path, which becomes the file at the path only when
  // it is whole and flushed to the disk; refused when a file stands at the path by then.
  kNewWhole,
  // Like kNewWhole, but it replaces a file standing at the path, keeping its permission bits.
  kReplaceWhole,
};

// A file being written from its first byte, in one pass.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends the bytes at the end of what was written so far. Throws a file error.
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // Finishes the file: Finish, then Place.
  void Close() {
    Finish();
    Place();
  }
  // Writes out and closes the file; a whole file is flushed to the disk but stays under its
  // temporary name. A failure is a file error, never lost; then nothing was put at the path.
  virtual void Finish() = 0;
  // Puts a finished whole file at its path (nothing to do for a file written in place). When
  // the file went into place but its folder could not be flushed after, the file error says
  // so and Placed() is true.
  virtual void Place() = 0;
  // Whether the new file stands at its path: a whole file once placed, a file written in place
  // from the start.
  virtual bool Placed() const = 0;
  // Ends a file whose writing failed: a whole file's temporary file is removed (the path is as
  // it was); a file written in place keeps what was written, flushed as far as it goes. Returns
  // what went wrong on the way, or nothing; it never throws, so the first error goes on.
  virtual std::string Abandon() noexcept = 0;
  // The bytes the system has taken so far: what a file written in place holds after a failure.
  virtual std::uint64_t BytesOnDisk() const = 0;
  // Whether the bytes written before a failure stay where they went (a file written in place,
  // or standard output), instead of never reaching the path.
  virtual bool KeepsWhatWasWritten() const = 0;
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

// What stands at a path an export is to write.
enum class PathKind {
  kNothing,  // no file: one can be made
  kFile,     // a regular file
  kStream,   // a FIFO or character device: written as a stream, never replaced or removed
  kOther,    // a folder, block device or socket: never written
};

// The refusal of a path that is a folder or a device that takes no stream.
inline std::string NotAFileMessage(const std::string& path) {
  return path + " is a folder or a device, not a file; the export writes a file";
}

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

  // Opens the file at `path` for reading in pieces; throws a file error.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::u16string& path) = 0;

  // Whether `a` and `b` name one file: compared as files (device and inode, volume and file
  // index) when both exist, else as the same name in the same folder. An empty path names no
  // file. Throws a file error only when a folder cannot be examined.
  virtual bool IsSameFile(const std::u16string& a, const std::u16string& b) = 0;

  // What stands at `path`; throws a file error only when it cannot be examined.
  virtual PathKind KindOf(const std::u16string& path) {
    return FileExists(path, true) ? PathKind::kFile : PathKind::kNothing;
  }

  // Opens a file for writing at `path` from its first byte, as `mode` says. A file standing at
  // the path where the mode allows none is a refusal (ErrorKind::kRefused); any other failure
  // is a file error.
  virtual std::unique_ptr<OutputFile> CreateForWriting(const std::u16string& path,
                                                       OutputMode mode) = 0;
};

}  // namespace sarnlink
