// Reads a text from the left, a part at a time: what the readers of dates and times (the DATE
// of a MovableType file, a diary's times, a run stamp) are made of. Each step fails softly, so
// that a reader can try one form and then another.
#pragma once

#include <cstddef>
#include <string_view>

namespace sarnlink {

class TextCursor {
 public:
  explicit TextCursor(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : text_[at_]; }
  std::u16string_view Rest() const { return text_.substr(at_); }

  // Takes `c` when it comes next.
  bool Take(char16_t c) {
    if (Peek() != c) {
      return false;
    }
    ++at_;
    return true;
  }
  // Takes `text` when it comes next.
  bool TakeText(std::u16string_view text) {
    if (Rest().substr(0, text.size()) != text) {
      return false;
    }
    at_ += text.size();
    return true;
  }
  // A number of `min` to `max` decimal digits, not followed by another digit. The digits read
  // are taken even when it fails.
  bool Number(std::size_t min, std::size_t max, int& out) {
    std::size_t digits = 0;
    out = 0;
    while (digits < max && !AtEnd() && text_[at_] >= u'0' && text_[at_] <= u'9') {
      out = out * 10 + (text_[at_++] - u'0');
      ++digits;
    }
    return digits >= min && (AtEnd() || text_[at_] < u'0' || text_[at_] > u'9');
  }
  // Takes the spaces that come next; whether there was one.
  bool SkipSpaces() {
    const std::size_t start = at_;
    while (Take(u' ')) {
    }
    return at_ > start;
  }

 private:
  std::u16string_view text_;
  std::size_t at_ = 0;  // the next unit to read
};

}  // namespace sarnlink
