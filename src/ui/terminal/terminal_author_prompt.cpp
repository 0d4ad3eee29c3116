#include "ui/terminal/terminal_author_prompt.h"

#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

AuthorQuestionAnswer TerminalAuthorPrompt::AskOneAuthorOnly() {
  const std::string question = ToUtf8(Shown(kAuthorQuestion));
  while (true) {
    const auto answer = questions_.Ask("[" + ToUtf8(kComponentTitle) + "] " + question + " " +
                                       Say("[Y] yes / [n] no / [c] cancel: "));
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
  questions_.out() << ToUtf8(Shown(kAuthorInputTitle)) << "\n"
                   << ToUtf8(ReplaceAll(AuthorInputPrompt(), u"\r\n", u"\n")) << "\n";
  if (!authors_.empty()) {
    std::string names;
    for (std::size_t k = 0; k < authors_.size(); ++k) {
      const std::string name =
          authors_[k].first.empty() ? Say("(none)") : ToUtf8(authors_[k].first);
      names += (k > 0 ? Say(", ") : "") +
               Fill(SayN("{0}: {1} entry", "{0}: {1} entries", authors_[k].second),
                    {name, std::to_string(authors_[k].second)});
    }
    questions_.out() << Fill(Say("(The authors of this file: {0})"), {names}) << "\n";
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
