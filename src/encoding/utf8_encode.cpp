// UTF-16 to UTF-8, one line at a time for the export writer.
#include <limits>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "encoding/utf8_kernels.h"

namespace sarnlink {
namespace {

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::int32_t EncodeUTF8(std::u16string_view text, Bytes& buffer) {
  const std::size_t n = text.size();
  if (n == 0) {
    return 0;
  }
  if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 3)) {
    throw Error(ErrorKind::kOverflow,
                "text of " + std::to_string(n) + " code units is too long to encode as UTF-8");
  }
  // One allocation at the worst case, three bytes a unit; a surrogate pair needs only four.
  buffer.resize(3 * n);
  std::uint8_t* out = buffer.data();
  std::size_t p = 0;
  std::size_t i = 0;
  while (i < n) {
    std::size_t vector_bytes = 0;
    i += kernels::EncodeAsciiAndThreeByteRuns(text.data() + i, n - i, out + p, vector_bytes);
    p += vector_bytes;
    // Fast path: the ASCII runs of key lines and markup.
    while (i < n && text[i] < 0x80) {
      out[p++] = static_cast<std::uint8_t>(text[i++]);
    }
    if (i == n) {
      break;
    }
    // Fast path: the runs of kana and kanji, three bytes a unit.
    while (i < n && text[i] >= 0x800 && (text[i] < 0xD800 || text[i] > 0xDFFF)) {
      const char16_t k = text[i++];
      out[p] = static_cast<std::uint8_t>(0xE0 | (k >> 12));
      out[p + 1] = static_cast<std::uint8_t>(0x80 | ((k >> 6) & 0x3F));
      out[p + 2] = static_cast<std::uint8_t>(0x80 | (k & 0x3F));
      p += 3;
    }
    if (i == n) {
      break;
    }
    const char16_t u = text[i];
    if (u < 0x80) {
      continue;
    }
    if (u < 0x800) {
      out[p++] = static_cast<std::uint8_t>(0xC0 | (u >> 6));
      out[p++] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
      i += 1;
    } else if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      const char32_t c =
          0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
      out[p++] = static_cast<std::uint8_t>(0xF0 | (c >> 18));
      out[p++] = static_cast<std::uint8_t>(0x80 | ((c >> 12) & 0x3F));
      out[p++] = static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F));
      out[p++] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
      i += 2;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      // An unpaired surrogate has no UTF-8 form; U+FFFD keeps the file valid for every reader.
      out[p++] = 0xEF;
      out[p++] = 0xBF;
      out[p++] = 0xBD;
      i += 1;
    } else {
      out[p++] = static_cast<std::uint8_t>(0xE0 | (u >> 12));
      out[p++] = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
      out[p++] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
      i += 1;
    }
  }
  buffer.resize(p);  // shrinking keeps the contents and the allocation
  return static_cast<std::int32_t>(p);
}

std::string ToUtf8(std::u16string_view text) {
  Bytes bytes;
  EncodeUTF8(text, bytes);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace sarnlink
