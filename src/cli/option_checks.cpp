#include "cli/option_checks.h"

#include "common/clock.h"

namespace sarnlink::cli {
namespace {

// The number in text[at, at + digits), or -1 when any of them is not a digit.
int DigitsAt(const std::string& text, std::size_t at, std::size_t digits) {
  int value = 0;
  for (std::size_t k = at; k < at + digits; ++k) {
    if (text[k] < '0' || text[k] > '9') {
      return -1;
    }
    value = value * 10 + (text[k] - '0');
  }
  return value;
}

}  // namespace

CLI::Validator DayBound() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const std::string refusal =
            "\"" + text + "\" is not a day: write it as yyyy/mm/dd or yyyy-mm-dd (2006/01/31)";
        if (text.size() != 10 || (text[4] != '/' && text[4] != '-') || text[7] != text[4]) {
          return refusal;
        }
        const int year = DigitsAt(text, 0, 4);
        const int month = DigitsAt(text, 5, 2);
        const int day = DigitsAt(text, 8, 2);
        if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
          return refusal;
        }
        text[4] = text[7] = '/';
        return std::string();
      },
      "yyyy/mm/dd");
}

CLI::Validator NonEmptyPath() {
  return CLI::Validator(
      [](std::string& text) { return text.empty() ? std::string("the path is empty") : ""; },
      "PATH");
}

void CountRepeats(CLI::App& app) {
  for (CLI::Option* option : app.get_options()) {
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  for (CLI::App* command : app.get_subcommands({})) {
    CountRepeats(*command);
  }
}

std::string RepeatedOption(const CLI::App& app) {
  for (const CLI::App* command : app.get_subcommands()) {
    for (const CLI::Option* option : command->get_options()) {
      const std::size_t times = option->count();
      if (times > 1) {
        return option->get_name() + " is given " +
               (times == 2 ? std::string("twice") : std::to_string(times) + " times") +
               "; give it once";
      }
    }
  }
  return "";
}

}  // namespace sarnlink::cli
