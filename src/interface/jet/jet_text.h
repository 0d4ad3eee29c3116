// Jet 4 text values as the file stores them: UTF-16LE, or the "Unicode compression" form that
// starts FF FE and then alternates runs of one-byte characters (U+0001 to U+00FF) and runs of
// UTF-16LE characters, a 00 byte ending each run.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sarnlink {

// The text of a stored value, every character kept (surrogate pairs and all); nothing when the
// bytes cannot be a Jet 4 text (an odd length of UTF-16LE), which only a damaged file holds.
std::optional<std::u16string> DecodeJetText(std::span<const std::uint8_t> bytes);

}  // namespace sarnlink
