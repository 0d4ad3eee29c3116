#include "import/import_report.h"

#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

// "a, b and c", at most `shown` of them, then "and N more".
std::string ListOf(const std::vector<std::string>& items, std::size_t shown = 10) {
  std::string out;
  const std::size_t n = std::min(items.size(), shown);
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0) {
      out += (k + 1 == n && items.size() <= shown) ? Say(" and ") : Say(", ");
    }
    out += items[k];
  }
  if (items.size() > shown) {
    const auto more = static_cast<std::int64_t>(items.size() - shown);
    out = Fill(SayN("{0} and {1} more", "{0} and {1} more", more), {out, std::to_string(more)});
  }
  return out;
}

std::string Entries(std::int64_t count) {
  return Fill(SayN("{0} entry", "{0} entries", count), {std::to_string(count)});
}

std::string DuplicatesLine(const ImportReport& report) {
  const std::string count = std::to_string(report.duplicates);
  std::string line =
      report.dry_run ? Fill(SayN("{0} entry was already in the diary and would be passed over "
                                 "(--allow-duplicates stores it)",
                                 "{0} entries were already in the diary and would be passed over "
                                 "(--allow-duplicates stores them)",
                                 report.duplicates),
                            {count})
                     : Fill(SayN("{0} entry was already in the diary and was passed over "
                                 "(--allow-duplicates stores it)",
                                 "{0} entries were already in the diary and were passed over "
                                 "(--allow-duplicates stores them)",
                                 report.duplicates),
                            {count});
  if (report.undated_duplicates > 0) {
    line += Fill(Say("; {0} of them without a DATE, found by title, genre and texts among the rows "
                     "an earlier import filed so"),
                 {std::to_string(report.undated_duplicates)});
  }
  return line;
}

std::string TwelveAmLine(const ImportReport& report) {
  if (report.twelve_am_as_asked) {
    if (report.twelve_am_is_noon) {
      return Say("read \"12:mm AM\" as noon, as asked");
    }
    if (report.twelve_am_from_file) {
      return Say(
          "read \"12:mm AM\" as midnight, as asked, though the file writes midnight as "
          "\"00:mm AM\" (as the earlier export did), which makes its \"12:mm AM\" noon");
    }
    return "";
  }
  if (report.twelve_am_is_noon) {
    return Say(
        "read \"12:mm AM\" as noon: the file writes midnight as \"00:mm AM\", as the earlier "
        "export did (--twelve-am midnight reads it otherwise)");
  }
  return "";
}

std::string SectionsLine(const ImportReport& report) {
  std::vector<std::string> sections;
  auto add = [&sections](std::int64_t count, const std::string& text) {
    if (count > 0) {
      sections.push_back(Fill(text, {std::to_string(count)}));
    }
  };
  add(report.comment_sections,
      SayN("{0} COMMENT section", "{0} COMMENT sections", report.comment_sections));
  add(report.ping_sections, SayN("{0} PING section", "{0} PING sections", report.ping_sections));
  add(report.keyword_sections,
      SayN("{0} KEYWORDS section", "{0} KEYWORDS sections", report.keyword_sections));
  return sections.empty()
             ? ""
             : Fill(Say("not kept (the diary has no place for them): {0}"), {ListOf(sections)});
}

std::string UndatedLine(const ImportReport& report) {
  std::vector<std::string> at;
  for (std::int64_t line : report.entries_without_date) {
    at.push_back(std::to_string(line));
  }
  const std::string filed =
      report.undated_time.empty()
          ? Say(" (the day is left empty)")
          : Fill(report.undated_duplicates > 0
                     ? Say(" (those stored are filed under the import's time, {0})")
                     : Say(" (filed under the import's time, {0})"),
                 {ToUtf8(report.undated_time)});
  const auto count = static_cast<std::int64_t>(at.size());
  return Fill(SayN("{0} without a DATE{1}: starting on line {2}",
                   "{0} without a DATE{1}: starting on lines {2}", count),
              {Entries(count), filed, ListOf(at)});
}

}  // namespace

std::vector<std::string> ImportReportLines(const ImportReport& report) {
  std::vector<std::string> lines;
  lines.push_back(Fill(
      report.dry_run ? Say("read as {0}: {1} in {2}; {3} would be stored")
                     : Say("read as {0}: {1} in {2}; {3} stored"),
      {TextEncodingName(report.encoding), Entries(report.entries),
       Fill(SayN("{0} line", "{0} lines", report.line_count), {std::to_string(report.line_count)}),
       Entries(report.stored)}));
  if (report.passed_over > 0) {
    lines.push_back(
        Fill(Say("{0} passed over by the author filter"), {Entries(report.passed_over)}));
  }
  if (report.duplicates > 0) {
    lines.push_back(DuplicatesLine(report));
  }
  if (const std::string twelve_am = TwelveAmLine(report); !twelve_am.empty()) {
    lines.push_back(twelve_am);
  }
  if (!report.added_to_existing_days.empty()) {
    std::vector<std::string> days;
    for (const auto& [day, count] : report.added_to_existing_days) {
      days.push_back(ToUtf8(day) + " (+" + std::to_string(count) + ")");
    }
    lines.push_back(
        Fill(Say("days that already have entries and would get more: {0}"), {ListOf(days)}));
  }
  if (!report.encoding_doubt.empty()) {
    lines.push_back(report.encoding_doubt);
  }
  if (!report.invalid_bytes.empty()) {
    lines.push_back(report.invalid_bytes);
  }
  if (const std::string sections = SectionsLine(report); !sections.empty()) {
    lines.push_back(sections);
  }
  if (!report.other_keys.empty()) {
    std::vector<std::string> keys;
    for (const auto& [key, count] : report.other_keys) {
      std::string item(1, '"');  // appended, not added: GCC 12 misreads "x" + string at -O3
      item.append(ToUtf8(key)).append("\" x").append(std::to_string(count));
      keys.push_back(std::move(item));
    }
    lines.push_back(Fill(Say("keys the diary has no column for, not kept: {0}"), {ListOf(keys)}));
  }
  if (!report.entries_without_date.empty()) {
    lines.push_back(UndatedLine(report));
  }
  if (!report.run_stamp.empty() && report.stored > 0 && !report.dry_run) {
    lines.push_back(Fill(Say("the rows are stamped \"{0}\""), {ToUtf8(report.run_stamp)}));
  }
  return lines;
}

}  // namespace sarnlink
