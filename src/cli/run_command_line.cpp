#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/readers_language.h"
#include "cli/stop_signals.h"
#include "common/errors.h"
#include "common/say.h"
#include "common/text.h"
#include "common/version.h"

namespace sarnlink::cli {
namespace {

std::string SubcommandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands({})) {
    names += (names.empty() ? "" : ", ") + command->get_name();
  }
  return names;
}

bool HasSubcommand(const CLI::App& app, const std::string& name) {
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == name) {
      return true;
    }
  }
  return false;
}

// `help [SUBCOMMAND]`: the help of the tool, or of one subcommand.
void AddHelpCommand(CLI::App& app, Action& action) {
  auto topic = std::make_shared<std::string>();
  CLI::App* help = app.add_subcommand("help", "Print the help of the tool or of a subcommand");
  help->add_option("SUBCOMMAND", *topic, "the subcommand");
  help->callback([&app, &action, topic] {
    action = [&app, topic] {
      if (topic->empty()) {
        // app.help() would give the help of the subcommand chosen, `help` itself.
        std::cout << app.get_formatter()->make_help(&app, app.get_name(),
                                                    CLI::AppFormatMode::Normal);
        return int{kExitDone};
      }
      for (CLI::App* command : app.get_subcommands({})) {
        if (command->get_name() == *topic) {
          std::cout << command->help(app.get_name());
          return int{kExitDone};
        }
      }
      throw Refusal(
          Fill(Say("no subcommand \"{0}\"; the subcommands: {1}"), {*topic, SubcommandNames(app)}));
    };
  });
}

// Bad usage, said on stderr with where to read what is accepted: the chosen subcommand's help,
// else the tool's.
int BadUsage(const CLI::App& app, const std::string& message) {
  const auto chosen = app.get_subcommands();
  std::cerr << "sarnlink: "
            << Fill(Say("{0} (see sarnlink {1})"),
                    {message, chosen.empty() ? "--help" : "help " + chosen.front()->get_name()})
            << "\n";
  return kExitRefused;
}

// `--version` answers alone: anything beside it is a mistyped command, not something to ignore.
int Version(const CLI::App& app, const CLI::CallForVersion& e, int argc, char** argv) {
  if (argc == 2) {
    return app.exit(e);
  }
  std::vector<std::string> others;
  for (int k = 1; k < argc; ++k) {
    if (std::string(argv[k]) != "--version") {
      others.push_back("\"" + std::string(argv[k]) + "\"");
    }
  }
  return BadUsage(app, others.empty() ? "--version is given more than once; give it once"
                                      : "--version takes nothing else, not " + CommaList(others));
}

}  // namespace

std::string ExitStatusFooter(const std::vector<std::string>& examples) {
  std::string footer = "Examples:\n";
  for (const std::string& example : examples) {
    footer += "  " + example + "\n";
  }
  return footer +
         "\nExit status: 0 done; 1 refused (a missing file, an existing output, bad usage, a "
         "cancelled form); 2 failed (the message says what was kept); 130 or 143 stopped by "
         "Ctrl-C or SIGTERM.";
}

int RunCommandLine(int argc, char** argv) {
  UseReadersLanguage();
  // A file-size limit makes a write fail with "File too large", which every run reports and
  // cleans up after, instead of killing the process with its temporary files left behind.
  std::signal(SIGXFSZ, SIG_IGN);

  CLI::App app{"sarnlink: moves diary entries between a diary and MovableType text files",
               "sarnlink"};
  app.require_subcommand(1);
  app.set_version_flag("--version", kVersionText);
  app.footer(ExitStatusFooter({"sarnlink export --db diary.db --out blog.txt --author Hanako",
                               "sarnlink import --db diary.db --in blog-export.txt",
                               "sarnlink help export"}));
  Action action;
  AddDiaryCommands(app, action);
  AddExportCommand(app, action);
  AddImportCommand(app, action);
  AddImportRunsCommands(app, action);
  AddCopyCommand(app, action);
  AddEncodingCommands(app, action);
  AddHelpCommand(app, action);
  CountRepeats(app);
  if (argc > 1 && argv[1][0] != '-' && !HasSubcommand(app, argv[1])) {
    std::cerr << "sarnlink: "
              << Fill(Say("unknown subcommand \"{0}\"; the subcommands: {1}"),
                      {argv[1], SubcommandNames(app)})
              << "\n";
    return kExitRefused;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return Version(app, e, argc, argv);
  } catch (const CLI::RequiredError& e) {
    if (app.get_subcommands().empty()) {
      return BadUsage(app, "a subcommand is required: " + SubcommandNames(app));
    }
    return BadUsage(app, e.what());
  } catch (const CLI::ValidationError& e) {
    // "--publish: must be 0, 1 or 2, not "9"" reads as a sentence without the colon.
    std::string message = e.what();
    if (const std::size_t at = message.find(": must be "); at != std::string::npos) {
      message.erase(at, 1);
    }
    return BadUsage(app, message);
  } catch (const CLI::ArgumentMismatch& e) {
    // "--author: 1 required TEXT missing": the option, then the parser's count of its values.
    const std::string message = e.what();
    return BadUsage(app, message.substr(0, message.find(':')) + " needs a value");
  } catch (const CLI::ParseError& e) {
    return BadUsage(app, e.what());
  }
  if (const std::string repeated = RepeatedOption(app); !repeated.empty()) {
    return BadUsage(app, repeated);
  }
  try {
    const int status = action();
    // What a command printed is its result: a full disk or a closed file under it is a failure,
    // not a success that printed nothing.
    if (!std::cout.flush()) {
      throw Error(ErrorKind::kFile,
                  std::string("cannot write to standard output: ") + std::strerror(errno));
    }
    return status;
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
    std::cerr << "sarnlink: " << Fill(Say("failed: {0}"), {e.what()}) << "\n";
    return kExitFailed;
  }
}

}  // namespace sarnlink::cli
