// Code page 932 to UTF-16 on POSIX, with glibc iconv ("CP932") as the authority.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "encoding/code_page_932.h"

namespace sarnlink {

// Code page 932 has no shift state, so a character's UTF-16 form never depends on what came
// before it. The adapter therefore asks iconv once, when first asked to convert, for every single
// byte and every lead-and-trail pair, and converts files by looking the answers up: the same
// result as running iconv over the file, without its per-call cost. A UTF-8 file never pays for
// the tables.
class IconvCodePage932 : public CodePage932 {
 public:
  IconvCodePage932();
  ~IconvCodePage932() override;

  // These throw a conversion error if this system's iconv has no CP932.
  std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const override;
  bool AllCharacters(std::span<const std::uint8_t> bytes) const override;
  // Through iconv's EUC-JP (JIS X 0212) and EUC-JP-MS (eucJP-ms's 8F form and user-defined
  // pairs), EUC-JISX0213, GB2312 and EUC-KR.
  std::u16string OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                   std::uint8_t cell) const override;

 private:
  struct Tables;
  const Tables& tables() const;

  mutable std::once_flag built_;
  mutable std::unique_ptr<const Tables> tables_;
  // The other sets' characters asked for so far (few files have any), by set, row and cell.
  mutable std::unordered_map<std::uint32_t, std::u16string> other_;

  static std::u16string AskOtherSet(OtherCharacterSet set, std::uint8_t row, std::uint8_t cell);
};

}  // namespace sarnlink
