// The author prompt on a terminal: the question, then the name, in the component's words.
#pragma once

#include "ui/author_prompt.h"
#include "ui/terminal/terminal_prompts.h"

namespace sarnlink {

class TerminalAuthorPrompt : public AuthorPrompt {
 public:
  explicit TerminalAuthorPrompt(TerminalQuestions& questions) : questions_(questions) {}

  // Enter is Yes, the default button; "c" or the end of input is Cancel.
  AuthorQuestionAnswer AskOneAuthorOnly() override;
  // The name exactly as typed (not trimmed); the end of input is the input box's Cancel.
  std::u16string AskAuthorName() override;

 private:
  TerminalQuestions& questions_;  // the terminal
};

}  // namespace sarnlink
