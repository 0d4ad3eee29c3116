// The modKanjiCodeConvert module: tells Shift_JIS, ISO-2022-JP and EUC-JP apart, and turns
// ISO-2022-JP and EUC-JP into Shift_JIS by arithmetic on the JIS row and cell bytes (no mapping
// tables). The Shift_JIS bytes become text through the code page 932 port.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"

namespace sarnlink {

// The legacy detector's verdict.
enum KanjiCode : std::int32_t {
  kcBinary = 0,    // a zero byte came before any decisive evidence
  kcShiftJIS = 1,  // Shift_JIS, or no decision
  kcJIS = 2,       // ISO-2022-JP
  kcEUC = 3,       // EUC-JP
};

// Scores every byte pair until the first decisive one; never fails.
KanjiCode DetectKanjiCode(const Bytes& buffer);

// DetectKanjiCode over a buffer given in pieces, in order.
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

  int s_ = 0;                  // evidence for Shift_JIS
  int j_ = 0;                  // evidence for ISO-2022-JP
  int e_ = 0;                  // evidence for EUC-JP
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

// JISToSJIS over an input given in pieces, in order: the same bytes out, the same failures at
// the same offsets. An escape or a pair cut by a piece's end waits for the next piece.
class JisToShiftJisStream {
 public:
  // Converts `size` bytes at `in`, appending to `out`; `last` for the final piece. Returns the
  // bytes converted (the rest must come again at the front of the next piece). At the last piece
  // a result that would be empty throws, as JISToSJIS does.
  std::size_t Convert(const std::uint8_t* in, std::size_t size, bool last, Bytes& out);
  // The same, without the bytes: only the failures.
  std::size_t Check(const std::uint8_t* in, std::size_t size, bool last);

 private:
  std::size_t Run(const std::uint8_t* in, std::size_t size, bool last, std::uint8_t* out,
                  std::size_t& written);
  std::size_t CheckSevenBit(const std::uint8_t* in, std::size_t size, bool last);
  bool TakeEscape(const std::uint8_t* in, std::size_t size, bool last, std::size_t& i);

  enum class State { kSingleByte, kTwoByte, kKatakana };
  State state_ = State::kSingleByte;
  std::size_t offset_ = 0;  // where `in` stands in the whole input
  bool cut_ = false;        // a zero byte came out: everything after it is dropped
  bool any_ = false;        // some byte came out before the cut
};

// The one-pass EUC-JP to Shift_JIS loop over `size` bytes that hold no 00, 1B, 80 or 9B, writing
// at most `size` bytes at `out` and returning their count. `offset` is where `in` stands in the
// whole input, for the messages of the failures EUCToJIS names.
std::size_t EucPairsToShiftJis(const std::uint8_t* in, std::size_t size, std::size_t offset,
                               std::uint8_t* out);

// Throws what EucPairsToShiftJis would throw over the same bytes, without converting them.
void CheckEucPairs(const std::uint8_t* in, std::size_t size, std::size_t offset);

// Whether EUC-JP bytes may take EUCToSJIS's one-pass road: they hold no ESC or zero byte, and
// no 9B or 80 (which lose their high bit to become ESC or zero in a pair). A whole input is
// safe when every piece of it is.
bool OnePassSafe(std::span<const std::uint8_t> euc);

// ISO-2022-JP to Shift_JIS. The result stops before its first zero byte. Throws a conversion
// error naming the byte offset for an escape among the last two bytes, a two-byte character cut
// by the end, a computed byte above FF, and an empty result.
Bytes JISToSJIS(const Bytes& jis);

// EUC-JP to ISO-2022-JP. The result stops before its first zero byte. Throws a conversion error
// naming the byte offset for a high byte as the last byte, a second byte below 80, and an empty
// result. JIS X 0212 (SS3, 8F) is not supported: 8F and its next byte are read as a pair.
Bytes EUCToJIS(const Bytes& euc);

// EUCToJIS, then JISToSJIS.
Bytes EUCToSJIS(const Bytes& euc);

std::u16string JISToString(const Bytes& jis, const CodePage932& code_page);
std::u16string EUCToString(const Bytes& euc, const CodePage932& code_page);

}  // namespace sarnlink
