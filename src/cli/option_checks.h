// The checks the subcommands' options share: day bounds that are real dates, paths that are not
// empty, options that may be given once only.
#pragma once

#include <CLI/CLI.hpp>

namespace sarnlink::cli {

// A day bound given as yyyy/mm/dd or yyyy-mm-dd, a real date, passed on as yyyy/mm/dd (the
// diary's form, which the selection compares as text). Anything else is bad usage.
CLI::Validator DayBound();

// A path that is not the empty text.
CLI::Validator NonEmptyPath();

// From here on, an option of `command` given twice is bad usage instead of the last one winning.
void OnceOnly(CLI::App& command);

}  // namespace sarnlink::cli
