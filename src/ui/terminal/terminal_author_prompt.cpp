#include "ui/terminal/terminal_author_prompt.h"

#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

AuthorQuestionAnswer TerminalAuthorPrompt::AskOneAuthorOnly() {
  const std::string question = ToUtf8(kAuthorQuestion);
  while (true) {
    const auto answer = questions_.Ask("[" + ToUtf8(kComponentTitle) + "] " + question +
                                       " [Y]es / [n]o / [c]ancel: ");
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

std::u16string TerminalAuthorPrompt::AskAuthorName() {
  questions_.out() << ToUtf8(kAuthorInputTitle) << "\n"
                   << ToUtf8(ReplaceAll(kAuthorInputPrompt, u"\r\n", u"\n")) << "\n";
  const auto answer = questions_.Ask("> ");
  return answer ? FromUtf8(*answer) : std::u16string();
}

}  // namespace sarnlink
