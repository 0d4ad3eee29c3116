// The texts a person reads, in the language the front end chose. A text is written once, in
// English, marked with Say or SayN (which the catalog tools look for); a front end that speaks
// the reader's language installs a translator (the command-line tool, its message catalogs).
// Texts the component must show as the host's window always has carry that form beside the
// English (ShownText), and the component, which installs no translator, shows it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace sarnlink {

// `english` (or `english_plural`, as the count asks) in the reader's language, as UTF-8.
using Translator = std::string (*)(const char* english, const char* english_plural,
                                   std::uint64_t count);

// Set once, before any text is made; none by default.
void SetTranslator(Translator translator);

// `english` in the reader's language; with no translator, as written.
std::string Say(const char* english);
// The singular or plural form for `count` in the reader's language.
std::string SayN(const char* singular, const char* plural, std::int64_t count);

// `text` with {0}, {1}, ... replaced by `values` in turn; a translation may move them.
std::string Fill(std::string_view text, std::initializer_list<std::string_view> values);
std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> values);

// A text the drivers show in the progress window: in English for the translator, and as the
// component shows it (the window's own texts, which hosts and their users know). Made by
// ShownOne or ShownCount, which the catalog tools look for.
struct ShownText {
  const char* english;
  const char* english_plural;  // null when the text has no count
  const char16_t* component;   // null for a text only the tool shows: its English
};
constexpr ShownText ShownOne(const char* english, const char16_t* component) {
  return ShownText{english, nullptr, component};
}
constexpr ShownText ShownCount(const char* singular, const char* plural,
                               const char16_t* component) {
  return ShownText{singular, plural, component};
}

// `text` for `count` (its {0}) and `values` ({1}, ...): translated where a translator is set,
// else the component's form.
std::u16string Shown(const ShownText& text, std::int64_t count = 0,
                     std::initializer_list<std::u16string_view> values = {});

}  // namespace sarnlink
