#include <clocale>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/stop_signals.h"
#include "common/errors.h"

namespace sarnlink::cli {

int RunCommandLine(int argc, char** argv) {
  // The run stamp uses the user's locale for its date and time, as the host's platform does.
  std::setlocale(LC_TIME, "");

  CLI::App app{"sarnlink: moves diary entries between a diary and MovableType text files"};
  app.require_subcommand(1);
  Action action;
  AddDiaryCommands(app, action);
  AddExportCommand(app, action);
  AddImportCommand(app, action);
  AddImportRunsCommands(app, action);
  AddEncodingCommands(app, action);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "sarnlink: " << e.what() << " (see sarnlink --help)\n";
    return kExitRefused;
  }
  try {
    return action();
  } catch (const Refusal& e) {
    std::cerr << "sarnlink: " << e.what() << "\n";
    return kExitRefused;
  } catch (const Error& e) {
    std::cerr << "sarnlink: " << ErrorKindName(e.kind()) << ": " << e.what() << "\n";
    switch (e.kind()) {
      case ErrorKind::kUsage:
      case ErrorKind::kRefused:
        return kExitRefused;
      case ErrorKind::kInterrupted:
        return ExitStatusOfStop(StopSignals::Signal());
      default:
        return kExitFailed;
    }
  } catch (const std::exception& e) {
    std::cerr << "sarnlink: failed: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace sarnlink::cli
