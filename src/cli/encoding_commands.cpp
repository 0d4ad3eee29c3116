// sarnlink detect FILE and sarnlink decode FILE: the import's encoding decision, on its own.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "common/errors.h"
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

ImportText DecodeFile(const DecodeOptions& options) {
  const std::string& path = options.path;
  PosixFileSystem files;
  const std::u16string file = FromUtf8(path);
  if (!files.FileExists(file, true)) {
    throw Refusal("no file at " + path);
  }
  const Bytes bytes = files.ReadWholeFile(file);
  IconvCodePage932 code_page;
  try {
    ImportText text = DecodeImportText(bytes, code_page, EncodingOption(options.encoding));
    if (text.invalid.count > 0) {
      std::cerr << "sarnlink: " << path << ": " << InvalidBytesNote(text) << "\n";
    }
    return text;
  } catch (const Error& e) {
    throw e.WithContext(path + ": ");
  }
}

}  // namespace

void AddEncodingCommands(CLI::App& app, Action& action) {
  auto options = std::make_shared<DecodeOptions>();

  CLI::App* detect =
      app.add_subcommand("detect", "Print the encoding the import would read FILE in");
  detect->add_option("FILE", options->path, "the MovableType file")->required();
  AddEncodingOption(*detect, options->encoding);
  detect->callback([&action, options] {
    action = [options] {
      std::cout << TextEncodingName(DecodeFile(*options).encoding) << "\n";
      return int{kExitDone};
    };
  });

  CLI::App* decode = app.add_subcommand("decode", "Write the text the import would read, as UTF-8");
  decode->add_option("FILE", options->path, "the MovableType file")->required();
  AddEncodingOption(*decode, options->encoding);
  decode->callback([&action, options] {
    action = [options] {
      const std::string text = ToUtf8(DecodeFile(*options).text);
      std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
      std::cout.flush();
      return int{kExitDone};
    };
  });
}

}  // namespace sarnlink::cli
