#include "interface/jet/jet_text.h"

namespace sarnlink {
namespace {

char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

std::optional<std::u16string> DecodeJetText(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  const bool compressed = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  if (!compressed) {
    if (bytes.size() % 2 != 0) {
      return std::nullopt;
    }
    text.resize(bytes.size() / 2);
    for (std::size_t k = 0; k < text.size(); ++k) {
      text[k] = UnitAt(bytes, 2 * k);
    }
    return text;
  }
  text.reserve(bytes.size());
  bool one_byte_run = true;
  std::size_t at = 2;
  while (at < bytes.size()) {
    if (bytes[at] == 0) {
      one_byte_run = !one_byte_run;
      ++at;
    } else if (one_byte_run) {
      text.push_back(bytes[at]);
      ++at;
    } else if (at + 1 < bytes.size()) {
      text.push_back(UnitAt(bytes, at));
      at += 2;
    } else {
      return std::nullopt;  // half a character at the end of a two-byte run
    }
  }
  return text;
}

}  // namespace sarnlink
