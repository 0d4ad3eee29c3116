// The checks the subcommands' options share: day bounds that are real dates, paths that are not
// empty, options that may be given once only.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace sarnlink::cli {

// A day bound given as yyyy/mm/dd or yyyy-mm-dd, a real date, passed on as yyyy/mm/dd (the
// diary's form, which the selection compares as text). Anything else is bad usage.
CLI::Validator DayBound();

// A path that is not the empty text.
CLI::Validator NonEmptyPath();

// Lets every option of `app` and its subcommands be given more than once while parsing, so that
// RepeatedOption can name the one given twice in the user's words.
void CountRepeats(CLI::App& app);

// The message for an option of the chosen subcommand given more than once ("--quiet is given
// twice"), or "" when each was given once at most. A repeated option is bad usage: the last one
// winning would hide a typo or a pasted line.
std::string RepeatedOption(const CLI::App& app);

}  // namespace sarnlink::cli
