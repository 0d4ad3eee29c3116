#include "cli/commands.h"
namespace sarnlink::cli {
void AddDiaryCommands(CLI::App&, Action&) {}
void AddExportCommand(CLI::App&, Action&) {}
void AddImportCommand(CLI::App&, Action&) {}
}  // namespace sarnlink::cli
