// Shared types of the core: text is UTF-16 code units, file contents and encoded lines are
// plain byte vectors. A never-sized buffer and an empty one behave alike everywhere in this
// system, so no separate "never sized" state is kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarnlink {

using Bytes = std::vector<std::uint8_t>;

// Bytes from a string literal or std::string, for tests and fixed texts.
inline Bytes ToBytes(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

}  // namespace sarnlink
