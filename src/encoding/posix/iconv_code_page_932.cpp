#include "encoding/posix/iconv_code_page_932.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <vector>

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

// Every pair `lead` starts, in as few calls as iconv allows: the pairs are laid end to end,
// and while each one that converts gives exactly one unit the units line up with the pairs; at
// a pair iconv refuses, that pair has none and the next call starts after it. False (asking
// nothing more) where the units do not line up.
bool AskRow(iconv_t cd, std::uint8_t lead, std::array<char16_t, 256>& units) {
  std::uint8_t in[512];
  for (int trail = 0; trail < 256; ++trail) {
    in[2 * trail] = lead;
    in[2 * trail + 1] = static_cast<std::uint8_t>(trail);
  }
  std::size_t trail = 0;
  while (trail < 256) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[512];
    char* in_p = reinterpret_cast<char*>(in + 2 * trail);
    char* out_p = out;
    std::size_t in_left = 2 * (256 - trail);
    std::size_t out_left = sizeof out;
    const std::size_t rc = iconv(cd, &in_p, &in_left, &out_p, &out_left);
    const std::size_t consumed = 2 * (256 - trail) - in_left;
    const std::size_t produced = sizeof out - out_left;
    if (consumed % 2 != 0 || produced != consumed) {
      return false;
    }
    for (std::size_t k = 0; k < consumed / 2; ++k) {
      units[trail + k] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * k]) |
                                               (static_cast<unsigned char>(out[2 * k + 1]) << 8));
    }
    trail += consumed / 2;
    if (rc != static_cast<std::size_t>(-1)) {
      return trail == 256;
    }
    units[trail++] = 0;  // refused
  }
  return true;
}

}  // namespace

namespace {

// The pair starts of a block of 64 bytes of Shift_JIS whose leads are the usual 81-9F and E0-FC
// (see PairStarts).
std::uint64_t ShiftJisPairStarts(const std::uint8_t* block, bool& second, bool vector) {
  return PairStarts(
      BytesInRange64(block, 0x81, 0x9F, vector) | BytesInRange64(block, 0xE0, 0xFC, vector),
      second);
}

}  // namespace

struct IconvCodePage932::Tables {
  std::array<char16_t, 256> alone{};  // a byte that is no lead: its unit, or U+FFFD
  std::array<bool, 256> lead{};       // whether the byte may start a pair
  std::vector<char16_t> pair = std::vector<char16_t>(65536, 0);  // lead * 256 + trail -> unit
  // Each lead and trail with a unit, and each byte that alone is a character: pair and alone
  // asked only whether.
  PairBits pair_known;
  std::array<bool, 256> alone_known{};
  // The leads are 81-9F and E0-FC and every ASCII byte is itself: blocks may be judged by masks.
  bool usual_leads = false;
};

IconvCodePage932::IconvCodePage932() = default;
IconvCodePage932::~IconvCodePage932() = default;

const IconvCodePage932::Tables& IconvCodePage932::tables() const {
  std::call_once(built_, [this] {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      throw Error(ErrorKind::kConversion, "this system's iconv cannot convert from CP932");
    }
    auto t = std::make_unique<Tables>();
    for (int b = 0; b < 256; ++b) {
      const std::uint8_t byte = static_cast<std::uint8_t>(b);
      char16_t unit = 0;
      const Answer answer = Ask(cd, &byte, 1, unit);
      t->lead[b] = answer == Answer::kIncomplete;
      t->alone[b] = answer == Answer::kUnit ? unit : kReplacement;
      t->alone_known[b] = answer == Answer::kUnit;
    }
    for (int lead = 0; lead < 256; ++lead) {
      if (!t->lead[lead]) {
        continue;
      }
      std::array<char16_t, 256> units{};
      if (!AskRow(cd, static_cast<std::uint8_t>(lead), units)) {
        for (int trail = 0; trail < 256; ++trail) {
          const std::uint8_t pair[2] = {static_cast<std::uint8_t>(lead),
                                        static_cast<std::uint8_t>(trail)};
          units[trail] = 0;
          Ask(cd, pair, 2, units[trail]);
        }
      }
      for (int trail = 0; trail < 256; ++trail) {
        if (units[trail] != 0) {
          t->pair[lead * 256 + trail] = units[trail];
          t->pair_known.Set(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail));
        }
      }
    }
    iconv_close(cd);
    t->usual_leads = true;
    for (int b = 0; b < 256; ++b) {
      const bool usual = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      t->usual_leads = t->usual_leads && t->lead[b] == usual && (b >= 0x80 || t->alone_known[b]);
    }
    tables_ = std::move(t);
  });
  return *tables_;
}

// Notes on invalid input: a byte that is neither a character nor the lead of a valid pair
// becomes U+FFFD and only that byte is consumed, as iconv reports it; the next byte is judged
// afresh. A lead byte at the very end becomes U+FFFD.
//
// Whole blocks of 64 bytes go by masks (see pair_scan.h): each character's unit is looked up
// with no step waiting on the one before, and a block holding a pair without a character is
// left to the byte-at-a-time reading, as is the rest after the last block.
std::u16string IconvCodePage932::ToUtf16(std::span<const std::uint8_t> bytes) const {
  const Tables& t = tables();
  const std::size_t size = bytes.size();
  std::u16string out(size, u'\0');
  char16_t* o = out.data();
  const std::uint8_t* in = bytes.data();
  const char16_t* pairs = t.pair.data();
  std::size_t p = 0;
  std::size_t i = 0;
  bool second = false;  // in[i] is the second byte of a pair already converted
  const bool vector = VectorMasks();
  for (; t.usual_leads && size - i > 64; i += 64) {  // a pair's second byte is always there
    const std::uint64_t high = BytesInRange64(in + i, 0x80, 0xFF, vector);
    if (high == 0 && !second) {
      for (std::size_t k = 0; k < 64; ++k) {
        o[p + k] = in[i + k];
      }
      p += 64;
      continue;
    }
    const bool first_is_second = second;
    const std::uint64_t starts = ShiftJisPairStarts(in + i, second, vector);
    const std::size_t block_from = p;
    unsigned unknown = 0;
    for (std::uint64_t characters = ~(starts << 1 | first_is_second); characters != 0;
         characters &= characters - 1) {
      const unsigned k = static_cast<unsigned>(std::countr_zero(characters));
      const std::uint8_t b = in[i + k];
      // Both lookups are made and the mask chooses, without a branch: pairs and single bytes
      // alternate at random in Japanese text. A single byte looks at entry 0 (no unit) rather
      // than at its own row of zeros, so that only the rows of real leads take room in the cache.
      const auto pair = static_cast<char16_t>(starts >> k & 1);
      const char16_t as_pair = pairs[(b * 256 + in[i + k + 1]) & -static_cast<unsigned>(pair)];
      const char16_t alone = t.alone[b];
      const auto unit = static_cast<char16_t>(alone ^ ((alone ^ as_pair) & -pair));
      // A pair without a character is read otherwise (its lead alone, then the next byte
      // afresh); a byte standing alone reads the same either way, U+FFFD or not.
      unknown |= pair & (unit == 0);
      o[p++] = unit;
    }
    if (unknown != 0) {
      p = block_from;
      second = first_is_second;
      break;
    }
  }
  i += second ? 1 : 0;
  // Without branches on the bytes, as above: pair is 0 for every byte that is no lead, and
  // alone is U+FFFD for a lead without a pair.
  while (i + 1 < size) {
    const std::uint8_t b = in[i];
    const char16_t pair = pairs[b * 256 + in[i + 1]];
    o[p++] = pair != 0 ? pair : t.alone[b];
    i += pair != 0 ? 2 : 1;
  }
  if (i < size) {
    o[p++] = t.alone[in[i]];  // a lead byte at the very end stands alone: U+FFFD
  }
  out.resize(p);
  return out;
}

// ToUtf16's reading without its output, its blocks judged the same way.
bool IconvCodePage932::AllCharacters(std::span<const std::uint8_t> bytes) const {
  const Tables& t = tables();
  const std::uint8_t* in = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  bool second = false;  // in[i] is the second byte of a pair already judged
  const bool vector = VectorMasks();
  for (; t.usual_leads && size - i > 64; i += 64) {  // a pair's second byte is always there
    const std::uint64_t high = BytesInRange64(in + i, 0x80, 0xFF, vector);
    if (high == 0 && !second) {
      continue;
    }
    const bool first_is_second = second;
    const std::uint64_t starts = ShiftJisPairStarts(in + i, second, vector);
    for (std::uint64_t alone = high & ~starts & ~(starts << 1 | first_is_second); alone != 0;
         alone &= alone - 1) {
      if (!t.alone_known[in[i + static_cast<std::size_t>(std::countr_zero(alone))]]) {
        return false;
      }
    }
    for (std::uint64_t pairs = starts; pairs != 0; pairs &= pairs - 1) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(pairs));
      if (!t.pair_known.Has(in[at], in[at + 1])) {
        return false;
      }
    }
  }
  i += second ? 1 : 0;
  while (i < size) {
    const std::uint8_t b = in[i];
    if (!t.lead[b]) {
      if (!t.alone_known[b]) {
        return false;
      }
      ++i;
      continue;
    }
    if (i + 1 == size || !t.pair_known.Has(b, in[i + 1])) {
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

namespace {

// The character at `bytes` as iconv's `encoding` reads it; empty where this system does not
// know the encoding or the character.
std::u16string AskIconv(const char* encoding, const char* bytes, std::size_t length) {
  iconv_t cd = iconv_open("UTF-16LE", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::u16string();
  }
  char in[3] = {};
  std::copy(bytes, bytes + length, in);
  char* in_p = in;
  std::size_t in_left = length;
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

}  // namespace

std::u16string IconvCodePage932::AskOtherSet(OtherCharacterSet set, std::uint8_t row,
                                             std::uint8_t cell) {
  char three[3];
  if (!OtherSetBytes(row, cell, three)) {
    return std::u16string();
  }
  const char* const two = three + 1;
  switch (set) {
    case OtherCharacterSet::kJisX0212: {
      // JIS X 0212 as EUC-JP maps it; what it leaves empty, as eucJP-ms fills it. The two
      // differ on one character they both have (8F A2 C3), where JIS X 0212's own reading stays.
      std::u16string text = AskIconv("EUC-JP", three, 3);
      return text.empty() ? AskIconv("EUC-JP-MS", three, 3) : text;
    }
    case OtherCharacterSet::kEucJpMsTwoByte:
      return AskIconv("EUC-JP-MS", two, 2);
    case OtherCharacterSet::kJisX0213Plane1:
      return AskIconv("EUC-JISX0213", two, 2);
    case OtherCharacterSet::kJisX0213Plane2:
      return AskIconv("EUC-JISX0213", three, 3);
    case OtherCharacterSet::kGb2312:
      return AskIconv("GB2312", two, 2);
    case OtherCharacterSet::kKsC5601:
      return AskIconv("EUC-KR", two, 2);
  }
  return std::u16string();
}

}  // namespace sarnlink
