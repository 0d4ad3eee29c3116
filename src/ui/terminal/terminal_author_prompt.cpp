#include "ui/terminal/terminal_author_prompt.h"

#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

AuthorQuestionAnswer TerminalAuthorPrompt::AskOneAuthorOnly() {
  const std::string question = ToUtf8(kAuthorQuestion);
  while (true) {
    const auto answer = questions_.Ask("[" + ToUtf8(kComponentTitle) + "] " + question +
                                       " [Y] はい / [n] いいえ / [c] キャンセル: ");
    if (!answer || *answer == "c" || *answer == "C" || *answer == "cancel") {
      return AuthorQuestionAnswer::kCancel;
    }
    if (answer->empty() || *answer == "y" || *answer == "Y" || *answer == "yes") {
      return AuthorQuestionAnswer::kYes;
    }
    if (*answer == "n" || *answer == "N" || *answer == "no") {
      return AuthorQuestionAnswer::kNo;
    }
  }
}

std::optional<std::u16string> TerminalAuthorPrompt::AskAuthorName() {
  questions_.out() << ToUtf8(kAuthorInputTitle) << "\n"
                   << ToUtf8(ReplaceAll(kAuthorInputPrompt, u"\r\n", u"\n")) << "\n";
  if (!authors_.empty()) {
    questions_.out() << "（このファイルの著者: ";
    for (std::size_t k = 0; k < authors_.size(); ++k) {
      const std::string name = authors_[k].first.empty() ? "（なし）" : ToUtf8(authors_[k].first);
      questions_.out() << (k > 0 ? "、" : "") << name << " " << authors_[k].second << "件";
    }
    questions_.out() << "）\n";
  }
  const auto answer = questions_.Ask("> ");
  if (!answer) {
    return std::nullopt;
  }
  if (answer->find_first_not_of(' ') == std::string::npos) {
    return std::u16string();  // blank, spaces included: every author, as the prompt says
  }
  return FromUtf8(*answer);
}

}  // namespace sarnlink
