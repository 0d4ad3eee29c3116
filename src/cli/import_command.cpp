// sarnlink import: the converter in import mode, as the host drives it, with a summary of what
// the file held that the diary does not keep.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/posix_converter.h"
#include "cli/standard_streams.h"
#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "import/import_report.h"

namespace sarnlink::cli {
namespace {

struct ImportOptions {
  std::string db;
  std::string in;
  std::string author;
  bool ask_author = false;
  bool quiet = false;
  bool dry_run = false;
  bool allow_duplicates = false;
  std::string twelve_am;
  double wait = kDefaultWaitSeconds;
  std::string encoding;
};

// The authors of the file and their entries, read by a dry run before the author is asked.
std::vector<std::pair<std::u16string, std::int32_t>> AuthorsOf(const ImportOptions& options,
                                                               const std::string& in) {
  PosixConverter scan(true, options.db, options.wait, false, true);
  clsMTExport& converter = scan.converter;
  converter.Initialize(PathFromBytes(options.db));
  converter.SetImport();
  converter.SetImportEncoding(EncodingOption(options.encoding));
  converter.SetDryRun(true);
  converter.SetSkipDuplicates(false);  // only the authors are wanted: no need to read the rows
  converter.SetAuthor(u"");
  if (!converter.SetPath(PathFromBytes(in))) {
    return {};
  }
  converter.Execute();
  const auto& authors = converter.import_report().authors;
  return {authors.begin(), authors.end()};
}

// ASCII letters folded to lower case, for telling names apart only by case.
std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  }
  return folded;
}

// An author filter that matched no entry of the file stored nothing: that must not look like a
// finished import. The refusal names the authors the file has, and the one that differs from the
// name asked for only in letter case.
void RefuseAFilterThatMatchedNothing(const clsMTExport& converter, const std::string& in) {
  const ImportReport& report = converter.import_report();
  if (!converter.state().AuthorOnly || report.entries == 0 || report.passed_over < report.entries) {
    return;
  }
  const std::u16string& asked = converter.state().Author;
  std::vector<std::string> authors;
  std::vector<std::string> differing;
  for (const auto& [author, entries] : report.authors) {
    const std::string name = author.empty() ? "(no AUTHOR)" : "\"" + ToUtf8(author) + "\"";
    authors.push_back(name + " (" + CountOf(entries, "entry", "entries") + ")");
    if (Folded(author) == Folded(asked)) {
      differing.push_back(name);
    }
  }
  const std::string differs = differing.empty()
                                  ? ""
                                  : Fill(SayN("; {0} differs from \"{1}\" only in letter case",
                                              "; {0} differ from \"{1}\" only in letter case",
                                              static_cast<std::int64_t>(differing.size())),
                                         {CommaList(differing), ToUtf8(asked)});
  throw Refusal(Fill(Say("no entry of {0} has the author \"{1}\", so nothing was stored; the "
                         "file's authors: {2}{3}"),
                     {in, ToUtf8(asked), CommaList(authors), differs}));
}

int ImportFrom(const ImportOptions& options, const std::string& in) {
  PosixConverter tool(options.quiet, options.db, options.wait, false, options.dry_run);
  clsMTExport& converter = tool.converter;
  if (!converter.Initialize(PathFromBytes(options.db))) {
    throw Refusal(Fill(Say("no diary database at {0}"), {options.db}));
  }
  converter.SetImport();
  converter.SetImportEncoding(EncodingOption(options.encoding));
  converter.SetDryRun(options.dry_run);
  converter.SetSkipDuplicates(!options.allow_duplicates);
  if (!options.twelve_am.empty()) {
    converter.SetTwelveAmIsNoon(options.twelve_am == "noon");
  }
  if (options.ask_author) {
    tool.author_prompt.SetKnownAuthors(AuthorsOf(options, in));
    if (!converter.SetAuthorMySelf()) {
      throw Refusal(Say("the author question was cancelled; nothing was imported"));
    }
  } else {
    converter.SetAuthor(FromUtf8(options.author));
  }
  if (!converter.SetPath(PathFromBytes(in))) {
    throw Refusal(Fill(Say("no file to import at {0}"), {in}));
  }
  RunStoppable(tool.stop_signals, [&] { converter.Execute(); });

  const ImportReport& report = converter.import_report();
  // A dry run's findings are its result; a real run's are a note beside the stored rows.
  std::ostream& out = options.dry_run ? std::cout : std::cerr;
  if (options.dry_run || !options.quiet) {
    for (const std::string& line : ImportReportLines(report)) {
      out << (options.dry_run ? "" : "sarnlink: ") << line << "\n";
    }
  } else if (!report.encoding_doubt.empty()) {  // a warning, which --quiet does not silence
    std::cerr << "sarnlink: " << report.encoding_doubt << "\n";
  }
  if (report.entries == 0) {  // the closing message would claim an import that did not happen
    throw Error(ErrorKind::kFormat,
                Fill(SayN("{0} does not look like a MovableType file: no entry was found in its "
                          "{1} line",
                          "{0} does not look like a MovableType file: no entry was found in its "
                          "{1} lines",
                          report.line_count),
                     {in, std::to_string(report.line_count)}));
  }
  RefuseAFilterThatMatchedNothing(converter, in);
  tool.progress.WriteResult();
  return kExitDone;
}

// "-" reads standard input, kept in a temporary file for the import's three passes.
int RunImportCommand(const ImportOptions& options) {
  if (!options.dry_run) {
    RefuseWritingJet(options.db);
  }
  if (!IsStreamInput(options.in)) {
    return ImportFrom(options, options.in);
  }
  const bool from_stdin = options.in == kStandardStream;
  if (options.ask_author && from_stdin) {
    throw Refusal(
        Say("--ask-author asks its questions on standard input, which --in - reads the file "
            "from; name the file instead"));
  }
  const SpooledInput spooled(from_stdin ? "" : options.in);
  try {
    return ImportFrom(options, spooled.path());
  } catch (...) {
    RethrowNamingStandardInput(spooled);
  }
}

}  // namespace

void AddImportCommand(CLI::App& app, Action& action) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand("import", "Store the entries of a MovableType file");
  command->footer(
      ExitStatusFooter({"sarnlink import --db diary.db --in blog-export.txt",
                        "sarnlink import --dry-run --db diary.db --in old-backup.txt",
                        "sarnlink import --db diary.db --in entries.txt --author Hanako "
                        "--encoding sjis"}));
  command->add_option("--db", options->db, "the diary")->required()->check(NonEmptyPath());
  command->add_option("--in", options->in, "the MovableType file to read (-: standard input)")
      ->required()
      ->check(NonEmptyPath());
  CLI::Option* author =
      command->add_option("--author", options->author, "import only this author's entries");
  command->add_flag("--ask-author", options->ask_author, "ask which author to import")
      ->excludes(author);
  AddEncodingOption(*command, options->encoding);
  command->add_flag("--dry-run", options->dry_run,
                    "read and check the whole file and print what would be stored; the diary "
                    "is not written");
  command->add_flag("--allow-duplicates", options->allow_duplicates,
                    "store entries the diary already holds (same day, time, title, genre and "
                    "texts) instead of passing them over");
  command
      ->add_option("--twelve-am", options->twelve_am,
                   "noon or midnight: how \"12:mm AM\" reads, even in a file that writes "
                   "midnight as \"00:mm AM\" (the summary then says so); without it, noon in "
                   "such a file, else midnight")
      ->check(OneOf({"noon", "midnight"}));
  AddWaitOption(*command, options->wait);
  command->add_flag("--quiet", options->quiet, "print nothing but errors");
  command->callback(
      [&action, options] { action = [options] { return RunImportCommand(*options); }; });
}

}  // namespace sarnlink::cli
