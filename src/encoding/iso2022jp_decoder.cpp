#include "encoding/iso2022jp_decoder.h"

#include "encoding/iso2022_escape.h"
#include "encoding/legacy_steps.h"

namespace sarnlink {

std::size_t Iso2022JpDecoder::Decode(const std::uint8_t* in, std::size_t size, bool last,
                                     std::u16string& out) {
  out.reserve(out.size() + size);
  std::size_t i = 0;
  while (i < size) {
    if (shift_.single_shift) {  // whatever the byte, it is another set's character
      shift_.single_shift = false;
      Replacement(out);
      i += 1;
      continue;
    }
    if (in[i] == kEsc) {
      const std::size_t taken = TakeEscape(in + i, size - i, last, out);
      if (taken == 0) {
        break;  // the escape's other bytes are in the next piece
      }
      i += taken;
      continue;
    }
    if (shift_.set == Iso2022Set::kJisX0208 || shift_.set == Iso2022Set::kOtherTwoByte) {
      const std::size_t taken = TakeTwoByte(in + i, size - i, last, out);
      if (taken == 0) {
        break;  // the pair's second byte is in the next piece
      }
      i += taken;
      continue;
    }
    // The common run of ASCII up to the next ESC goes in a tight loop.
    if (shift_.set == Iso2022Set::kAscii && held_.empty() && table_.AsciiIsItself()) {
      const std::size_t from = i;
      while (i < size && in[i] != kEsc && in[i] != 0 && in[i] < 0x80) {
        ++i;
      }
      out.append(in + from, in + i);
      if (i > from) {
        continue;
      }
    }
    TakeSingleByte(in[i], out);
    i += 1;
  }
  if (last) {
    Release(out);
  }
  return i;
}

// Returns the bytes the escape takes; 0 when they are still to come.
std::size_t Iso2022JpDecoder::TakeEscape(const std::uint8_t* in, std::size_t size, bool last,
                                         std::u16string& out) {
  const Escape escape = ReadEscape(in, size);
  if (escape.action == EscapeAction::kCut) {
    if (!last) {
      return 0;
    }
    Replacement(out);
  }
  shift_.Apply(escape);
  return escape.length;
}

// A pair of a two-byte set (its first byte is no ESC); returns the bytes taken, 0 when its
// second byte is still to come. JIS X 0208's runs go in a tight loop while nothing is held.
std::size_t Iso2022JpDecoder::TakeTwoByte(const std::uint8_t* in, std::size_t size, bool last,
                                          std::u16string& out) {
  std::size_t i = 0;
  if (shift_.set == Iso2022Set::kJisX0208 && held_.empty()) {
    for (char16_t unit = 0;
         i + 1 < size && in[i] != kEsc && (unit = table_.Pair(in[i], in[i + 1])) != 0; i += 2) {
      out.push_back(unit);
    }
    if (i > 0) {
      return i;
    }
  }
  if (size < 2) {
    if (!last) {
      return 0;
    }
    Replacement(out);  // a pair cut by the end
    return 1;
  }
  const std::uint8_t row = in[0];
  const std::uint8_t cell = in[1];
  if (shift_.set == Iso2022Set::kOtherTwoByte) {
    const std::u16string character =
        shift_.other_set ? code_page_.OtherSetCharacter(*shift_.other_set, row, cell) : u"";
    if (character.empty()) {
      Replacement(out);
    } else {
      Release(out);
      out += character;
    }
    return 2;
  }
  const char16_t unit = table_.Pair(row, cell);
  if (unit == 0) {
    Replacement(out);
  } else if (held_.empty()) {
    out.push_back(unit);
  } else {  // read with the bytes held before it, as Shift_JIS
    unsigned s1 = 0;
    unsigned s2 = 0;
    RowCellToShiftJis(row, cell, s1, s2);
    Hold(static_cast<std::uint8_t>(s1), out);
    Hold(static_cast<std::uint8_t>(s2), out);
  }
  return 2;
}

void Iso2022JpDecoder::TakeSingleByte(std::uint8_t byte, std::u16string& out) {
  switch (shift_.set) {
    case Iso2022Set::kKatakana:
      byte |= 0x80;
      break;
    case Iso2022Set::kOtherSingleByte:
      if (byte > 0x20 && byte < 0x7F) {
        Replacement(out);
        return;
      }
      break;  // spaces and line ends stay what they are
    case Iso2022Set::kAscii:
    case Iso2022Set::kJisX0208:
    case Iso2022Set::kOtherTwoByte:
      break;
  }
  const char16_t unit = table_.Single(byte);
  if (!held_.empty() || unit == 0) {
    Hold(byte, out);
  } else {
    out.push_back(unit);
  }
}

void Iso2022JpDecoder::Hold(std::uint8_t byte, std::u16string& out) {
  held_.push_back(byte);
  if (byte < 0x80) {  // an ASCII byte always ends a Shift_JIS character
    Release(out);
  }
}

void Iso2022JpDecoder::Release(std::u16string& out) {
  if (held_.empty()) {
    return;
  }
  const std::size_t from = out.size();
  out += code_page_.ToUtf16(held_);
  for (std::size_t k = from; k < out.size(); ++k) {
    if (out[k] == u'\0') {
      out[k] = u'\uFFFD';  // a zero byte is no text
    }
  }
  held_.clear();
}

}  // namespace sarnlink
