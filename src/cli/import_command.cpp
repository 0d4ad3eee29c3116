// sarnlink import: the converter in import mode, as the host drives it.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/posix_converter.h"
#include "encoding/utf8.h"

namespace sarnlink::cli {
namespace {

struct ImportOptions {
  std::string db;
  std::string in;
  std::string author;
  bool ask_author = false;
  bool quiet = false;
};

int RunImportCommand(const ImportOptions& options) {
  PosixConverter tool(options.quiet);
  clsMTExport& converter = tool.converter;
  if (!converter.Initialize(FromUtf8(options.db))) {
    throw Refusal("no diary database at " + options.db);
  }
  converter.SetImport();
  if (options.ask_author) {
    if (!converter.SetAuthorMySelf()) {
      throw Refusal("the author question was cancelled; nothing was imported");
    }
  } else {
    converter.SetAuthor(FromUtf8(options.author));
  }
  if (!converter.SetPath(FromUtf8(options.in))) {
    throw Refusal("no file to import at " + options.in);
  }
  converter.Execute();
  return kExitDone;
}

}  // namespace

void AddImportCommand(CLI::App& app, Action& action) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand("import", "Store the entries of a MovableType file");
  command->add_option("--db", options->db, "the diary")->required();
  command->add_option("--in", options->in, "the MovableType file to read")->required();
  command->add_option("--author", options->author, "import only this author's entries");
  command->add_flag("--ask-author", options->ask_author, "ask which author to import");
  command->add_flag("--quiet", options->quiet, "print nothing but errors");
  command->callback(
      [&action, options] { action = [options] { return RunImportCommand(*options); }; });
}

}  // namespace sarnlink::cli
