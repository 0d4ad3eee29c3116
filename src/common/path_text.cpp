#include "common/path_text.h"

namespace sarnlink {
namespace {

// The length of the valid UTF-8 sequence at bytes[at] and its code point; 0 when none starts
// there (a stray byte, an overlong form, a surrogate, a value past U+10FFFF, a cut sequence).
std::size_t ValidSequence(std::string_view bytes, std::size_t at, char32_t& code) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
  const unsigned char lead = b(0);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if ((b(k) & 0xC0) != 0x80) {
      return 0;
    }
    code = (code << 6) | (b(k) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::u16string PathFromBytes(std::string_view bytes) {
  std::u16string path;
  path.reserve(bytes.size());
  std::size_t at = 0;
  while (at < bytes.size()) {
    char32_t code = 0;
    const std::size_t length = ValidSequence(bytes, at, code);
    if (length == 0) {
      path += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[at]));
      ++at;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      path += static_cast<char16_t>(0xD800 + (code >> 10));
      path += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      path += static_cast<char16_t>(code);
    }
    at += length;
  }
  return path;
}

std::string PathBytes(std::u16string_view path) {
  std::string bytes;
  bytes.reserve(path.size());
  for (std::size_t k = 0; k < path.size(); ++k) {
    const char16_t unit = path[k];
    if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < path.size() && path[k + 1] >= 0xDC00 &&
        path[k + 1] <= 0xDFFF) {
      AppendUtf8(bytes, 0x10000 + ((unit - 0xD800) << 10) + (path[k + 1] - 0xDC00));
      ++k;
    } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
      bytes += static_cast<char>(unit - 0xDC00);  // a byte the name carried
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(bytes, 0xFFFD);
    } else {
      AppendUtf8(bytes, unit);
    }
  }
  return bytes;
}

}  // namespace sarnlink
