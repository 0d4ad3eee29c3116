// The author prompt on a terminal: the question, then the name, in the component's words, with
// the authors the file holds listed before the name is asked.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/author_prompt.h"
#include "ui/terminal/terminal_prompts.h"

namespace sarnlink {

class TerminalAuthorPrompt : public AuthorPrompt {
 public:
  explicit TerminalAuthorPrompt(TerminalQuestions& questions) : questions_(questions) {}

  // The authors of the file to be imported, with their entry counts, shown with the name box.
  void SetKnownAuthors(std::vector<std::pair<std::u16string, std::int32_t>> authors) {
    authors_ = std::move(authors);
  }

  // Enter is Yes, the default button; "c", Escape or the end of input is Cancel.
  AuthorQuestionAnswer AskOneAuthorOnly() override;
  // The name exactly as typed; blank (spaces too) is every author; Escape or the end of input
  // cancels the question.
  std::optional<std::u16string> AskAuthorName() override;

 private:
  TerminalQuestions& questions_;                                  // the terminal
  std::vector<std::pair<std::u16string, std::int32_t>> authors_;  // the file's, with counts
};

}  // namespace sarnlink
