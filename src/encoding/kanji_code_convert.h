// The modKanjiCodeConvert module: tells Shift_JIS, ISO-2022-JP and EUC-JP apart, and turns
// ISO-2022-JP and EUC-JP into Shift_JIS by arithmetic on the JIS row and cell bytes (no mapping
// tables). The Shift_JIS bytes become text through the code page 932 port.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/iso2022_escape.h"

namespace sarnlink {

class JisTextTable;

// The legacy detector's verdict.
enum KanjiCode : std::int32_t {
  kcBinary = 0,    // a zero byte came before any decisive evidence
  kcShiftJIS = 1,  // Shift_JIS, or no decision
  kcJIS = 2,       // ISO-2022-JP
  kcEUC = 3,       // EUC-JP
};

// The legacy detector over a buffer given in pieces, in order: it scores every byte pair until
// the first decisive one, and never fails.
class KanjiDetector {
 public:
  void Feed(const std::uint8_t* bytes, std::size_t size);
  // Whether a decisive pair has been seen (no later byte can change the verdict).
  bool decided() const { return decided_; }
  // The verdict on everything fed so far.
  KanjiCode Result() const;
  // Whether a Shift_JIS verdict came from a pair that EUC-JP writes too: its half-width
  // katakana prefix 8E before A1-DF, or its JIS X 0212 prefix 8F before A1-FE.
  bool ShiftJisByEucPrefix() const { return euc_prefix_; }

 private:
  void Decide(KanjiCode code) {
    decided_ = true;
    verdict_ = code;
  }

  // Evidence for each, one point a pair: 64 bits, so that no file can overflow them.
  std::int64_t s_ = 0;         // Shift_JIS
  std::int64_t j_ = 0;         // ISO-2022-JP
  std::int64_t e_ = 0;         // EUC-JP
  std::uint8_t previous_ = 0;  // the byte that waits for its second
  bool has_previous_ = false;
  std::size_t pairs_ = 0;
  bool decided_ = false;
  bool euc_prefix_ = false;
  KanjiCode verdict_ = kcShiftJIS;
};

// Whether bytes given in pieces read whole as EUC-JP: every byte from 80 up belongs to a JIS X
// 0208 character (A1-FE twice), a half-width katakana (8E, A1-DF) or a JIS X 0212 character
// (8F, A1-FE twice), and at least one JIS X 0208 character is among them. Shift_JIS prose never
// is: its kana and punctuation have lead bytes 81-84, which EUC-JP never writes.
class EucJpShape {
 public:
  void Feed(std::span<const std::uint8_t> bytes);
  bool broken() const { return broken_; }
  bool Plain() const { return !broken_ && due_ == 0 && jis_x0208_ > 0; }

 private:
  int due_ = 0;            // trail bytes still to come for the character begun
  bool katakana_ = false;  // the character begun is a half-width katakana (its trail A1-DF)
  bool counted_ = false;   // the character begun is a JIS X 0208 one
  std::size_t jis_x0208_ = 0;
  bool broken_ = false;
};

// Whether the verdict is read again against the shape of the whole file: a Shift_JIS verdict
// that came from EUC-JP's prefixes, or an EUC-JP verdict that no decisive pair made.
inline bool WantsSecondReading(const KanjiDetector& detector) {
  const KanjiCode code = detector.Result();
  return (code == kcShiftJIS && detector.ShiftJisByEucPrefix()) ||
         (code == kcEUC && !detector.decided());
}

// The second reading: such a Shift_JIS verdict on a file that is plainly EUC-JP as a whole is
// EUC-JP; such an EUC-JP verdict on a file that EUC-JP cannot have written is Shift_JIS.
inline KanjiCode SecondReading(const KanjiDetector& detector, const EucJpShape& shape) {
  const KanjiCode code = detector.Result();
  if (!WantsSecondReading(detector)) {
    return code;
  }
  if (code == kcShiftJIS) {
    return shape.Plain() ? kcEUC : code;
  }
  return shape.broken() ? kcShiftJIS : code;
}

// A character in the Shift_JIS a JisToShiftJisStream writes that has no Shift_JIS bytes: where
// it stands in the output, and what it is (no set for one the converter cannot name, or for a
// single shift's byte).
struct OtherSetMark {
  std::size_t at = 0;
  std::optional<OtherCharacterSet> set;
  std::uint8_t row = 0;
  std::uint8_t cell = 0;
};

// JISToSJIS over an input given in pieces, in order: the same bytes out, the same failures at
// the same offsets. An escape or a pair cut by a piece's end waits for the next piece.
//
// Beside JIS X 0208, ASCII, JIS X 0201 Roman and katakana, ISO-2022-JP-2 and -3 files designate
// sets that Shift_JIS has no bytes for (JIS X 0212 "ESC $ ( D", JIS X 0213 "ESC $ ( O", "P" and
// "Q", GB 2312 "ESC $ A", KS C 5601 "ESC $ ( C", and others): each of their characters is marked
// instead, a place in the output where the text holds that character (or U+FFFD, where the
// platform does not know it), so that they are never read as ASCII. An escape the converter does
// not know at all is passed over whole.
class JisToShiftJisStream {
 public:
  // Converts `size` bytes at `in`, appending to `out`; `last` for the final piece. Returns the
  // bytes converted (the rest must come again at the front of the next piece). At the last piece
  // a result that would be empty throws, as JISToSJIS does. `marks`, when given, receives the
  // characters that have no Shift_JIS bytes, in order, their places counted in `out`.
  std::size_t Convert(const std::uint8_t* in, std::size_t size, bool last, Bytes& out,
                      std::vector<OtherSetMark>* marks = nullptr);
  // From now on a JIS X 0208 pair that code page 932 has no character for is marked (and so
  // becomes U+FFFD) instead of written: its Shift_JIS bytes would be read a byte at a time, and
  // the second would lead a pair with the next character's first byte, garbling that one too.
  void MarkUnknownPairs(const JisTextTable& table) { known_ = &table; }

 private:
  std::size_t Run(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out,
                  std::size_t& written, std::vector<OtherSetMark>* marks, std::size_t base);
  bool TakeEscape(const std::uint8_t* in, std::size_t size, bool last, std::size_t& i);

  Iso2022Shift shift_;      // the set the escapes chose; another set's characters are marked
  std::size_t offset_ = 0;  // where `in` stands in the whole input
  bool any_ = false;        // some byte or mark came out
  const JisTextTable* known_ = nullptr;  // what code page 932 has a character for, when asked
};

// EUCToJIS over an input given in pieces, in order: the same ISO-2022-JP bytes out and the same
// failures at the same offsets. A character cut by a piece's end waits for the next piece.
class EucToJisStream {
 public:
  // Converts `size` bytes at `in`, appending to `out`; `last` for the final piece. Returns the
  // bytes converted (the rest must come again at the front of the next piece).
  std::size_t Convert(const std::uint8_t* in, std::size_t size, bool last, Bytes& out);

 private:
  enum class Mode { kSingleByte, kTwoByte, kKatakana, kJisX0212 };
  Mode mode_ = Mode::kSingleByte;
  std::size_t offset_ = 0;  // where `in` stands in the whole input
  bool any_ = false;        // some byte came out
};

// Shift_JIS bytes as text, with each of `marks` (in order, their places counted in `sjis`) as
// its character, or U+FFFD where the platform does not know it.
std::u16string ShiftJisTextWithMarks(std::span<const std::uint8_t> sjis,
                                     std::span<const OtherSetMark> marks,
                                     const CodePage932& code_page);

// ISO-2022-JP to Shift_JIS. A zero byte stays a zero byte. Throws a conversion
// error naming the byte offset for an escape cut by the end, a two-byte character cut by the
// end, a computed byte above FF, and an empty result. `marks` as JisToShiftJisStream gives them.
// With `known`, the pairs it has no character for are marked too (JisToShiftJisStream's
// MarkUnknownPairs).
Bytes JISToSJIS(const Bytes& jis, std::vector<OtherSetMark>* marks = nullptr,
                const JisTextTable* known = nullptr);

// EUC-JP to ISO-2022-JP. A zero byte stays a zero byte. Throws a conversion error
// naming the byte offset and the bytes for a character cut by the end, a second byte below 80, a
// JIS X 0212 character (8F) whose bytes are not A1-FE, and an empty result. JIS X 0212 becomes
// "ESC $ ( D" and its row and cell.
Bytes EUCToJIS(const Bytes& euc);

// EUCToJIS, then JISToSJIS.
Bytes EUCToSJIS(const Bytes& euc);

std::u16string JISToString(const Bytes& jis, const CodePage932& code_page);
// EUC-JP as text by its own rules (AppendEucText): never fails, every byte becomes a character
// or U+FFFD.
std::u16string EUCToString(const Bytes& euc, const CodePage932& code_page);

}  // namespace sarnlink
