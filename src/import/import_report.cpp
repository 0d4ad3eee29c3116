#include "import/import_report.h"

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
      out += (k + 1 == n && items.size() <= shown) ? " and " : ", ";
    }
    out += items[k];
  }
  if (items.size() > shown) {
    out += " and " + std::to_string(items.size() - shown) + " more";
  }
  return out;
}

}  // namespace

std::vector<std::string> ImportReportLines(const ImportReport& report) {
  std::vector<std::string> lines;
  lines.push_back("read as " + std::string(TextEncodingName(report.encoding)) + ": " +
                  CountOf(report.entries, "entry", "entries") + " in " +
                  CountOf(report.line_count, "line", "lines") + "; " +
                  CountOf(report.stored, "entry", "entries") +
                  (report.dry_run ? " would be stored" : " stored"));
  if (report.passed_over > 0) {
    lines.push_back(CountOf(report.passed_over, "entry", "entries") +
                    " passed over by the author filter");
  }
  if (report.duplicates > 0) {
    const std::string undated =
        report.undated_duplicates == 0
            ? ""
            : "; " + std::to_string(report.undated_duplicates) + " of them without a DATE, " +
                  "found by title, genre and texts among the rows an earlier import filed so";
    lines.push_back(CountOf(report.duplicates, "entry was", "entries were") +
                    " already in the diary" +
                    (report.dry_run           ? " and would be"
                     : report.duplicates == 1 ? " and was"
                                              : " and were") +
                    " passed over (--allow-duplicates stores " +
                    (report.duplicates == 1 ? "it)" : "them)") + undated);
  }
  if (report.twelve_am_as_asked) {
    if (report.twelve_am_is_noon) {
      lines.push_back("read \"12:mm AM\" as noon, as asked");
    } else if (report.twelve_am_from_file) {
      lines.push_back(
          "read \"12:mm AM\" as midnight, as asked, though the file writes midnight as "
          "\"00:mm AM\" (as the earlier export did), which makes its \"12:mm AM\" noon");
    }
  } else if (report.twelve_am_is_noon) {
    lines.push_back(
        "read \"12:mm AM\" as noon: the file writes midnight as \"00:mm AM\", as the earlier "
        "export did (--twelve-am midnight reads it otherwise)");
  }
  if (!report.added_to_existing_days.empty()) {
    std::vector<std::string> days;
    for (const auto& [day, count] : report.added_to_existing_days) {
      days.push_back(ToUtf8(day) + " (+" + std::to_string(count) + ")");
    }
    lines.push_back("days that already have entries and would get more: " + ListOf(days));
  }
  if (!report.encoding_doubt.empty()) {
    lines.push_back(report.encoding_doubt);
  }
  if (!report.invalid_bytes.empty()) {
    lines.push_back(report.invalid_bytes);
  }
  if (report.comment_sections > 0 || report.ping_sections > 0 || report.keyword_sections > 0) {
    std::vector<std::string> sections;
    if (report.comment_sections > 0) {
      sections.push_back(CountOf(report.comment_sections, "COMMENT section", "COMMENT sections"));
    }
    if (report.ping_sections > 0) {
      sections.push_back(CountOf(report.ping_sections, "PING section", "PING sections"));
    }
    if (report.keyword_sections > 0) {
      sections.push_back(CountOf(report.keyword_sections, "KEYWORDS section", "KEYWORDS sections"));
    }
    lines.push_back("not kept (the diary has no place for them): " + ListOf(sections));
  }
  if (!report.other_keys.empty()) {
    std::vector<std::string> keys;
    for (const auto& [key, count] : report.other_keys) {
      std::string item(1, '"');  // appended, not added: GCC 12 misreads "x" + string at -O3
      item.append(ToUtf8(key)).append("\" x").append(std::to_string(count));
      keys.push_back(std::move(item));
    }
    lines.push_back("keys the diary has no column for, not kept: " + ListOf(keys));
  }
  if (!report.entries_without_date.empty()) {
    std::vector<std::string> at;
    for (std::int64_t line : report.entries_without_date) {
      at.push_back(std::to_string(line));
    }
    lines.push_back(
        CountOf(static_cast<std::int64_t>(report.entries_without_date.size()), "entry", "entries") +
        " without a DATE" +
        (report.undated_time.empty()
             ? std::string(" (the day is left empty)")
             : std::string(report.undated_duplicates > 0 ? " (those stored are filed" : " (filed") +
                   " under the import's time, " + ToUtf8(report.undated_time) + ")") +
        ": starting on line" + (at.size() == 1 ? " " : "s ") + ListOf(at));
  }
  if (!report.run_stamp.empty() && report.stored > 0 && !report.dry_run) {
    lines.push_back("the rows are stamped \"" + ToUtf8(report.run_stamp) + "\"");
  }
  return lines;
}

}  // namespace sarnlink
