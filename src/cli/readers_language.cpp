#include "cli/readers_language.h"

#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <string>

#include "common/say.h"

namespace sarnlink::cli {
namespace {

constexpr char kDomain[] = "sarnlink";

std::string CatalogText(const char* english, const char* english_plural, std::uint64_t count) {
  return english_plural
             ? dngettext(kDomain, english, english_plural, static_cast<unsigned long>(count))
             : dgettext(kDomain, english);
}

// The catalogs the build puts beside the tool (<folder of the tool>/locale), else the system's.
std::string CatalogFolder() {
  std::error_code error;
  const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = tool.parent_path() / "locale";
    if (std::filesystem::is_directory(beside, error)) {
      return beside.string();
    }
  }
  return SARNLINK_LOCALEDIR;
}

}  // namespace

void UseReadersLanguage() {
  // Only the messages' category: numbers, character classes and the rest stay as in C, so that
  // what the tool writes and reads never depends on the reader's locale.
  std::setlocale(LC_MESSAGES, "");
  bindtextdomain(kDomain, CatalogFolder().c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
  SetTranslator(CatalogText);
}

}  // namespace sarnlink::cli
