// sarnlink detect FILE and sarnlink decode FILE: the import's encoding decision, on its own.
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/standard_streams.h"
#include "common/errors.h"
#include "common/path_text.h"
#include "common/say.h"
#include "encoding/import_stream.h"
#include "encoding/import_text.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "interface/posix/posix_file_system.h"

namespace sarnlink::cli {
namespace {

struct DecodeOptions {
  std::string path;
  std::string encoding;
};

// Runs the import's decision and decoding over the file, a piece at a time, `text` receiving
// the UTF-8 of each piece (or, when it is null, the text only counted); then the import's warning
// on an encoding the bytes contradict and its note on bytes that did not become text go to
// stderr.
TextEncoding DecodeFileAt(const DecodeOptions& options, const std::string& path,
                          const std::function<void(const Bytes&)>& text) {
  PosixFileSystem files;
  const std::u16string file_name = PathFromBytes(path);
  if (!files.FileExists(file_name, true)) {
    throw Refusal(Fill(Say("no file at {0}"), {path}));
  }
  IconvCodePage932 code_page;
  try {
    auto file = files.OpenForReading(file_name);
    const auto length = static_cast<std::uint64_t>(files.FileLength(file_name));
    const std::optional<TextEncoding> forced = EncodingOption(options.encoding);
    const StreamDecision decision = DecideImportEncoding(*file, length, forced);
    Bytes utf8;
    const Replacements replaced =
        ReadInPieces(*file, decision, code_page,
                     [&](StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
                       if (text) {
                         utf8.clear();
                         decoder.DecodeToUtf8(piece, last, utf8);
                         text(utf8);
                       } else {
                         decoder.Count(piece, last);
                       }
                     });
    const std::string doubt = EncodingDoubt(*file, length, forced.has_value(), decision, replaced);
    if (!doubt.empty()) {
      std::cerr << "sarnlink: " << path << ": " << doubt << "\n";
    }
    if (replaced.count > 0) {
      std::cerr << "sarnlink: " << path << ": " << ReplacementsNote(decision.encoding, replaced)
                << "\n";
    }
    return decision.encoding;
  } catch (const Error& e) {
    throw e.WithContext(path + ": ");
  }
}

// "-" reads standard input, kept in a temporary file: the decision and the decoding read it
// each from its start.
TextEncoding DecodeFile(const DecodeOptions& options,
                        const std::function<void(const Bytes&)>& text) {
  if (!IsStreamInput(options.path)) {
    return DecodeFileAt(options, options.path, text);
  }
  const SpooledInput spooled(options.path == kStandardStream ? "" : options.path);
  try {
    return DecodeFileAt(options, spooled.path(), text);
  } catch (...) {
    RethrowNamingStandardInput(spooled);
  }
}

}  // namespace

void AddEncodingCommands(CLI::App& app, Action& action) {
  auto options = std::make_shared<DecodeOptions>();

  CLI::App* detect =
      app.add_subcommand("detect", "Print the encoding the import would read FILE in");
  detect->add_option("FILE", options->path, "the MovableType file (-: standard input)")->required();
  detect->footer(ExitStatusFooter({"sarnlink detect blog-export.txt"}));
  AddEncodingOption(*detect, options->encoding);
  detect->callback([&action, options] {
    action = [options] {
      const TextEncoding encoding = DecodeFile(*options, nullptr);
      std::cout << TextEncodingName(encoding) << "\n";
      return int{kExitDone};
    };
  });

  CLI::App* decode = app.add_subcommand("decode", "Write the text the import would read, as UTF-8");
  decode->add_option("FILE", options->path, "the MovableType file (-: standard input)")->required();
  decode->footer(
      ExitStatusFooter({"sarnlink decode old-backup.txt | less",
                        "sarnlink decode --encoding euc-jp entries.txt > entries.utf8.txt"}));
  AddEncodingOption(*decode, options->encoding);
  decode->callback([&action, options] {
    action = [options] {
      DecodeFile(*options, [](const Bytes& utf8) {
        std::cout.write(reinterpret_cast<const char*>(utf8.data()),
                        static_cast<std::streamsize>(utf8.size()));
      });
      std::cout.flush();
      return int{kExitDone};
    };
  });
}

}  // namespace sarnlink::cli
