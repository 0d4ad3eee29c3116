// The --encoding option of import, detect and decode: the user names the file's encoding and
// the import's decision is skipped.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "encoding/import_text.h"

namespace sarnlink::cli {

void AddEncodingOption(CLI::App& command, std::string& encoding);

// The encoding named by the option's value; nothing when the option was not given.
std::optional<TextEncoding> EncodingOption(const std::string& encoding);

}  // namespace sarnlink::cli
