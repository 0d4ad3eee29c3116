#include "common/say.h"

#include <vector>

#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

Translator g_translator = nullptr;  // none: texts stay as written

// {0} to {9} replaced by values[0] to values[9]; a brace that names no value stays as it is.
template <class Char>
std::basic_string<Char> FillText(std::basic_string_view<Char> text,
                                 const std::basic_string_view<Char>* values, std::size_t count) {
  std::basic_string<Char> out;
  out.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    const bool placeholder = text[k] == Char('{') && k + 2 < text.size() &&
                             text[k + 2] == Char('}') && text[k + 1] >= Char('0') &&
                             text[k + 1] <= Char('9') &&
                             static_cast<std::size_t>(text[k + 1] - Char('0')) < count;
    if (placeholder) {
      out += values[text[k + 1] - Char('0')];
      k += 2;
    } else {
      out += text[k];
    }
  }
  return out;
}

std::uint64_t Magnitude(std::int64_t count) {
  return count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
}

}  // namespace

void SetTranslator(Translator translator) {
  g_translator = translator;
}

std::string Say(const char* english) {
  return g_translator ? g_translator(english, nullptr, 1) : std::string(english);
}

std::string SayN(const char* singular, const char* plural, std::int64_t count) {
  if (g_translator) {
    return g_translator(singular, plural, Magnitude(count));
  }
  return count == 1 ? singular : plural;
}

std::string Fill(std::string_view text, std::initializer_list<std::string_view> values) {
  return FillText(text, values.begin(), values.size());
}

std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> values) {
  return FillText(text, values.begin(), values.size());
}

std::u16string Shown(const ShownText& text, std::int64_t count,
                     std::initializer_list<std::u16string_view> values) {
  const std::u16string form =
      !g_translator && text.component
          ? std::u16string(text.component)
          : FromUtf8(text.english_plural ? SayN(text.english, text.english_plural, count)
                                         : Say(text.english));
  const std::u16string number = DecimalText(count);
  std::vector<std::u16string_view> all = {number};
  all.insert(all.end(), values.begin(), values.end());
  return FillText(std::u16string_view(form), all.data(), all.size());
}

}  // namespace sarnlink
