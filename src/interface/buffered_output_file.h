// The part of an output file every platform shares: writes are gathered into one buffer, so a
// line costs a copy and not a system call, and the bytes the system has taken are counted. A
// platform supplies the raw write and the ends of a file.
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
      std::size_t done = 0;
      WriteAll(bytes.data(), bytes.size(), done);
      return;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  }

  void Finish() final {
    Flush();
    FinishInSystem();
  }

  void Place() override {}
  bool Placed() const override { return true; }

  std::string Abandon() noexcept final {
    try {
      if (KeepsWhatWasWritten()) {
        Flush();
      }
      AbandonInSystem();
      return std::string();
    } catch (const std::exception& e) {
      return e.what();
    }
  }

  std::uint64_t BytesOnDisk() const final { return on_disk_; }

 protected:
  // Writes some of the `size` bytes (at least one) and returns how many, or throws a file
  // error.
  virtual std::size_t WriteSomeToSystem(const std::uint8_t* data, std::size_t size) = 0;
  // Closes the file (a whole file flushed to the disk first), throwing a file error that a
  // deferred close would lose.
  virtual void FinishInSystem() = 0;
  // Closes the file after a failure; a whole file's temporary file goes. Throws a file error.
  virtual void AbandonInSystem() = 0;

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;

  // Every byte or an error. `done` counts what the system took, so that after an error those
  // bytes are never sent again.
  void WriteAll(const std::uint8_t* data, std::size_t size, std::size_t& done) {
    while (done < size) {
      const std::size_t written = WriteSomeToSystem(data + done, size - done);
      done += written;
      on_disk_ += written;
    }
  }

  void Flush() {
    std::size_t done = 0;
    try {
      WriteAll(pending_.data(), pending_.size(), done);
    } catch (...) {
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(done));
      throw;
    }
    pending_.clear();
  }

  Bytes pending_;              // written by the caller, not yet by the system
  std::uint64_t on_disk_ = 0;  // taken by the system
};

}  // namespace sarnlink
