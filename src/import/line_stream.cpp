#include "import/line_stream.h"

namespace sarnlink {

void LineCount::Feed(std::u16string_view text) {
  for (char16_t c : text) {
    if (c == u'\n') {
      lf_ += 1;
      crlf_ = crlf_ || after_cr_;
    } else if (c == u'\r') {
      cr_ += 1;
    }
    after_cr_ = c == u'\r';
  }
  if (!text.empty()) {
    fed_ = true;
    last_ = text.back();
  }
}

}  // namespace sarnlink
