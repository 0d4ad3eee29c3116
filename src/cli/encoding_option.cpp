#include "cli/encoding_option.h"

namespace sarnlink::cli {

void AddEncodingOption(CLI::App& command, std::string& encoding) {
  command
      .add_option("--encoding", encoding,
                  "read the file in this encoding instead of detecting it: utf-8, utf-16le, "
                  "utf-16be, shift_jis (sjis, cp932), euc-jp or iso-2022-jp (jis)")
      ->check([](const std::string& name) {
        return TextEncodingFromName(name)
                   ? std::string()
                   : "unknown encoding \"" + name +
                         "\" (utf-8, utf-16le, utf-16be, shift_jis, euc-jp or iso-2022-jp)";
      });
}

std::optional<TextEncoding> EncodingOption(const std::string& encoding) {
  if (encoding.empty()) {
    return std::nullopt;
  }
  return TextEncodingFromName(encoding);
}

}  // namespace sarnlink::cli
