// The checks the subcommands' options share: day bounds that are real dates, paths that are not
// empty, options that may be given once only.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace sarnlink::cli {

// A day bound given as yyyy/mm/dd or yyyy-mm-dd, a real date, passed on as yyyy/mm/dd (the
// diary's form, which the selection compares as text). Anything else is bad usage.
CLI::Validator DayBound();

// A path that is not the empty text.
CLI::Validator NonEmptyPath();

// A whole number from `low` to `high` (a sign and digits, nothing else); anything else is bad
// usage saying `accepted` ("0, 1 or 2") and the value as typed.
CLI::Validator WholeNumberIn(long low, long high, const std::string& accepted);

// A number of seconds from 0 up, fractions allowed; anything else (a sign, a word, infinity) is
// bad usage.
CLI::Validator Seconds();

// One of `names` exactly; anything else is bad usage that lists them.
CLI::Validator OneOf(const std::vector<std::string>& names);

// Lets every option of `app` and its subcommands be given more than once while parsing, so that
// RepeatedOption can name the one given twice in the user's words.
void CountRepeats(CLI::App& app);

// The message for an option of the chosen subcommand given more than once ("--quiet is given
// twice"), or "" when each was given once at most. A repeated option is bad usage: the last one
// winning would hide a typo or a pasted line.
std::string RepeatedOption(const CLI::App& app);

}  // namespace sarnlink::cli
