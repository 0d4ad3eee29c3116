// The import's lines, cut from text that arrives in pieces. A first pass over the pieces finds
// the separator (LF once every CR LF counts as one, when the text has a CR LF; else LF when it
// has one; else CR) and counts the separators; a second pass cuts the lines. Empty pieces count
// as lines, so n separators give n + 1 lines.
#pragma once

#include <string>
#include <string_view>

namespace sarnlink {

class LineCount {
 public:
  void Feed(std::u16string_view text);
  // Whether the text has a CR LF: then every CR LF ends a line as one separator, and a lone CR
  // stays inside its line.
  bool crlf() const { return crlf_; }
  char16_t separator() const { return crlf_ || lf_ > 0 ? u'\n' : u'\r'; }
  std::size_t separators() const { return crlf_ || lf_ > 0 ? lf_ : cr_; }
  // The lines as a person counts them: every separator ends one, and text after the last
  // separator is one more ("a\nb\n" and "a\nb" are two lines each).
  std::size_t lines() const {
    const bool ends_with_separator = separator() == u'\n' ? last_ == u'\n' : last_ == u'\r';
    return separators() + (fed_ && !ends_with_separator ? 1 : 0);
  }

 private:
  bool crlf_ = false;
  bool after_cr_ = false;  // the last unit fed was a CR
  bool fed_ = false;       // any unit was fed
  char16_t last_ = 0;      // the last unit fed
  std::size_t lf_ = 0;
  std::size_t cr_ = 0;
};

class LineCutter {
 public:
  explicit LineCutter(const LineCount& count)
      : separator_(count.separator()), crlf_(count.crlf()) {}

  // Calls `line` with every line the text completes.
  template <class LineSink>
  void Feed(std::u16string_view text, LineSink&& line) {
    std::size_t start = 0;
    while (true) {
      const std::size_t end = text.find(separator_, start);
      if (end == std::u16string_view::npos) {
        partial_.append(text.substr(start));
        return;
      }
      if (partial_.empty()) {
        line(Trimmed(text.substr(start, end - start)));
      } else {
        partial_.append(text.substr(start, end - start));
        line(Trimmed(partial_));
        partial_.clear();
        if (partial_.capacity() > kKeptCapacity) {
          partial_.shrink_to_fit();  // a long line's room is not kept for the rest of the file
        }
      }
      start = end + 1;
    }
  }

  // Calls `line` with the last line, the text after the last separator (perhaps empty).
  template <class LineSink>
  void Finish(LineSink&& line) {
    line(std::u16string_view(partial_));
    partial_.clear();
  }

 private:
  // A line cut at LF in a CR LF text loses the CR of its CR LF.
  std::u16string_view Trimmed(std::u16string_view line) const {
    return crlf_ && !line.empty() && line.back() == u'\r' ? line.substr(0, line.size() - 1) : line;
  }

  static constexpr std::size_t kKeptCapacity = 1 << 20;

  char16_t separator_;
  bool crlf_;
  std::u16string partial_;  // the start of a line whose end has not come yet
};

}  // namespace sarnlink
