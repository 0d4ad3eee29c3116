#include "encoding/posix/iconv_code_page_932.h"

#include <iconv.h>

#include <bit>
#include <cerrno>

#include "common/errors.h"
#include "encoding/pair_scan.h"

namespace sarnlink {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// What iconv says of one byte sequence: a single UTF-16 unit, incomplete, or invalid.
enum class Answer { kUnit, kIncomplete, kInvalid };

Answer Ask(iconv_t cd, const std::uint8_t* bytes, std::size_t length, char16_t& unit) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {static_cast<char>(bytes[0]), length > 1 ? static_cast<char>(bytes[1]) : '\0'};
  char out[8];
  char* in_p = in;
  char* out_p = out;
  std::size_t in_left = length;
  std::size_t out_left = sizeof out;
  const std::size_t rc = iconv(cd, &in_p, &in_left, &out_p, &out_left);
  if (rc == static_cast<std::size_t>(-1)) {
    return errno == EINVAL ? Answer::kIncomplete : Answer::kInvalid;
  }
  if (sizeof out - out_left != 2 || in_left != 0) {
    return Answer::kInvalid;  // not exactly one BMP unit: never the case for code page 932
  }
  unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                               (static_cast<unsigned char>(out[1]) << 8));
  return Answer::kUnit;
}

}  // namespace

IconvCodePage932::IconvCodePage932() : pair_(65536, 0) {
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw Error(ErrorKind::kConversion, "this system's iconv cannot convert from CP932");
  }
  for (int b = 0; b < 256; ++b) {
    const std::uint8_t byte = static_cast<std::uint8_t>(b);
    char16_t unit = 0;
    const Answer answer = Ask(cd, &byte, 1, unit);
    lead_[b] = answer == Answer::kIncomplete;
    alone_[b] = answer == Answer::kUnit ? unit : kReplacement;
    alone_known_[b] = answer == Answer::kUnit;
  }
  for (int lead = 0; lead < 256; ++lead) {
    if (!lead_[lead]) {
      continue;
    }
    for (int trail = 0; trail < 256; ++trail) {
      const std::uint8_t pair[2] = {static_cast<std::uint8_t>(lead),
                                    static_cast<std::uint8_t>(trail)};
      char16_t unit = 0;
      if (Ask(cd, pair, 2, unit) == Answer::kUnit) {
        pair_[lead * 256 + trail] = unit;
        pair_known_[lead * 4 + trail / 64] |= std::uint64_t{1} << (trail % 64);
      }
    }
  }
  iconv_close(cd);
  usual_leads_ = true;
  for (int b = 0; b < 256; ++b) {
    const bool usual = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    usual_leads_ = usual_leads_ && lead_[b] == usual && (b >= 0x80 || alone_known_[b]);
  }
}

// Notes on invalid input: a byte that is neither a character nor the lead of a valid pair
// becomes U+FFFD and only that byte is consumed, as iconv reports it; the next byte is judged
// afresh. A lead byte at the very end becomes U+FFFD.
std::u16string IconvCodePage932::ToUtf16(std::span<const std::uint8_t> bytes) const {
  const std::size_t size = bytes.size();
  std::u16string out(size, u'\0');
  char16_t* o = out.data();
  const std::uint8_t* in = bytes.data();
  std::size_t p = 0;
  std::size_t i = 0;
  // Without branches on the bytes, which alternate between ASCII and pairs in Japanese text:
  // pair_ is 0 for every byte that is no lead, and alone_ is U+FFFD for a lead without a pair.
  while (i + 1 < size) {
    const std::uint8_t b = in[i];
    const char16_t pair = pair_[b * 256 + in[i + 1]];
    o[p++] = pair != 0 ? pair : alone_[b];
    i += pair != 0 ? 2 : 1;
  }
  if (i < size) {
    o[p++] = alone_[in[i]];  // a lead byte at the very end stands alone: U+FFFD
  }
  out.resize(p);
  return out;
}

bool IconvCodePage932::PairKnown(std::uint8_t lead, std::uint8_t trail) const {
  return (pair_known_[lead * 4 + trail / 64] >> (trail % 64) & 1) != 0;
}

// ToUtf16's reading without its output. Whole blocks are judged by masks where the code page's
// leads are the usual ones and every ASCII byte is itself (glibc's are): each pair start and each
// high byte standing alone is then looked up, with no step waiting on the one before. The bytes
// after the last block are read a character at a time.
bool IconvCodePage932::AllCharacters(std::span<const std::uint8_t> bytes) const {
  const std::uint8_t* in = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  bool second = false;  // in[i] is the second byte of a pair already judged
  const bool vector = VectorMasks();
  for (; usual_leads_ && size - i > 64; i += 64) {  // a pair's second byte is always there
    const std::uint64_t high = BytesInRange64(in + i, 0x80, 0xFF, vector);
    if (high == 0 && !second) {
      continue;
    }
    const bool first_is_second = second;
    const std::uint64_t leads =
        BytesInRange64(in + i, 0x81, 0x9F, vector) | BytesInRange64(in + i, 0xE0, 0xFC, vector);
    const std::uint64_t starts = PairStarts(leads, second);
    for (std::uint64_t alone = high & ~starts & ~(starts << 1 | first_is_second); alone != 0;
         alone &= alone - 1) {
      if (!alone_known_[in[i + static_cast<std::size_t>(std::countr_zero(alone))]]) {
        return false;
      }
    }
    for (std::uint64_t pairs = starts; pairs != 0; pairs &= pairs - 1) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(pairs));
      if (!PairKnown(in[at], in[at + 1])) {
        return false;
      }
    }
  }
  i += second ? 1 : 0;
  while (i < size) {
    const std::uint8_t b = in[i];
    if (!lead_[b]) {
      if (!alone_known_[b]) {
        return false;
      }
      ++i;
      continue;
    }
    if (i + 1 == size || !PairKnown(b, in[i + 1])) {
      return false;  // a lead byte at the very end, or a pair without a character
    }
    i += 2;
  }
  return true;
}

// The character's bytes in the EUC form of its set, which iconv reads.
std::u16string IconvCodePage932::OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                                   std::uint8_t cell) const {
  const std::uint32_t key = static_cast<std::uint32_t>(set) << 16 | row << 8 | cell;
  const auto known = other_.find(key);
  if (known != other_.end()) {
    return known->second;
  }
  return other_[key] = AskOtherSet(set, row, cell);
}

std::u16string IconvCodePage932::AskOtherSet(OtherCharacterSet set, std::uint8_t row,
                                             std::uint8_t cell) {
  const char* encoding = "EUC-JP";
  bool three_bytes = false;  // led by SS3 (8F)
  switch (set) {
    case OtherCharacterSet::kJisX0212:
      three_bytes = true;
      break;
    case OtherCharacterSet::kJisX0213Plane1:
      encoding = "EUC-JISX0213";
      break;
    case OtherCharacterSet::kJisX0213Plane2:
      encoding = "EUC-JISX0213";
      three_bytes = true;
      break;
    case OtherCharacterSet::kGb2312:
      encoding = "GB2312";
      break;
    case OtherCharacterSet::kKsC5601:
      encoding = "EUC-KR";
      break;
  }
  if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) {
    return std::u16string();
  }
  iconv_t cd = iconv_open("UTF-16LE", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::u16string();  // this system does not know the set: U+FFFD stands for it
  }
  char in[3] = {static_cast<char>(0x8F), static_cast<char>(row | 0x80),
                static_cast<char>(cell | 0x80)};
  char* in_p = three_bytes ? in : in + 1;
  std::size_t in_left = three_bytes ? 3 : 2;
  char out[16];
  char* out_p = out;
  std::size_t out_left = sizeof out;
  const std::size_t rc = iconv(cd, &in_p, &in_left, &out_p, &out_left);
  // A combining sequence may wait in the converter for what follows: flush it.
  const std::size_t flushed = iconv(cd, nullptr, nullptr, &out_p, &out_left);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1) ||
      in_left != 0) {
    return std::u16string();
  }
  std::u16string text;
  for (const char* p = out; p + 1 < out_p; p += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                  static_cast<unsigned char>(p[1]) << 8);
  }
  return text;
}

}  // namespace sarnlink
