// The manual page and the tool's own help tell the same options: for every subcommand the tool
// has, the page has a section ("sarnlink NAME") listing exactly the options
// `sarnlink help NAME` lists, so that neither can gain or lose an option alone.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::RunSarnlink;

using OptionNames = std::set<std::string>;

// The lines of `text` from the one after `heading` to the first empty line.
std::vector<std::string> Block(const std::string& text, const std::string& heading) {
  std::istringstream lines(text);
  std::vector<std::string> block;
  bool inside = false;
  for (std::string line; std::getline(lines, line);) {
    if (inside && line.empty()) {
      break;
    }
    if (inside) {
      block.push_back(line);
    }
    inside = inside || line == heading;
  }
  return block;
}

// The subcommands `sarnlink help` lists.
std::vector<std::string> Subcommands() {
  std::vector<std::string> names;
  for (const std::string& line : Block(RunSarnlink("help").out, "Subcommands:")) {
    names.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  return names;
}

// The long options in `text`: "--" and then letters, digits and "-". (A scan, not std::regex,
// whose GCC 12 headers warn under the sanitizers' optimisation.)
OptionNames LongOptions(const std::string& text) {
  OptionNames names;
  auto in_name = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  };
  for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
    std::size_t end = at + 2;
    while (end < text.size() && in_name(text[end])) {
      ++end;
    }
    if (end > at + 2) {
      names.insert(text.substr(at, end - at));
      at = end - 2;
    }
  }
  return names;
}

// A line of the manual page's source as it reads: `\-` is "-".
std::string Unescaped(std::string line) {
  for (std::size_t at = line.find("\\-"); at != std::string::npos; at = line.find("\\-", at)) {
    line.erase(at, 1);
  }
  return line;
}

// The long options `sarnlink help NAME` lists, -h,--help apart (every subcommand takes it).
OptionNames HelpOptions(const std::string& subcommand) {
  OptionNames names;
  for (const std::string& line : Block(RunSarnlink("help " + subcommand).out, "Options:")) {
    for (const std::string& name : LongOptions(line.substr(0, line.find(' ', 2)))) {
      if (name != "--help") {
        names.insert(name);
      }
    }
  }
  return names;
}

// The options each `.SS "sarnlink NAME"` section of the manual page lists: the long options on
// the tag lines of its .TP paragraphs.
std::map<std::string, OptionNames> ManualPageOptions(const std::string& page) {
  std::map<std::string, OptionNames> sections;
  const std::string kSection = ".SS \"sarnlink ";
  std::istringstream lines(page);
  OptionNames* section = nullptr;
  bool tag_line = false;
  for (std::string line; std::getline(lines, line);) {
    line = Unescaped(line);
    if (line.rfind(kSection, 0) == 0) {
      const std::size_t end = line.find('"', kSection.size());
      section = &sections[line.substr(kSection.size(), end - kSection.size())];
    } else if (line.rfind(".SH", 0) == 0) {
      section = nullptr;
    } else if (section && tag_line) {
      const OptionNames found = LongOptions(line);
      section->insert(found.begin(), found.end());
    }
    tag_line = line == ".TP";
  }
  return sections;
}

std::string Listed(const OptionNames& names) {
  std::string listed;
  for (const std::string& name : names) {
    listed += " " + name;
  }
  return listed;
}

TEST(ManualPage, ListsEveryOptionOfEverySubcommandAsItsHelpDoes) {
  const auto sections =
      ManualPageOptions(testing::ReadText(std::string(SARNLINK_SOURCE_DIR) + "/doc/sarnlink.1"));
  const std::vector<std::string> subcommands = Subcommands();
  ASSERT_GE(subcommands.size(), 11u) << "the help's subcommand list was not found";
  for (const std::string& subcommand : subcommands) {
    const auto section = sections.find(subcommand);
    if (section == sections.end()) {
      ADD_FAILURE() << "the manual page has no section \"sarnlink " << subcommand << "\"";
      continue;
    }
    EXPECT_EQ(Listed(section->second), Listed(HelpOptions(subcommand)))
        << "sarnlink " << subcommand << ": the manual page, then the help";
  }
  EXPECT_EQ(sections.size(), subcommands.size())
      << "the manual page has a section for a subcommand the tool does not have";
}

}  // namespace
}  // namespace sarnlink
