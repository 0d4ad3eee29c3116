// The UTF8 module: the export's UTF-8 encoder, and the import's UTF-8 detector and decoder.
// Text is UTF-16 code units; bytes are plain byte vectors. Nothing here touches a file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace sarnlink {

// Replaces the contents of `buffer` with the UTF-8 bytes of `text` and returns their count.
// Empty text returns 0 and leaves the buffer exactly as it was. A valid surrogate pair becomes
// one four-byte sequence; an unpaired surrogate becomes EF BF BD (U+FFFD), so what we write is
// always valid UTF-8. No byte-order mark is written. Text longer than 715,827,882 units (whose
// worst case, three bytes a unit, leaves 32 bits) throws an overflow error before the buffer is
// touched.
std::int32_t EncodeUTF8(std::u16string_view text, Bytes& buffer);

// Whether the first `count` bytes of `buffer` look like UTF-8: at least two complete multi-byte
// sequences, and no continuation byte (80-BF) where a character should start. Lead bytes of up
// to six-byte forms are accepted without range checks; FE and FF are passed over; a sequence
// that runs past the examined bytes ends the scan with the verdict of what came before it.
bool IsUTF8(const Bytes& buffer, std::int32_t count);

// The invalid bytes a decoding met: how many, and the offset of the first.
struct InvalidBytes {
  std::size_t count = 0;
  std::size_t first_offset = 0;  // meaningful when count > 0
};

// Decodes the whole buffer. One-, two-, three- and four-byte forms are decoded (a four-byte form
// gives a surrogate pair; the six-byte form of an encoded surrogate pair gives the same pair).
// Invalid input never fails: each invalid byte is replaced by `replacement` (dropped when it is
// empty) and decoding resumes at the very next byte; `invalid`, when given, receives their count
// and where the first was. A byte-order mark is kept as U+FEFF. An output size beyond 32 bits
// throws an overflow error.
std::u16string DecodeUTF8(std::span<const std::uint8_t> buffer, std::u16string_view replacement,
                          InvalidBytes* invalid = nullptr);

// The bytes DecodeUTF8 would find invalid in `buffer`, without decoding it; offsets count from
// `offset`. With `first_only` the search ends at the first (its count is then 0 or 1).
InvalidBytes FindInvalidUTF8(std::span<const std::uint8_t> buffer, std::size_t offset = 0,
                             bool first_only = false);

// Whether decoding `buffer` and encoding the text again gives `buffer` back: it has no invalid
// byte, no overlong three-byte form (E0 80-9F) and no encoded surrogate (ED A0-BF).
bool IsVerbatimUTF8(std::span<const std::uint8_t> buffer);

// A buffer that is not wholly valid is still plainly UTF-8 with a few stray bytes (a curly quote
// pasted from another code page) when it has at least kMostlyUTF8Ratio valid multi-byte
// sequences for every invalid byte. Japanese legacy text never comes near that: Shift_JIS kana
// and kanji lead bytes (81-9F) and EUC-JP kana (A4, A5) are UTF-8 continuation bytes, invalid
// where a character starts, and ISO-2022-JP has no byte above 7F at all. The scan stops as soon
// as the rest of the buffer could no longer make up the ratio.
inline constexpr std::size_t kMostlyUTF8Ratio = 16;

// Whether a buffer of `total` bytes, given in pieces in order, is wholly UTF-8 (only sequences
// DecodeUTF8 decodes, at least one of them multi-byte) or mostly UTF-8 (the ratio above). Each
// piece is read up to its last lead byte (Utf8ReadyEnd), whose character may be unfinished; the
// bytes from it wait for the next piece.
class UTF8Survey {
 public:
  explicit UTF8Survey(std::size_t total) : total_(total) {}
  // Feeds the next piece; `last` for the final one.
  void Feed(std::span<const std::uint8_t> piece, bool last);
  // Whether the answers can no longer change: the ratio is out of reach.
  bool ratio_out_of_reach() const { return ratio_out_of_reach_; }
  bool WhollyUtf8() const { return !ratio_out_of_reach_ && invalid_ == 0 && multibyte_ > 0; }
  bool MostlyUtf8() const {
    return !ratio_out_of_reach_ && invalid_ > 0 && multibyte_ >= kMostlyUTF8Ratio * invalid_;
  }

 private:
  std::size_t total_;         // the buffer's length
  std::size_t consumed_ = 0;  // bytes read so far, the waiting ones not included
  Bytes waiting_;             // the bytes after a piece's last ASCII byte
  std::size_t multibyte_ = 0;
  std::size_t invalid_ = 0;
  bool ratio_out_of_reach_ = false;
};

// Conveniences for the front ends, which speak UTF-8 to the operating system.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);

}  // namespace sarnlink
