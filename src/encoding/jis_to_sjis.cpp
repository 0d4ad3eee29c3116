// ISO-2022-JP to Shift_JIS by arithmetic on the JIS X 0208 row and cell bytes.
#include <cstring>

#include "common/errors.h"
#include "encoding/iso2022_escape.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/legacy_steps.h"

namespace sarnlink {
namespace {

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "ISO-2022-JP: " + what + " at byte offset " + std::to_string(offset));
}

}  // namespace

// Notes on invalid input: bytes that are not valid ISO-2022-JP but cause none of the failures
// below pass through as computed bytes, and the code page conversion decides what they become.
// An escape that is not an escape sequence (no final byte 30-7E) loses only its ESC.
Bytes JISToSJIS(const Bytes& jis, std::vector<OtherSetMark>* marks, const JisTextTable* known) {
  JisToShiftJisStream stream;
  if (known != nullptr) {
    stream.MarkUnknownPairs(*known);
  }
  Bytes out;
  out.reserve(jis.size());
  stream.Convert(jis.data(), jis.size(), true, out, marks);
  return out;
}

std::u16string ShiftJisTextWithMarks(std::span<const std::uint8_t> sjis,
                                     std::span<const OtherSetMark> marks,
                                     const CodePage932& code_page) {
  std::u16string text;
  std::size_t from = 0;
  for (const OtherSetMark& mark : marks) {
    if (mark.at > from) {
      text += code_page.ToUtf16(sjis.subspan(from, mark.at - from));
    }
    const std::u16string character =
        mark.set ? code_page.OtherSetCharacter(*mark.set, mark.row, mark.cell) : u"";
    text += character.empty() ? std::u16string(1, u'\uFFFD') : character;
    from = mark.at;
  }
  if (from < sjis.size()) {
    text += code_page.ToUtf16(sjis.subspan(from));
  }
  return text;
}

// The escape at `i`, taken in; false when its other bytes are still to come; at the end, a
// failure.
bool JisToShiftJisStream::TakeEscape(const std::uint8_t* in, std::size_t size, bool last,
                                     std::size_t& i) {
  const Escape escape = ReadEscape(in + i, size - i);
  if (escape.action == EscapeAction::kCut) {
    if (!last) {
      return false;
    }
    Fail("an escape sequence cut off by the end of the input", offset_ + i);
  }
  shift_.Apply(escape);
  i += escape.length;
  return true;
}

std::size_t JisToShiftJisStream::Convert(const std::uint8_t* in, std::size_t size, bool last,
                                         Bytes& out, std::vector<OtherSetMark>* marks) {
  const std::size_t start = out.size();
  out.resize(start + size);  // at most one byte out for each byte in
  std::size_t written = 0;
  const std::size_t converted = Run(in, size, last, out.data() + start, written, marks, start);
  out.resize(start + written);
  return converted;
}

namespace {

// Where the run of bytes from `i` up to the next ESC ends. Runs between escapes are short in
// Japanese text (a word or two of ASCII), too short for memchr to pay.
std::size_t AsciiRunEnd(const std::uint8_t* in, std::size_t i, std::size_t size) {
  while (i < size && in[i] != kEsc) {
    ++i;
  }
  return i;
}

}  // namespace

// A zero byte is written like any other. With `o` null nothing is written.
std::size_t JisToShiftJisStream::Run(const std::uint8_t* in, std::size_t size, bool last,
                                     std::uint8_t* o, std::size_t& p,
                                     std::vector<OtherSetMark>* marks, std::size_t base) {
  auto put = [&](unsigned byte) {
    any_ = true;
    if (o) {
      o[p] = static_cast<std::uint8_t>(byte);
    }
    ++p;
  };
  auto mark = [&](std::optional<OtherCharacterSet> set, std::uint8_t row, std::uint8_t cell) {
    any_ = true;
    if (marks) {
      marks->push_back(OtherSetMark{base + p, set, row, cell});
    }
  };
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t b = in[i];
    if (shift_.single_shift) {
      shift_.single_shift = false;
      mark(std::nullopt, 0, 0);
      i += 1;
      continue;
    }
    if (b == kEsc) {
      if (!TakeEscape(in, size, last, i)) {
        break;  // the escape's other bytes are in the next piece
      }
      continue;
    }
    // The common runs go in tight loops: ASCII up to the next ESC, and JIS X 0208
    // pairs that have their characters up to the next ESC (a pair's second byte may be one).
    // Anything else is taken below, a byte or pair at a time.
    if (shift_.set == Iso2022Set::kAscii) {
      const std::size_t end = AsciiRunEnd(in, i, size);
      if (o) {
        std::memcpy(o + p, in + i, end - i);
      }
      p += end - i;
      any_ = true;
      i = end;
      continue;
    }
    if (shift_.set == Iso2022Set::kJisX0208) {
      const std::size_t from = i;
      unsigned s1 = 0;
      unsigned s2 = 0;
      while (i + 1 < size && in[i] != kEsc && RowCellToShiftJis(in[i], in[i + 1], s1, s2) &&
             (known_ == nullptr || known_->Known(in[i], in[i + 1]))) {
        if (o) {
          o[p] = static_cast<std::uint8_t>(s1);
          o[p + 1] = static_cast<std::uint8_t>(s2);
        }
        p += 2;
        i += 2;
      }
      if (i > from) {
        any_ = true;
        continue;
      }
    }
    if (shift_.set == Iso2022Set::kAscii) {
      put(b);
      i += 1;
    } else if (shift_.set == Iso2022Set::kKatakana) {
      put(b | 0x80u);
      i += 1;
    } else if (shift_.set == Iso2022Set::kOtherSingleByte) {
      if (b > 0x20 && b < 0x7F) {
        mark(std::nullopt, 0, 0);
      } else {
        put(b);  // spaces and line ends stay what they are
      }
      i += 1;
    } else {
      if (i + 1 >= size) {
        if (!last) {
          break;  // the pair's second byte is in the next piece
        }
        Fail("a two-byte character cut off by the end of the input", offset_ + i);
      }
      unsigned s1 = 0;
      unsigned s2 = 0;
      if (!RowCellToShiftJis(in[i], in[i + 1], s1, s2)) {
        Fail("a row or cell byte outside 21-7E", offset_ + i);
      }
      if (shift_.set == Iso2022Set::kOtherTwoByte) {
        mark(shift_.other_set, in[i], in[i + 1]);
      } else if (known_ != nullptr && known_->Pair(in[i], in[i + 1]) == 0) {
        mark(std::nullopt, in[i], in[i + 1]);
      } else {
        put(s1);
        put(s2);
      }
      i += 2;
    }
  }
  offset_ += i;
  if (last && !any_) {
    throw Error(ErrorKind::kConversion, "ISO-2022-JP: the input holds no text (empty result)");
  }
  return i;
}

}  // namespace sarnlink
