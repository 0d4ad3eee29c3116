// Code page 932 to UTF-16 on Windows, with MultiByteToWideChar(932) as the authority.
#pragma once

#include "encoding/code_page_932.h"

namespace sarnlink {

class MultiByteCodePage932 : public CodePage932 {
 public:
  std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const override;
};

}  // namespace sarnlink
