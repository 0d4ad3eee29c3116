// Reading answers on a terminal: one line at a time from an input stream, prompts on an output
// stream (stderr, so that stdout keeps only results), in the forms' Japanese. End of input
// (Ctrl-D) and Escape cancel.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sarnlink {

class TerminalQuestions {
 public:
  TerminalQuestions(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // Writes `prompt` and reads one line (without its line end); nullopt at end of input or for
  // a line with Escape in it.
  std::optional<std::string> Ask(const std::string& prompt);
  // A yes/no question; Enter keeps `current`. nullopt at end of input.
  std::optional<bool> AskYesNo(const std::string& question, bool current);
  // A choice from numbered items; Enter keeps `current`. nullopt at end of input.
  std::optional<int> AskChoice(const std::string& label, const std::vector<std::string>& items,
                               int current);
  std::ostream& out() { return out_; }

 private:
  std::istream& in_;   // where answers come from
  std::ostream& out_;  // where questions go
};

}  // namespace sarnlink
