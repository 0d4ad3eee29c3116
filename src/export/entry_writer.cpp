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

std::u16string SectionText(const FieldValue& value, const ExportSetting& setting) {
  const std::u16string* text = std::get_if<std::u16string>(&value);
  if (!text) {
    return TextOrEmpty(value);
  }
  const bool breaks = setting.intBR != 0;
  const bool hyphens = setting.intHyphen == 1;
  // One pass does both replacements: "<BR>" holds no hyphen, so replacing the line breaks first
  // and the hyphens after gives the same text.
  std::u16string out;
  out.reserve(text->size() + text->size() / 8);
  const std::size_t n = text->size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = (*text)[i];
    if (breaks && c == u'\r' && i + 1 < n && (*text)[i + 1] == u'\n') {
      out.append(u"<BR>");
      ++i;
    } else if (hyphens && c == u'-') {
      out.push_back(u'－');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string SectionLines(std::u16string_view text, std::u16string_view line_end) {
  std::u16string out;
  out.reserve(text.size() + 16);
  std::size_t start = 0;
  while (true) {
    const std::size_t brk = text.find_first_of(u"\r\n", start);
    const std::u16string_view line = text.substr(
        start, brk == std::u16string_view::npos ? std::u16string_view::npos : brk - start);
    out.append(line);
    if (line == u"-----" || line == u"--------") {
      out.push_back(u'\t');
    }
    if (brk == std::u16string_view::npos) {
      return out;
    }
    out.append(line_end);
    start = brk + (text[brk] == u'\r' && brk + 1 < text.size() && text[brk + 1] == u'\n' ? 2 : 1);
  }
}

std::u16string KeyLineValue(const FieldValue& value) {
  std::u16string text = TextOrEmpty(value);
  if (text.find_first_of(u"\r\n") == std::u16string::npos) {
    return text;
  }
  return ReplaceAll(ReplaceAll(ReplaceAll(text, u"\r\n", u" "), u"\r", u" "), u"\n", u" ");
}

std::array<std::u16string, kEntryLineCount> EntryLines(const ExportRow& row,
                                                       const std::u16string& author,
                                                       const ExportSetting& setting,
                                                       std::u16string_view line_end) {
  const bool day_from_diary = setting.intPublishDay == 1;
  const std::u16string time = TextOf(row.PublishTime, "PublishTime");
  const std::u16string day = day_from_diary ? TextOf(row.Day, "Day") : std::u16string();
  const std::u16string genre = KeyLineValue(row.Genre);
  auto line = [line_end](std::u16string_view a, std::u16string_view b = u"") {
    std::u16string text;
    text.reserve(a.size() + b.size() + line_end.size());
    return text.append(a).append(b).append(line_end);
  };
  auto section = [&](const FieldValue& value) {
    return line(SectionLines(SectionText(value, setting), line_end));
  };
  const std::u16string separator = line(u"-----");
  return {
      line(u"AUTHOR: ", KeyLineValue(author)),
      line(u"TITLE: ", KeyLineValue(row.Title)),
      line(IsTrue(row.Private) ? u"STATUS: Draft" : u"STATUS: Publish"),
      line(u"ALLOW COMMENTS: ", DecimalText(setting.intAllowComment)),
      line(u"CONVERT BREAKS: __default__"),
      line(u"ALLOW PINGS: ", DecimalText(setting.intAllowPing)),
      line(u"Primary CATEGORY: ", genre),
      line(u"CATEGORY: ", genre),
      line(u"DATE: ", FormatMTDate(time, day)),
      separator,
      line(u"BODY:"),
      section(row.Contents),
      separator,
      line(u"EXTENDED BODY:"),
      section(row.extend),
      separator,
      separator,
      line(u"EXCERPT:"),
      section(row.excerpt),
      separator,
      line(u"KEYWORDS:"),
      separator,
      line(u"--------"),
  };
}

}  // namespace sarnlink
