#include "import/entry_parser.h"

#include "common/errors.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

std::u16string ParseMTDate(std::u16string_view value) {
  const std::u16string_view month = Mid(value, 1, 2);
  const std::u16string_view day = Mid(value, 4, 2);
  const std::u16string_view year = Mid(value, 7, 4);
  std::u16string hour(Mid(value, 12, 2));
  const std::u16string_view minute = Mid(value, 15, 2);
  const std::u16string_view second = Mid(value, 18, 2);
  const std::u16string_view marker = value.size() >= 2 ? value.substr(value.size() - 2) : value;

  const std::optional<std::int64_t> h = ParseDecimal(hour);
  if (!h) {
    throw Error(ErrorKind::kFormat,
                "the DATE \"" + ToUtf8(value) + "\" has no hour that is a number");
  }
  if (marker == u"PM" && *h < 12) {
    hour = DecimalText(*h + 12);
  } else if (marker == u"AM" && *h == 12) {
    hour = u"00";  // 12 AM is midnight
  }
  std::u16string out;
  out.reserve(19);
  out.append(year).append(u"/").append(month).append(u"/").append(day).append(u" ");
  out.append(hour).append(u":").append(minute).append(u":").append(second);
  return out;
}

void EntryParser::HandleLine(const std::vector<std::u16string>& lines, std::size_t& i) {
  const std::u16string& line = lines[i];
  if (line == u"--------") {
    sink_.StoreEntry(entry_, author_);
    entry_ = DiaryEntry();  // the current author stays
  } else if (line == u"BODY:") {
    ReadSection(lines, i, &entry_.Contents);
  } else if (line == u"EXTENDED BODY:") {
    ReadSection(lines, i, &entry_.extend);
  } else if (line == u"EXCERPT:") {
    ReadSection(lines, i, &entry_.excerpt);
  } else if (line == u"COMMENT:" || line == u"KEYWORDS:" || line == u"PING:") {
    ReadSection(lines, i, nullptr);
  } else if (!line.empty()) {
    HandleKeyLine(line);
  }
}

// Only "-----" ends a section: headings, key lines and "--------" inside it are its text.
void EntryParser::ReadSection(const std::vector<std::u16string>& lines, std::size_t& i,
                              std::u16string* target) {
  const std::size_t heading = i;
  std::size_t j = i + 1;
  while (j < lines.size() && lines[j] != u"-----") {
    if (target) {
      target->append(lines[j]).append(u"\r\n");
    }
    ++j;
  }
  if (j == lines.size()) {
    throw Error(ErrorKind::kOutOfRange, "the section \"" + ToUtf8(lines[heading]) +
                                            "\" has no closing \"-----\" line before the end "
                                            "of the file");
  }
  i = j;
}

// The key is the text before the first colon, untrimmed and case-sensitive; the value is all
// the text after it, trimmed of spaces (so "TITLE: 12:30 meeting" keeps its time).
void EntryParser::HandleKeyLine(const std::u16string& line) {
  const std::size_t colon = line.find(u':');
  if (colon == std::u16string::npos) {
    return;
  }
  const std::u16string_view key = std::u16string_view(line).substr(0, colon);
  const std::u16string value(TrimSpaces(std::u16string_view(line).substr(colon + 1)));
  if (key == u"AUTHOR") {
    author_ = value;
  } else if (key == u"TITLE") {
    entry_.Title = value;
  } else if (key == u"STATUS") {
    entry_.Private = value != u"Publish";
  } else if (key == u"PRIMARY CATEGORY" || key == u"CATEGORY") {
    if (!value.empty()) {
      entry_.Genre = value;
    }
  } else if (key == u"DATE") {
    // The whole line without its "DATE:" marks keeps the colons of the time.
    const std::u16string date(TrimSpaces(ReplaceAll(line, u"DATE:", u"")));
    entry_.PublishTime = ParseMTDate(date);
    entry_.Day = entry_.PublishTime.substr(0, 10);
  }
}

}  // namespace sarnlink
