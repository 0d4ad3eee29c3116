// Port: the author prompt of SetAuthorMySelf, a Yes/No/Cancel question and an input box.
#pragma once

#include <optional>
#include <string>

#include "common/say.h"

namespace sarnlink {

enum class AuthorQuestionAnswer { kYes, kNo, kCancel };

class AuthorPrompt {
 public:
  virtual ~AuthorPrompt() = default;
  // Asks kAuthorQuestion with the buttons Yes (default), No and Cancel.
  virtual AuthorQuestionAnswer AskOneAuthorOnly() = 0;
  // Asks for the name under kAuthorInputTitle with kAuthorInputPrompt, starting empty. The
  // input box's Cancel gives the empty text, like an empty answer; nothing (the whole question
  // cancelled) only where the prompt can tell a cancel from an answer (a terminal's Escape or
  // end of input).
  virtual std::optional<std::u16string> AskAuthorName() = 0;
};

inline constexpr ShownText kAuthorQuestion =
    ShownOne("Import only the entries of one author (AUTHOR)?",
             u"特定の著者(Author)のみをインポートしますか？");
inline constexpr ShownText kAuthorInputTitle =
    ShownOne("Author, by Sarnlink", u"著者の入力 by Sarnlink");
inline constexpr ShownText kAuthorInputPrompt =
    ShownOne("Type the author (AUTHOR).", u"著者(Author)を入力してください。");
inline constexpr ShownText kAuthorInputBlank =
    ShownOne("(Left blank, the entries of every author are imported.)",
             u"（空白の場合はすべての著者をインポートします）");

// The input box's prompt, its two lines joined by CR LF.
inline std::u16string AuthorInputPrompt() {
  return Shown(kAuthorInputPrompt) + u"\r\n" + Shown(kAuthorInputBlank);
}
// The short name the question box shows as its title.
inline constexpr char16_t kComponentTitle[] = u"Sarnlink";

}  // namespace sarnlink
