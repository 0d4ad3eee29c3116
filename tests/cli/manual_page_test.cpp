// The manual page and the tool's own help tell the same options: for every subcommand the tool
// has, the page has a section ("sarnlink NAME") listing exactly the options
// `sarnlink help NAME` lists, so that neither can gain or lose an option alone.
#include <gtest/gtest.h>

#include <map>
#include <regex>
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

// The long options `sarnlink help NAME` lists, -h,--help apart (every subcommand takes it).
OptionNames HelpOptions(const std::string& subcommand) {
  OptionNames names;
  static const std::regex kOption("--[a-z0-9-]+");
  for (const std::string& line : Block(RunSarnlink("help " + subcommand).out, "Options:")) {
    const std::string first = line.substr(0, line.find(' ', 2));
    for (std::sregex_iterator it(first.begin(), first.end(), kOption), end; it != end; ++it) {
      if (it->str() != "--help") {
        names.insert(it->str());
      }
    }
  }
  return names;
}

// The options each `.SS "sarnlink NAME"` section of the manual page lists: the long options on
// the tag lines of its .TP paragraphs (`\-` read as `-`).
std::map<std::string, OptionNames> ManualPageOptions(const std::string& page) {
  std::map<std::string, OptionNames> sections;
  static const std::regex kSection(R"re(^\.SS "sarnlink ([a-z\\-]+)")re");
  static const std::regex kOption(R"(\\-\\-[a-z0-9\\-]+)");
  std::istringstream lines(page);
  OptionNames* section = nullptr;
  bool tag_line = false;
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_search(line, match, kSection)) {
      section = &sections[std::regex_replace(match[1].str(), std::regex(R"(\\-)"), "-")];
    } else if (line.rfind(".SH", 0) == 0) {
      section = nullptr;
    } else if (section && tag_line) {
      for (std::sregex_iterator it(line.begin(), line.end(), kOption), end; it != end; ++it) {
        section->insert(std::regex_replace(it->str(), std::regex(R"(\\-)"), "-"));
      }
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
