// An InputFile over bytes already in memory: the whole-buffer decoding and the tools that check
// the piecewise reading against it read through the same interface as the import.
#pragma once

#include <algorithm>

#include "interface/file_system.h"

namespace sarnlink {

class MemoryInputFile : public InputFile {
 public:
  // `bytes` must outlive the object.
  explicit MemoryInputFile(const Bytes& bytes) : bytes_(bytes) {}

  std::size_t Read(std::uint8_t* out, std::size_t max) override {
    const std::size_t n = std::min(max, bytes_.size() - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), n, out);
    position_ += n;
    return n;
  }
  void Rewind() override { position_ = 0; }

 private:
  const Bytes& bytes_;
  std::size_t position_ = 0;  // the next byte to read
};

}  // namespace sarnlink
