// The part of an output file every platform shares: writes are gathered into one buffer, so a
// line costs a copy and not a system call. A platform supplies only the raw write and close.
#pragma once

#include "interface/file_system.h"

namespace sarnlink {

class BufferedOutputFile : public OutputFile {
 public:
  BufferedOutputFile() { pending_.reserve(kBufferSize); }

  void Write(std::span<const std::uint8_t> bytes) final {
    if (pending_.size() + bytes.size() > kBufferSize) {
      Flush();
    }
    if (bytes.size() > kBufferSize) {
      WriteToSystem(bytes.data(), bytes.size());
      return;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  }

  void Close() final {
    Flush();
    CloseInSystem();
  }

 protected:
  // Writes all `size` bytes or throws a file error.
  virtual void WriteToSystem(const std::uint8_t* data, std::size_t size) = 0;
  // Closes the file, throwing a file error that a deferred close would lose.
  virtual void CloseInSystem() = 0;

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;

  void Flush() {
    WriteToSystem(pending_.data(), pending_.size());
    pending_.clear();
  }

  Bytes pending_;  // written by the caller, not yet by the system
};

}  // namespace sarnlink
