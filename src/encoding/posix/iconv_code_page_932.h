// Code page 932 to UTF-16 on POSIX, with glibc iconv ("CP932") as the authority.
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "encoding/code_page_932.h"

namespace sarnlink {

// Code page 932 has no shift state, so a character's UTF-16 form never depends on what came
// before it. The adapter therefore asks iconv once, at construction, for every single byte and
// every lead-and-trail pair, and converts files by looking the answers up: the same result as
// running iconv over the file, without its per-call cost.
class IconvCodePage932 : public CodePage932 {
 public:
  // Throws a conversion error if this system's iconv has no CP932.
  IconvCodePage932();

  std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const override;
  bool AllCharacters(std::span<const std::uint8_t> bytes) const override;
  // Through iconv's EUC-JP (JIS X 0212), EUC-JISX0213, GB2312 and EUC-KR.
  std::u16string OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                   std::uint8_t cell) const override;

 private:
  std::array<char16_t, 256> alone_{};  // a byte that is no lead: its unit, or U+FFFD
  std::array<bool, 256> lead_{};       // whether the byte may start a pair
  std::vector<char16_t> pair_;         // lead * 256 + trail -> unit; 0 where invalid
  // One bit for each lead * 256 + trail with a unit, and for each byte that alone is a
  // character: pair_ and alone_ asked only whether, in a table small enough to stay in L1.
  std::array<std::uint64_t, 1024> pair_known_{};
  std::array<bool, 256> alone_known_{};
  // The leads are 81-9F and E0-FC and every ASCII byte is itself: blocks may be judged by masks.
  bool usual_leads_ = false;

  bool PairKnown(std::uint8_t lead, std::uint8_t trail) const;
  // The other sets' characters asked for so far (few files have any), by set, row and cell.
  mutable std::unordered_map<std::uint32_t, std::u16string> other_;

  static std::u16string AskOtherSet(OtherCharacterSet set, std::uint8_t row, std::uint8_t cell);
};

}  // namespace sarnlink
