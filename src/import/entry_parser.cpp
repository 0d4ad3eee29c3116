#include "import/entry_parser.h"

#include <utility>

#include "common/clock.h"
#include "common/errors.h"
#include "common/text.h"
#include "common/text_cursor.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

struct DateFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::u16string TwoDigits(int n) {
  return std::u16string{static_cast<char16_t>(u'0' + n / 10), static_cast<char16_t>(u'0' + n % 10)};
}

[[noreturn]] void ThrowBadDate(std::u16string_view value, const std::string& why) {
  throw Error(ErrorKind::kFormat, "the DATE \"" + ToUtf8(value) + "\" " + why);
}

// "hh:mm:ss" or "hh:mm" (seconds 0, as several blog services write it) after the date part, on
// the 24-hour clock unless `marker_allowed` and a marker follows. Returns false when the form
// does not match.
bool ReadTime(TextCursor& r, bool marker_allowed, std::size_t digits_min, DateFields& f,
              bool& has_marker, bool& pm) {
  f.second = 0;
  if (!r.SkipSpaces() || !r.Number(digits_min, 2, f.hour) || !r.Take(u':') ||
      !r.Number(digits_min, 2, f.minute) || (r.Take(u':') && !r.Number(digits_min, 2, f.second))) {
    return false;
  }
  has_marker = false;
  if (marker_allowed && !r.AtEnd()) {
    r.SkipSpaces();
    const std::u16string_view marker = r.Rest();
    if (marker.size() != 2 || (marker[1] != u'M' && marker[1] != u'm')) {
      return false;
    }
    has_marker = marker[0] == u'A' || marker[0] == u'a' || marker[0] == u'P' || marker[0] == u'p';
    pm = marker[0] == u'P' || marker[0] == u'p';
    return has_marker;
  }
  return r.AtEnd();
}

// The fields of a DATE value, checked; throws for a value in no known form or out of range.
struct ReadDate {
  DateFields fields;
  bool has_marker = false;
  bool pm = false;
};

ReadDate ReadMTDate(std::u16string_view value) {
  ReadDate read;
  DateFields& f = read.fields;
  bool& has_marker = read.has_marker;
  bool& pm = read.pm;
  TextCursor month_first(value);
  TextCursor year_first(value);
  const bool month_day_year = month_first.Number(1, 2, f.month) && month_first.Take(u'/') &&
                              month_first.Number(1, 2, f.day) && month_first.Take(u'/') &&
                              month_first.Number(4, 4, f.year) &&
                              ReadTime(month_first, true, 1, f, has_marker, pm);
  if (!month_day_year) {
    f = DateFields();
    const char16_t separator = value.size() > 4 ? value[4] : u'\0';
    const bool year_month_day = year_first.Number(4, 4, f.year) &&
                                (separator == u'-' || separator == u'/') &&
                                year_first.Take(separator) && year_first.Number(2, 2, f.month) &&
                                year_first.Take(separator) && year_first.Number(2, 2, f.day) &&
                                ReadTime(year_first, false, 2, f, has_marker, pm);
    if (!year_month_day) {
      ThrowBadDate(value,
                   "is not a date in a form blog software writes (MM/DD/YYYY hh:mm[:ss] AM or "
                   "PM, YYYY-MM-DD hh:mm[:ss] or YYYY/MM/DD hh:mm[:ss]; the year in four "
                   "digits)");
    }
  }
  if (f.month < 1 || f.month > 12) {
    ThrowBadDate(value, "has no month " + std::to_string(f.month));
  }
  if (f.day < 1 || f.day > DaysInMonth(f.year, f.month)) {
    ThrowBadDate(value, "has no day " + std::to_string(f.day) + " in its month");
  }
  if (f.hour > (has_marker ? 12 : 23)) {
    ThrowBadDate(value, "has hour " + std::to_string(f.hour) + ", out of range" +
                            (has_marker ? " for the 12-hour clock" : ""));
  }
  if (f.minute > 59 || f.second > 59) {
    ThrowBadDate(value, "has a minute or second above 59");
  }
  return read;
}

}  // namespace

std::u16string ParseMTDate(std::u16string_view value, bool twelve_am_is_noon,
                           bool* zero_hour_with_marker) {
  const ReadDate read = ReadMTDate(value);
  DateFields f = read.fields;
  if (zero_hour_with_marker) {
    *zero_hour_with_marker = read.has_marker && f.hour == 0;
  }
  if (read.has_marker && read.pm && f.hour < 12) {
    f.hour += 12;
  } else if (read.has_marker && !read.pm && f.hour == 12 && !twelve_am_is_noon) {
    f.hour = 0;  // 12 AM is midnight
  }
  std::u16string out = TwoDigits(f.year / 100) + TwoDigits(f.year % 100);
  out.append(u"/").append(TwoDigits(f.month)).append(u"/").append(TwoDigits(f.day));
  out.append(u" ").append(TwoDigits(f.hour)).append(u":").append(TwoDigits(f.minute));
  out.append(u":").append(TwoDigits(f.second));
  return out;
}

namespace {

// A heading is matched after its trailing spaces and tabs are removed ("COMMENT: " is COMMENT).
std::u16string_view HeadingOf(std::u16string_view line) {
  const std::size_t last = line.find_last_not_of(u" \t");
  return last == std::u16string_view::npos ? std::u16string_view() : line.substr(0, last + 1);
}

bool IsAsciiCaseless(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t k = 0; k < a.size(); ++k) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; };
    if (lower(a[k]) != lower(b[k])) {
      return false;
    }
  }
  return true;
}

// Keys that the diary keeps, or that are settings of the blog with no meaning in a diary.
bool IsKeptOrSettingKey(std::u16string_view key) {
  return key == u"AUTHOR" || key == u"TITLE" || key == u"STATUS" || key == u"PRIMARY CATEGORY" ||
         key == u"Primary CATEGORY" || key == u"CATEGORY" || key == u"DATE" ||
         key == u"ALLOW COMMENTS" || key == u"CONVERT BREAKS" || key == u"ALLOW PINGS";
}

// A text line that would read as a separator is written with one TAB more after it (after the
// TABs it has); that TAB goes again.
std::u16string_view Unescaped(std::u16string_view line) {
  const std::size_t marks = line.find_last_not_of(u'\t') + 1;
  const std::u16string_view text = line.substr(0, marks);
  if (marks < line.size() && (text == u"-----" || text == u"--------")) {
    return line.substr(0, line.size() - 1);
  }
  return line;
}

}  // namespace

void EntryParser::HandleLine(std::u16string_view line, std::size_t index) {
  index_ = index;
  if (in_section()) {
    // Only "-----" ends a section: headings, key lines and "--------" inside it are its text.
    if (line == u"-----") {
      CloseSection();
    } else {
      AddSectionLine(line);
    }
    return;
  }
  if (line == u"--------") {
    EndEntry();
    return;
  }
  if (line.empty()) {
    return;
  }
  if (!started_) {
    started_ = true;
    first_line_ = index;
  }
  const std::u16string_view heading = HeadingOf(line);
  if (heading == u"BODY:") {
    OpenSection(Section::kBody, line);
  } else if (heading == u"EXTENDED BODY:") {
    OpenSection(Section::kExtended, line);
  } else if (heading == u"EXCERPT:") {
    OpenSection(Section::kExcerpt, line);
  } else if (heading == u"COMMENT:") {
    OpenSection(Section::kComment, line);
  } else if (heading == u"KEYWORDS:") {
    OpenSection(Section::kKeywords, line);
  } else if (heading == u"PING:") {
    OpenSection(Section::kPing, line);
  } else {
    HandleKeyLine(line);
  }
}

void EntryParser::Finish() {
  if (in_section()) {
    throw Error(ErrorKind::kOutOfRange, "the section \"" + ToUtf8(section_heading_) +
                                            "\" has no closing \"-----\" line before the end "
                                            "of the file");
  }
  if (has_content_) {
    EndEntry();
  }
}

void EntryParser::EndEntry() {
  entry_.Genre = !primary_category_.empty() ? primary_category_ : first_category_;
  entry_.undated = !has_date_;
  if (!has_date_ && !rules_.undated_time.empty()) {
    // Filed under the import's own moment, where the host shows it, not under an empty day.
    entry_.PublishTime = rules_.undated_time;
    entry_.Day = entry_.PublishTime.substr(0, 10);
  }
  if (report_) {
    ++report_->entries;
    ++report_->authors[author_];
    if (!has_date_) {
      report_->entries_without_date.push_back(static_cast<std::int64_t>(first_line_) + 1);
    }
  }
  sink_.StoreEntry(std::move(entry_), author_);
  entry_ = DiaryEntry();  // the current author stays
  primary_category_.clear();
  first_category_.clear();
  body_lines_ = extend_lines_ = excerpt_lines_ = 0;
  has_content_ = has_date_ = started_ = false;
}

void EntryParser::OpenSection(Section section, std::u16string_view heading) {
  section_ = section;
  section_heading_.assign(heading);
  section_heading_index_ = index_;
  skipped_text_lines_ = 0;
}

// A collected section's text is its lines joined by CR LF; a second section of the kind goes on
// from the first.
void EntryParser::AddSectionLine(std::u16string_view line) {
  std::u16string* target = nullptr;
  int* count = nullptr;
  switch (section_) {
    case Section::kBody:
      target = &entry_.Contents, count = &body_lines_;
      break;
    case Section::kExtended:
      target = &entry_.extend, count = &extend_lines_;
      break;
    case Section::kExcerpt:
      target = &entry_.excerpt, count = &excerpt_lines_;
      break;
    default:
      skipped_text_lines_ += line.empty() ? 0 : 1;
      return;
  }
  if ((*count)++ > 0) {
    target->append(u"\r\n");
  }
  target->append(Unescaped(line));
}

void EntryParser::CloseSection() {
  const Section closed = section_;
  section_ = Section::kNone;
  if (closed == Section::kBody || closed == Section::kExtended || closed == Section::kExcerpt) {
    has_content_ = true;
  } else if (report_ && closed == Section::kComment) {
    ++report_->comment_sections;
  } else if (report_ && closed == Section::kPing) {
    ++report_->ping_sections;
  } else if (report_ && closed == Section::kKeywords && skipped_text_lines_ > 0) {
    ++report_->keyword_sections;
  }
}

void EntryParser::NoteUnkeptKey(std::u16string_view key) {
  if (report_) {
    ++report_->other_keys[std::u16string(key)];
  }
}

// The key is the text before the first colon, untrimmed and case-sensitive; the value is all
// the text after it, trimmed of spaces (so "TITLE: 12:30 meeting" keeps its time).
void EntryParser::HandleKeyLine(std::u16string_view line) {
  const std::size_t colon = line.find(u':');
  if (colon == std::u16string::npos) {
    return;
  }
  const std::u16string_view key = line.substr(0, colon);
  const std::u16string value(TrimSpaces(line.substr(colon + 1)));
  if (key == u"AUTHOR") {
    author_ = value;
  } else if (key == u"TITLE") {
    entry_.Title = value;
    has_content_ = true;
  } else if (key == u"STATUS") {
    entry_.Private = !IsAsciiCaseless(value, u"Publish");
  } else if (key == u"PRIMARY CATEGORY") {
    if (!value.empty()) {
      primary_category_ = value;
    }
  } else if (key == u"CATEGORY") {
    if (first_category_.empty()) {
      first_category_ = value;
    }
  } else if (key == u"DATE") {
    // The whole line without its "DATE:" marks keeps the colons of the time.
    const std::u16string date(TrimSpaces(ReplaceAll(line, u"DATE:", u"")));
    bool zero_hour_with_marker = false;
    entry_.PublishTime = ParseMTDate(date, rules_.twelve_am_is_noon, &zero_hour_with_marker);
    saw_zero_hour_with_marker_ = saw_zero_hour_with_marker_ || zero_hour_with_marker;
    entry_.Day = entry_.PublishTime.substr(0, 10);
    has_content_ = has_date_ = true;
  } else if (!IsKeptOrSettingKey(key)) {
    NoteUnkeptKey(key);
  }
}

}  // namespace sarnlink
