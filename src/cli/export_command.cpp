// sarnlink export: the converter in export mode, as the host drives it.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/option_checks.h"
#include "cli/posix_converter.h"
#include "cli/standard_streams.h"
#include "common/path_text.h"
#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"
#include "export/export_files.h"
#include "ui/options_form.h"

namespace sarnlink::cli {
namespace {

struct ExportOptions {
  std::string db;
  std::string out;
  bool overwrite = false;
  std::string genre;
  std::string start;
  std::string end;
  ExportSetting setting = DefaultExportSetting();
  std::optional<std::string> author;
  bool ask = false;
  bool quiet = false;
  std::string line_ends = "crlf";
  std::int64_t max_entries = 0;  // per file; 0: no limit
  std::string max_bytes;         // per file, as given ("100M"); empty: no limit
};

// A size as `split` takes it: bytes, or a number with K, M or G (1024-based) or KB, MB or GB
// (1000-based). Anything else is bad usage.
CLI::Validator SizeInBytes() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
          ++digits;
        }
        std::string unit = text.substr(digits);
        for (char& c : unit) {  // "100m" and "4kb" as well
          c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        static const std::pair<const char*, std::uint64_t> kUnits[] = {
            {"", 1},      {"K", 1 << 10},  {"M", 1 << 20},    {"G", 1 << 30},
            {"KB", 1000}, {"MB", 1000000}, {"GB", 1000000000}};
        // Up to 2^63 - 1 bytes, far beyond any file system's file; more would wrap.
        constexpr std::uint64_t kLargest = std::numeric_limits<std::int64_t>::max();
        for (const auto& [name, factor] : kUnits) {
          if (digits > 0 && unit == name) {
            const std::string number = text.substr(0, digits);
            const std::uint64_t count =
                digits <= 19 ? std::stoull(number) : std::numeric_limits<std::uint64_t>::max();
            if (count == 0) {
              return "must be more than 0 bytes, not \"" + text + "\"";
            }
            if (count > kLargest / factor) {
              return "\"" + text + "\" is more than any file can hold (at most " +
                     std::to_string(kLargest) + " bytes)";
            }
            text = std::to_string(count * factor);
            return std::string();
          }
        }
        return "\"" + text + "\" is not a size: write bytes, or a number with K, M or G (100M)";
      },
      "SIZE");
}

// A setting the options form holds as a 16-bit number, which the export takes whole.
CLI::Validator AnySetting() {
  return WholeNumberIn(std::numeric_limits<std::int16_t>::min(),
                       std::numeric_limits<std::int16_t>::max(),
                       "a whole number from -32768 to 32767");
}

// What an export in pieces wrote.
void ListPieces(const ExportReport& report) {
  if (report.files.size() > 1) {
    std::cout << Say("MovableType files:") << "\n";
    for (const ExportedFile& file : report.files) {
      std::cout << "  " << PathBytes(file.path) << " ("
                << Fill(SayN("{0} entry", "{0} entries", file.entries),
                        {std::to_string(file.entries)})
                << ")\n";
    }
  }
}

// What a user who split the export for an upload limit must know, said even with --quiet: a
// piece larger than --max-bytes (an entry larger than the limit is never split), and pieces of
// an earlier, longer export that are not this one's.
void WarnAboutPieces(const ExportReport& report, const ExportOptions& options) {
  if (!options.max_bytes.empty()) {
    const std::uint64_t limit = std::stoull(options.max_bytes);
    for (const ExportedFile& file : report.files) {
      if (file.bytes > limit) {
        std::cerr << "sarnlink: "
                  << Fill(SayN("warning: {0} holds {1} byte, more than --max-bytes {2}: its entry "
                               "is larger than that, and an entry is never split",
                               "warning: {0} holds {1} bytes, more than --max-bytes {2}: its entry "
                               "is larger than that, and an entry is never split",
                               static_cast<std::int64_t>(file.bytes)),
                          {PathBytes(file.path), std::to_string(file.bytes), std::to_string(limit)})
                  << "\n";
      }
    }
  }
  if (options.max_entries > 0 || !options.max_bytes.empty()) {
    // Every piece of an earlier, longer export at once, so that none is taken for this one's.
    std::vector<std::string> stale;
    for (auto k = static_cast<std::int64_t>(report.files.size()) + 1;; ++k) {
      const std::string next = PathBytes(PiecePath(PathFromBytes(options.out), k));
      struct stat info;
      if (::stat(next.c_str(), &info) != 0) {
        break;
      }
      stale.push_back(next);
    }
    if (!stale.empty()) {
      std::cerr << "sarnlink: "
                << Fill(SayN("{0} is left from an earlier export; not part of this one",
                             "{0} are left from an earlier export; not part of this one",
                             static_cast<std::int64_t>(stale.size())),
                        {CommaList(stale)})
                << "\n";
    }
  }
}

// Every entry whose DATE was supplied, by name, with what was wrong and what was used. Said
// even with --quiet: the file holds dates the diary did not.
void WarnOfSuppliedDates(const ExportReport& report) {
  for (const SuppliedDate& supplied : report.supplied_dates) {
    std::cerr << "sarnlink: "
              << Fill(Say("warning: {0}: written with DATE {1} ({2})"),
                      {supplied.entry, supplied.date, supplied.how})
              << "\n";
  }
}

// A genre the diary does not have selects nothing: the export still runs, as the component's
// does, but the user hears of it with the genres there are.
void WarnOfAnUnknownGenre(PosixConverter& tool, const ExportOptions& options,
                          const std::u16string& genre) {
  if (genre.empty() || options.quiet) {
    return;
  }
  const std::vector<std::u16string> genres = FillGenreList(tool.diary, PathFromBytes(options.db));
  if (std::find(genres.begin() + 1, genres.end(), genre) != genres.end()) {
    return;
  }
  std::string list;
  for (std::size_t k = 1; k < genres.size(); ++k) {
    list += (k > 1 ? Say(", ") : "") + ToUtf8(genres[k]);
  }
  std::cerr << "sarnlink: "
            << Fill(Say("the diary has no genre \"{0}\": no entry will be exported (its genres: "
                        "{1})"),
                    {options.genre, list})
            << "\n";
}

int RunExportCommand(const ExportOptions& options) {
  // With the file on standard output, everything else the run says goes to stderr.
  const bool to_stdout = options.out == kStandardStream;
  PosixConverter tool(options.quiet, options.db, kDefaultWaitSeconds, to_stdout, true);
  clsMTExport& converter = tool.converter;
  if (!converter.Initialize(PathFromBytes(options.db))) {
    throw Refusal(Fill(Say("no diary database at {0}"), {options.db}));
  }
  converter.SetExport();
  ExportSetting setting = options.setting;
  // "[ALL]", as the genre list shows it, is no filter at all.
  setting.stGenre = options.genre == "[ALL]" ? u"" : FromUtf8(options.genre);
  WarnOfAnUnknownGenre(tool, options, setting.stGenre);
  setting.stStartDay = FromUtf8(options.start);
  setting.stEndDay = FromUtf8(options.end);
  if (options.author) {
    converter.SetAuthor(FromUtf8(*options.author));
  }
  if (options.ask) {
    // The form opens showing what the command line gave, the author among it.
    tool.options_form.Prefill(setting);
    if (!converter.SetExportSettingMySelf()) {
      throw Refusal(Say("the options form was cancelled; nothing was exported"));
    }
  } else {
    converter.setExportSetting(setting);
    if (!options.author && !options.quiet) {
      std::cerr << "sarnlink: "
                << Say("no --author given: every AUTHOR line is left empty, and some blog "
                       "importers need an author to map entries to a user")
                << "\n";
    }
  }
  converter.SetLineEnd(options.line_ends == "lf" ? u"\n" : u"\r\n");
  const bool in_pieces = options.max_entries > 0 || !options.max_bytes.empty();
  if (in_pieces &&
      (to_stdout || tool.files.KindOf(PathFromBytes(options.out)) == PathKind::kStream)) {
    throw Refusal(to_stdout ? Say("--max-entries and --max-bytes write several files; they need "
                                  "--out FILE, not standard output")
                            : Say("--max-entries and --max-bytes write several files; they need "
                                  "--out FILE, not a pipe or device"));
  }
  converter.SetPieceLimits(options.max_entries,
                           options.max_bytes.empty() ? 0 : std::stoull(options.max_bytes));
  const std::string out = to_stdout ? kStandardOutputPath : options.out;
  if (!converter.SetPath(PathFromBytes(out), options.overwrite || to_stdout)) {
    throw Refusal(
        options.out.empty()
            ? Say("no output file was named")
            : Fill(Say("{0} already exists (add --overwrite to replace it)"), {options.out}));
  }
  try {
    RunStoppable(tool.stop_signals, [&] { converter.Execute(); });
  } catch (...) {
    RethrowNaming(out, to_stdout ? "standard output" : out);
  }
  WarnOfSuppliedDates(converter.export_report());
  WarnAboutPieces(converter.export_report(), options);
  tool.progress.WriteResult();
  if (!options.quiet) {
    if (converter.export_report().files.size() <= 1) {
      (to_stdout ? std::cerr : std::cout)
          << Fill(Say("MovableType file: {0}"), {to_stdout ? Say("standard output") : options.out})
          << "\n";
    }
    ListPieces(converter.export_report());
  }
  return kExitDone;
}

}  // namespace

void AddExportCommand(CLI::App& app, Action& action) {
  auto options = std::make_shared<ExportOptions>();
  ExportSetting& s = options->setting;
  CLI::App* command = app.add_subcommand("export", "Write diary entries as a MovableType file");
  command->footer(ExitStatusFooter(
      {"sarnlink export --db diary.db --out blog.txt --author Hanako",
       "sarnlink export --db diary.db --out 2006.txt --start 2005/12/31 --end 2007-01-01 "
       "--overwrite",
       "sarnlink export --db diary.db --out mt.txt --line-ends lf --no-br --genre 旅行"}));
  command->add_option("--db", options->db, "the diary")->required()->check(NonEmptyPath());
  command->add_option("--out", options->out, "the MovableType file to write (-: standard output)")
      ->required()
      ->check(NonEmptyPath());
  command->add_flag("--overwrite", options->overwrite,
                    "replace an existing file at --out; it is replaced only once the new file is "
                    "written whole, and keeps its permissions");
  command->add_option("--genre", options->genre,
                      "export only this genre (\"[ALL]\", as genres lists it: every genre)");
  command
      ->add_option("--start", options->start,
                   "export only days after this one (yyyy/mm/dd or yyyy-mm-dd)")
      ->transform(DayBound());
  command
      ->add_option("--end", options->end,
                   "export only days before this one (yyyy/mm/dd or yyyy-mm-dd)")
      ->transform(DayBound());
  command->add_option("--publish", s.intPublish, "0 all, 1 public only, 2 private only")
      ->check(WholeNumberIn(0, 2, "0, 1 or 2"))
      ->capture_default_str();
  CLI::Option* br =
      command
          ->add_option("--br", s.intBR,
                       "any value but 0: line breaks in texts become <BR>; 0: they stay")
          ->check(AnySetting())
          ->capture_default_str();
  command
      ->add_flag_callback(
          "--no-br", [&s] { s.intBR = 0; }, "same as --br 0")
      ->excludes(br);
  CLI::Option* hyphen =
      command
          ->add_option("--hyphen", s.intHyphen,
                       "1: hyphens in texts become full-width; any other value: they stay")
          ->check(AnySetting())
          ->capture_default_str();
  command
      ->add_flag_callback(
          "--no-hyphen", [&s] { s.intHyphen = 0; }, "same as --hyphen 0")
      ->excludes(hyphen);
  command
      ->add_option("--publish-day", s.intPublishDay,
                   "1: the DATE's day is the diary day; any other value: the day of the "
                   "update time")
      ->check(AnySetting())
      ->capture_default_str();
  // The values blog software accepts: Movable Type refuses a whole file over "ALLOW PINGS: 2".
  command->add_option("--pings", s.intAllowPing, "the ALLOW PINGS value: 0 or 1")
      ->check(WholeNumberIn(0, 1, "0 or 1"))
      ->capture_default_str();
  command->add_option("--comments", s.intAllowComment, "the ALLOW COMMENTS value: 0, 1 or 2")
      ->check(WholeNumberIn(0, 2, "0, 1 or 2"))
      ->capture_default_str();
  command
      ->add_option("--line-ends", options->line_ends,
                   "crlf (the default) or lf. Movable Type's own importer splits entries on LF "
                   "and reads nothing from a CR LF file: choose lf for it; other readers take "
                   "both")
      ->check(OneOf({"crlf", "lf"}))
      ->capture_default_str();
  command->add_option("--author", options->author, "the author written into every entry");
  command
      ->add_option("--max-entries", options->max_entries,
                   "at most N entries a file: more go to NAME-2.txt, NAME-3.txt, ... (entries "
                   "are never split)")
      ->check(WholeNumberIn(1, std::numeric_limits<std::int32_t>::max(),
                            "a whole number from 1 to 2147483647"));
  command
      ->add_option("--max-bytes", options->max_bytes,
                   "at most SIZE bytes a file (100M; K, M, G count 1024s, KB, MB, GB 1000s): "
                   "more go to NAME-2.txt, ...; an entry larger than SIZE gets a file of its own, "
                   "named in a warning")
      ->transform(SizeInBytes());
  command->add_flag("--ask", options->ask, "choose the options in the options form");
  command->add_flag("--quiet", options->quiet, "print nothing but errors");
  command->callback(
      [&action, options] { action = [options] { return RunExportCommand(*options); }; });
}

}  // namespace sarnlink::cli
