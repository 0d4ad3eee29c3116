#include "ui/terminal/terminal_prompts.h"

#include <string>

#include "common/say.h"

namespace sarnlink {

std::optional<std::string> TerminalQuestions::Ask(const std::string& prompt) {
  out_ << prompt << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    out_ << "\n";
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  if (line.find('\x1b') != std::string::npos) {
    return std::nullopt;  // Escape, as in a dialog, cancels
  }
  return line;
}

std::optional<bool> TerminalQuestions::AskYesNo(const std::string& question, bool current) {
  while (true) {
    const auto answer = Ask(question + (current ? " [Y/n]: " : " [y/N]: "));
    if (!answer) {
      return std::nullopt;
    }
    if (answer->empty()) {
      return current;
    }
    if (*answer == "y" || *answer == "Y" || *answer == "yes") {
      return true;
    }
    if (*answer == "n" || *answer == "N" || *answer == "no") {
      return false;
    }
    out_ << Say("  Answer y or n") << "\n";
  }
}

std::optional<int> TerminalQuestions::AskChoice(const std::string& label,
                                                const std::vector<std::string>& items,
                                                int current) {
  out_ << label << "\n";
  for (std::size_t k = 0; k < items.size(); ++k) {
    out_ << "  " << k << ") " << items[k] << (static_cast<int>(k) == current ? "  *" : "") << "\n";
  }
  while (true) {
    const auto answer = Ask(Fill(Say("  Number [{0}]: "), {std::to_string(current)}));
    if (!answer) {
      return std::nullopt;
    }
    if (answer->empty()) {
      return current;
    }
    try {
      std::size_t used = 0;
      const int chosen = std::stoi(*answer, &used);
      if (used == answer->size() && chosen >= 0 && chosen < static_cast<int>(items.size())) {
        return chosen;
      }
    } catch (const std::exception&) {
    }
    out_ << Fill(Say("  Choose a number from 0 to {0}"), {std::to_string(items.size() - 1)})
         << "\n";
  }
}

}  // namespace sarnlink
