#include "cli/option_checks.h"

#include <algorithm>
#include <cstdlib>

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

CLI::Validator WholeNumberIn(long low, long high, const std::string& accepted) {
  return CLI::Validator(
      [low, high, accepted](std::string& text) -> std::string {
        const std::size_t digits = text.size() - (text.starts_with('-') ? 1 : 0);
        long value = 0;
        bool whole = digits > 0 && digits <= 10;
        for (std::size_t k = text.size() - digits; whole && k < text.size(); ++k) {
          whole = text[k] >= '0' && text[k] <= '9';
          value = value * 10 + (text[k] - '0');
        }
        value = text.starts_with('-') ? -value : value;
        return whole && value >= low && value <= high
                   ? std::string()
                   : "must be " + accepted + ", not \"" + text + "\"";
      },
      "N");
}

CLI::Validator Seconds() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        const bool plain =
            !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
        return plain && end == text.c_str() + text.size() && seconds >= 0
                   ? std::string()
                   : "must be a number of seconds from 0 up (such as 30 or 0.5), not \"" + text +
                         "\"";
      },
      "SECONDS");
}

CLI::Validator OneOf(const std::vector<std::string>& names) {
  std::string listed;
  for (std::size_t k = 0; k < names.size(); ++k) {
    listed += (k == 0 ? "" : k + 1 == names.size() ? " or " : ", ") + names[k];
  }
  return CLI::Validator(
      [names, listed](std::string& text) -> std::string {
        return std::find(names.begin(), names.end(), text) != names.end()
                   ? std::string()
                   : "must be " + listed + ", not \"" + text + "\"";
      },
      listed);
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
