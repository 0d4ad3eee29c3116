#include "encoding/win32/multibyte_code_page_932.h"

#include <windows.h>

#include <initializer_list>
#include <limits>

#include "common/errors.h"

namespace sarnlink {
namespace {

constexpr UINT kCodePage = 932;

// Converts `length` bytes with invalid sequences refused; 0 when Windows refuses them.
int Convert(const std::uint8_t* bytes, int length, char16_t* out, int out_length) {
  return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, reinterpret_cast<LPCCH>(bytes),
                             length, reinterpret_cast<LPWSTR>(out), out_length);
}

}  // namespace

// Notes on invalid input: the whole buffer is tried at once; only when Windows refuses it is the
// buffer converted character by character, each refused character becoming U+FFFD (Windows
// itself would put its default character there, which is not what the other platforms give).
std::u16string MultiByteCodePage932::ToUtf16(std::span<const std::uint8_t> bytes) const {
  if (bytes.empty()) {
    return std::u16string();
  }
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw Error(ErrorKind::kOverflow, "a buffer of " + std::to_string(bytes.size()) +
                                          " bytes is too large for code page 932 conversion");
  }
  const int size = static_cast<int>(bytes.size());
  std::u16string out(bytes.size(), u'\0');
  const int whole = Convert(bytes.data(), size, out.data(), size);
  if (whole > 0) {
    out.resize(static_cast<std::size_t>(whole));
    return out;
  }
  std::size_t p = 0;
  int i = 0;
  while (i < size) {
    const bool lead = IsDBCSLeadByteEx(kCodePage, bytes[i]) && i + 1 < size;
    const int length = lead ? 2 : 1;
    char16_t unit = 0;
    if (Convert(bytes.data() + i, length, &unit, 1) == 1) {
      out[p++] = unit;
      i += length;
    } else {
      out[p++] = 0xFFFD;
      i += 1;
    }
  }
  out.resize(p);
  return out;
}

namespace {

// The character at `bytes` in the first of `code_pages` that this Windows has and that knows it;
// empty where none does.
std::u16string FirstKnowing(std::initializer_list<UINT> code_pages, const char* bytes, int length) {
  for (const UINT code_page : code_pages) {
    if (!IsValidCodePage(code_page)) {
      continue;
    }
    char16_t out[4] = {};
    const int units = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes, length,
                                          reinterpret_cast<LPWSTR>(out), 4);
    if (units > 0) {
      return std::u16string(out, static_cast<std::size_t>(units));
    }
  }
  return std::u16string();
}

}  // namespace

// EUC-JP's 8F form and its pairs beyond code page 932 are asked of code page 20932, then of
// 51932, whichever this Windows has and knows the character.
std::u16string MultiByteCodePage932::OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                                       std::uint8_t cell) const {
  char three[3];
  if (!OtherSetBytes(row, cell, three)) {
    return std::u16string();
  }
  const char* const two = three + 1;
  switch (set) {
    case OtherCharacterSet::kJisX0212:
      return FirstKnowing({20932, 51932}, three, 3);
    case OtherCharacterSet::kEucJpMsTwoByte:
      return FirstKnowing({20932, 51932}, two, 2);
    case OtherCharacterSet::kGb2312:
      return FirstKnowing({936}, two, 2);
    case OtherCharacterSet::kKsC5601:
      return FirstKnowing({949}, two, 2);
    case OtherCharacterSet::kJisX0213Plane1:
    case OtherCharacterSet::kJisX0213Plane2:
      break;
  }
  return std::u16string();
}

}  // namespace sarnlink
