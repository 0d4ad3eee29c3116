#include "export/entry_writer.h"

#include "common/errors.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

std::u16string TwoDigits(int number) {
  std::u16string text = DecimalText(number);
  return text.size() < 2 ? u"0" + text : text;
}

}  // namespace

std::u16string FormatMTDate(std::u16string_view t, std::u16string_view d) {
  const std::u16string_view source = d.empty() ? t : d;
  const std::u16string_view year = Mid(source, 1, 4);
  const std::u16string_view month = Mid(source, 6, 2);
  const std::u16string_view day = Mid(source, 9, 2);
  std::u16string hour(Mid(t, 12, 2));
  const std::u16string_view minute = Mid(t, 15, 2);
  const std::u16string_view second = t.size() >= 2 ? t.substr(t.size() - 2) : t;

  const std::optional<std::int64_t> h = ParseDecimal(hour);
  if (!h) {
    throw Error(ErrorKind::kFormat, "the time \"" + ToUtf8(t) + "\" has no hour that is a number");
  }
  std::u16string marker = u"AM";
  if (*h == 0) {
    hour = u"12";  // midnight is 12 AM on the 12-hour clock
  } else if (*h == 12) {
    marker = u"PM";  // noon is 12 PM
  } else if (*h > 12) {
    hour = TwoDigits(static_cast<int>(*h - 12));
    marker = u"PM";
  }
  std::u16string out;
  out.reserve(22);
  out.append(month).append(u"/").append(day).append(u"/").append(year).append(u" ");
  out.append(hour).append(u":").append(minute).append(u":").append(second);
  out.append(u" ").append(marker);
  return out;
}

namespace {

// Ends a physical line of a section at `out`'s end: a line that would read as a separator gets
// its TAB.
void EndSectionLine(std::u16string& out, std::size_t line_start) {
  const std::u16string_view line = std::u16string_view(out).substr(line_start);
  if (line == u"-----" || line == u"--------") {
    out.push_back(u'\t');
  }
}

// Appends `text` as section lines; `breaks` and `hyphens` are the export's conversions.
void AppendSectionText(std::u16string_view text, bool breaks, bool hyphens,
                       std::u16string_view line_end, std::u16string& out) {
  std::size_t line_start = out.size();
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // Most units need nothing: copy the run up to the next CR, LF or hyphen at once.
    std::size_t run = i;
    while (run < n && text[run] > u'-') {
      ++run;
    }
    if (run == n || (text[run] != u'\r' && text[run] != u'\n' && text[run] != u'-')) {
      while (run < n && text[run] != u'\r' && text[run] != u'\n' && text[run] != u'-') {
        ++run;
      }
    }
    out.append(text.substr(i, run - i));
    i = run;
    if (i == n) {
      break;
    }
    const char16_t c = text[i];
    if (c == u'-') {
      out.push_back(hyphens ? u'－' : u'-');
      i += 1;
      continue;
    }
    const bool pair = c == u'\r' && i + 1 < n && text[i + 1] == u'\n';
    if (pair && breaks) {
      out.append(u"<BR>");  // holds no hyphen and no line break
    } else {
      EndSectionLine(out, line_start);
      out.append(line_end);
      line_start = out.size();
    }
    i += pair ? 2 : 1;
  }
  EndSectionLine(out, line_start);
}

// Appends `a` then `b` to the entry's text. Each key-line value has its own appender.
void AppendKeyLineValue(const FieldValue& value, std::u16string& out) {
  const std::u16string* text = std::get_if<std::u16string>(&value);
  if (!text) {
    out.append(TextOrEmpty(value));
    return;
  }
  const std::size_t n = text->size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = (*text)[i];
    if (c == u'\r' || c == u'\n') {
      out.push_back(u' ');
      i += c == u'\r' && i + 1 < n && (*text)[i + 1] == u'\n' ? 1 : 0;
    } else {
      out.push_back(c);
    }
  }
}

// The entry's lines, handed one by one to `out`, which is told the fixed part of each line and
// then its value.
template <class Out>
void WriteEntry(const ExportRow& row, const std::u16string& author, const ExportSetting& setting,
                std::u16string_view line_end, Out& out) {
  const bool day_from_diary = setting.intPublishDay == 1;
  const std::u16string time = TextOf(row.PublishTime, "PublishTime");
  const std::u16string day = day_from_diary ? TextOf(row.Day, "Day") : std::u16string();
  const std::u16string date = FormatMTDate(time, day);
  const bool breaks = setting.intBR != 0;
  const bool hyphens = setting.intHyphen == 1;
  auto key = [&](std::u16string_view name, const FieldValue& value) {
    out.Line([&](std::u16string& text) {
      text.append(name);
      AppendKeyLineValue(value, text);
    });
  };
  auto fixed = [&](std::u16string_view a, std::u16string_view b = u"") {
    out.Line([&](std::u16string& text) { text.append(a).append(b); });
  };
  auto section = [&](const FieldValue& value) {
    out.Line([&](std::u16string& text) {
      if (const std::u16string* t = std::get_if<std::u16string>(&value)) {
        AppendSectionText(*t, breaks, hyphens, line_end, text);
      } else {
        AppendSectionText(TextOrEmpty(value), breaks, hyphens, line_end, text);
      }
    });
  };
  key(u"AUTHOR: ", author);
  key(u"TITLE: ", row.Title);
  fixed(IsTrue(row.Private) ? u"STATUS: Draft" : u"STATUS: Publish");
  fixed(u"ALLOW COMMENTS: ", DecimalText(setting.intAllowComment));
  fixed(u"CONVERT BREAKS: __default__");
  fixed(u"ALLOW PINGS: ", DecimalText(setting.intAllowPing));
  key(u"Primary CATEGORY: ", row.Genre);
  key(u"CATEGORY: ", row.Genre);
  fixed(u"DATE: ", date);
  fixed(u"-----");
  fixed(u"BODY:");
  section(row.Contents);
  fixed(u"-----");
  fixed(u"EXTENDED BODY:");
  section(row.extend);
  fixed(u"-----");
  fixed(u"-----");
  fixed(u"EXCERPT:");
  section(row.excerpt);
  fixed(u"-----");
  fixed(u"KEYWORDS:");
  fixed(u"-----");
  fixed(u"--------");
}

// WriteEntry's two destinations: each line a string of its own, or all in one text.
struct LineCollector {
  std::array<std::u16string, kEntryLineCount> lines;
  std::size_t next;
  std::u16string_view line_end;
  template <class Fill>
  void Line(const Fill& fill) {
    fill(lines[next]);
    lines[next++].append(line_end);
  }
};

struct LineAppender {
  std::u16string& text;
  std::u16string_view line_end;
  template <class Fill>
  void Line(const Fill& fill) {
    fill(text);
    text.append(line_end);
  }
};

}  // namespace

std::u16string SectionLines(std::u16string_view text, std::u16string_view line_end) {
  std::u16string out;
  AppendSectionText(text, false, false, line_end, out);
  return out;
}

std::u16string KeyLineValue(const FieldValue& value) {
  std::u16string out;
  AppendKeyLineValue(value, out);
  return out;
}

std::array<std::u16string, kEntryLineCount> EntryLines(const ExportRow& row,
                                                       const std::u16string& author,
                                                       const ExportSetting& setting,
                                                       std::u16string_view line_end) {
  LineCollector out{{}, 0, line_end};
  WriteEntry(row, author, setting, line_end, out);
  return out.lines;
}

void AppendEntry(const ExportRow& row, const std::u16string& author, const ExportSetting& setting,
                 std::u16string_view line_end, std::u16string& text) {
  LineAppender out{text, line_end};
  WriteEntry(row, author, setting, line_end, out);
}

}  // namespace sarnlink
