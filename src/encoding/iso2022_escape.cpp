#include "encoding/iso2022_escape.h"

#include <string_view>

namespace sarnlink {
namespace {

// The set a two-byte designation names, where it is one of those code page 932 lacks.
std::optional<OtherCharacterSet> TwoByteSet(std::string_view between, std::uint8_t final_byte) {
  if (between == "$" && final_byte == 'A') {
    return OtherCharacterSet::kGb2312;
  }
  if (between != "$(") {
    return std::nullopt;
  }
  switch (final_byte) {
    case 'C':
      return OtherCharacterSet::kKsC5601;
    case 'D':
      return OtherCharacterSet::kJisX0212;
    case 'O':
    case 'Q':
      return OtherCharacterSet::kJisX0213Plane1;
    case 'P':
      return OtherCharacterSet::kJisX0213Plane2;
    default:
      return std::nullopt;
  }
}

}  // namespace

Escape ReadOtherEscape(const std::uint8_t* in, std::size_t size) {
  std::size_t k = 1;
  while (k < size && in[k] >= 0x20 && in[k] <= 0x2F && k <= 3) {
    ++k;
  }
  if (k >= size || (k == 1 && size <= 2)) {
    return Escape{EscapeAction::kCut, size, std::nullopt};
  }
  const std::uint8_t final_byte = in[k];
  if (final_byte < 0x30 || final_byte > 0x7E) {
    return Escape{EscapeAction::kLoneEsc, 1, std::nullopt};
  }
  const std::string_view between(reinterpret_cast<const char*>(in + 1), k - 1);
  Escape escape{EscapeAction::kNothing, k + 1, std::nullopt};
  if (between == "$" && (final_byte == 'B' || final_byte == 0x40)) {
    escape.action = EscapeAction::kJisX0208;
  } else if (between == "(" && (final_byte == 'J' || final_byte == 'B')) {
    escape.action = EscapeAction::kAscii;
  } else if (between == "(" && final_byte == 'I') {
    escape.action = EscapeAction::kKatakana;
  } else if (between == "$" || between == "$(") {
    escape.action = EscapeAction::kOtherTwoByte;
    escape.set = TwoByteSet(between, final_byte);
  } else if (between == "(") {
    escape.action = EscapeAction::kOtherSingleByte;
  } else if (between.empty() && (final_byte == 'N' || final_byte == 'O')) {
    escape.action = EscapeAction::kSingleShift;
  }
  return escape;
}

void Iso2022Shift::Apply(const Escape& escape) {
  switch (escape.action) {
    case EscapeAction::kJisX0208:
      set = Iso2022Set::kJisX0208;
      break;
    case EscapeAction::kAscii:
      set = Iso2022Set::kAscii;
      break;
    case EscapeAction::kKatakana:
      set = Iso2022Set::kKatakana;
      break;
    case EscapeAction::kOtherTwoByte:
      set = Iso2022Set::kOtherTwoByte;
      other_set = escape.set;
      break;
    case EscapeAction::kOtherSingleByte:
      set = Iso2022Set::kOtherSingleByte;
      break;
    case EscapeAction::kSingleShift:
      single_shift = true;
      break;
    case EscapeAction::kNothing:
    case EscapeAction::kLoneEsc:
    case EscapeAction::kCut:
      break;
  }
}

}  // namespace sarnlink
