// The sarnlink subcommands. Each registers its options on the application and returns the
// action to run once the command line has been parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

namespace sarnlink::cli {

using Action = std::function<int()>;

void AddEncodingCommands(CLI::App& app, Action& action);
void AddDiaryCommands(CLI::App& app, Action& action);
void AddExportCommand(CLI::App& app, Action& action);
void AddImportCommand(CLI::App& app, Action& action);

// Parses `argv`, runs the chosen command and turns every outcome into an exit status, with
// the message on stderr.
int RunCommandLine(int argc, char** argv);

}  // namespace sarnlink::cli
