// Code page 932 to UTF-16 on Windows, with MultiByteToWideChar(932) as the authority.
#pragma once

#include "encoding/code_page_932.h"

namespace sarnlink {

class MultiByteCodePage932 : public CodePage932 {
 public:
  std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const override;
  // Through code pages 20932 or 51932 (EUC-JP's 8F form and its pairs beyond code page 932),
  // 936 (GB 2312) and 949 (KS C 5601) where Windows has them; JIS X 0213 has no code page.
  std::u16string OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                   std::uint8_t cell) const override;
};

}  // namespace sarnlink
