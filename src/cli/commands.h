// The sarnlink subcommands. Each registers its options on the application and returns the
// action to run once the command line has been parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

namespace sarnlink::cli {

using Action = std::function<int()>;

void AddEncodingCommands(CLI::App& app, Action& action);
void AddDiaryCommands(CLI::App& app, Action& action);
void AddExportCommand(CLI::App& app, Action& action);
void AddImportCommand(CLI::App& app, Action& action);
void AddImportRunsCommands(CLI::App& app, Action& action);
void AddCopyCommand(CLI::App& app, Action& action);

// How long a command that writes the diary waits for another import into it, by default.
inline constexpr double kDefaultWaitSeconds = 120;
// The --wait option of the commands that write the diary.
void AddWaitOption(CLI::App& command, double& seconds);

// The end of a subcommand's help: its examples, then the exit statuses.
std::string ExitStatusFooter(const std::vector<std::string>& examples);

// Parses `argv`, runs the chosen command and turns every outcome into an exit status, with
// the message on stderr.
int RunCommandLine(int argc, char** argv);

}  // namespace sarnlink::cli
