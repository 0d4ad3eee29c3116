#include "export/entry_writer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

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

// The texts the section writer puts in, as UTF-16 or as UTF-8 bytes.
template <class Char>
struct SectionMarks;
template <>
struct SectionMarks<char16_t> {
  static constexpr std::u16string_view kBreak = u"<BR>";
  static constexpr std::u16string_view kFullWidthHyphen = u"－";
  static constexpr std::u16string_view kSection = u"-----";
  static constexpr std::u16string_view kEntry = u"--------";
};
template <>
struct SectionMarks<char> {
  static constexpr std::string_view kBreak = "<BR>";
  static constexpr std::string_view kFullWidthHyphen = "\xEF\xBC\x8D";
  static constexpr std::string_view kSection = "-----";
  static constexpr std::string_view kEntry = "--------";
};

// Where the run of units that need nothing ends: at the next CR, LF or hyphen, or the end.
inline std::size_t RunEnd(std::u16string_view text, std::size_t i) {
  while (i < text.size() && text[i] != u'\r' && text[i] != u'\n' && text[i] != u'-') {
    ++i;
  }
  return i;
}

inline std::size_t RunEnd(std::string_view text, std::size_t i) {
  const std::size_t n = text.size();
#if defined(__SSE2__)
  // 16 bytes at a time: Japanese text has a line break or hyphen only every few dozen bytes.
  while (i + 16 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                                    _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))),
                                       _mm_cmpeq_epi8(v, _mm_set1_epi8('-')));
    const int found = _mm_movemask_epi8(marks);
    if (found != 0) {
      return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
    i += 16;
  }
#endif
  while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '-') {
    ++i;
  }
  return i;
}

// Ends a physical line of a section at `out`'s end: a line that would read as a separator, or
// as one with the TABs the reader takes away, gets one TAB more, so that it reads back as it
// stands ("-----" is written "-----\t", and "-----\t" is written "-----\t\t").
template <class Char>
void EndSectionLine(std::basic_string<Char>& out, std::size_t line_start) {
  std::basic_string_view<Char> line = std::basic_string_view<Char>(out).substr(line_start);
  while (!line.empty() && line.back() == Char('\t')) {
    line.remove_suffix(1);
  }
  if (line == SectionMarks<Char>::kSection || line == SectionMarks<Char>::kEntry) {
    out.push_back(Char('\t'));
  }
}

// Appends `text` as section lines; `breaks` and `hyphens` are the export's conversions. The
// same for UTF-16 and for UTF-8, whose bytes of other characters are all above the ASCII marks.
template <class Char>
void AppendSectionText(std::basic_string_view<Char> text, bool breaks, bool hyphens,
                       std::basic_string_view<Char> line_end, std::basic_string<Char>& out) {
  using Marks = SectionMarks<Char>;
  std::size_t line_start = out.size();
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // Most units need nothing: copy the run up to the next CR, LF or hyphen at once.
    const std::size_t run = RunEnd(text, i);
    out.append(text.substr(i, run - i));
    i = run;
    if (i == n) {
      break;
    }
    const Char c = text[i];
    if (c == Char('-')) {
      if (hyphens) {
        out.append(Marks::kFullWidthHyphen);
      } else {
        out.push_back(c);
      }
      i += 1;
      continue;
    }
    const bool pair = c == Char('\r') && i + 1 < n && text[i + 1] == Char('\n');
    if (pair && breaks) {
      out.append(Marks::kBreak);  // holds no hyphen and no line break
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
                Out& out) {
  const bool day_from_diary = setting.intPublishDay == 1;
  std::u16string date;
  if (row.Date) {
    date = *row.Date;
  } else {
    const std::u16string time = TextOf(row.PublishTime, "PublishTime");
    const std::u16string day = day_from_diary ? TextOf(row.Day, "Day") : std::u16string();
    date = FormatMTDate(time, day);
  }
  const bool breaks = setting.intBR != 0;
  const bool hyphens = setting.intHyphen == 1;
  auto key = [&](std::u16string_view name, const FieldValue& value) { out.Key(name, value); };
  auto fixed = [&](std::u16string_view a, std::u16string_view b = u"") { out.Fixed(a, b); };
  auto section = [&](const FieldValue& value, const std::optional<std::string_view>& utf8) {
    out.Section(value, utf8, breaks, hyphens);
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
  section(row.Contents, row.ContentsUtf8);
  fixed(u"-----");
  fixed(u"EXTENDED BODY:");
  section(row.extend, row.extendUtf8);
  fixed(u"-----");
  fixed(u"-----");
  fixed(u"EXCERPT:");
  section(row.excerpt, row.excerptUtf8);
  fixed(u"-----");
  fixed(u"KEYWORDS:");
  fixed(u"-----");
  fixed(u"--------");
}

// A section's text as UTF-16 lines appended to `text`; text kept as UTF-8 is decoded first (it
// decodes without loss: the export keeps only UTF-8 that does).
void AppendSection16(const FieldValue& value, const std::optional<std::string_view>& utf8,
                     bool breaks, bool hyphens, std::u16string_view line_end,
                     std::u16string& text) {
  if (utf8) {
    AppendSectionText<char16_t>(FromUtf8(*utf8), breaks, hyphens, line_end, text);
  } else if (const std::u16string* t = std::get_if<std::u16string>(&value)) {
    AppendSectionText<char16_t>(*t, breaks, hyphens, line_end, text);
  } else {
    AppendSectionText<char16_t>(TextOrEmpty(value), breaks, hyphens, line_end, text);
  }
}

// WriteEntry's destinations: each line a string of its own, or all as UTF-8.
struct LineCollector {
  std::array<std::u16string, kEntryLineCount> lines;
  std::size_t next;
  std::u16string_view line_end;
  void Fixed(std::u16string_view a, std::u16string_view b) {
    lines[next].append(a).append(b);
    lines[next++].append(line_end);
  }
  void Key(std::u16string_view name, const FieldValue& value) {
    lines[next].append(name);
    AppendKeyLineValue(value, lines[next]);
    lines[next++].append(line_end);
  }
  void Section(const FieldValue& value, const std::optional<std::string_view>& utf8, bool breaks,
               bool hyphens) {
    AppendSection16(value, utf8, breaks, hyphens, line_end, lines[next]);
    lines[next++].append(line_end);
  }
};

// Each line is written as UTF-8 as it is made: the fixed words and the DATE, which are ASCII,
// byte for byte; a section kept as UTF-8 as bytes, never leaving UTF-8; only a value held as
// UTF-16 is encoded.
struct Utf8Appender {
  std::string& bytes;
  std::u16string_view line_end;
  std::string_view line_end8;
  std::u16string value;  // a key line's value or a section, as UTF-16
  Bytes encoded;
  void Fixed(std::u16string_view a, std::u16string_view b) {
    Append(a);
    Append(b);
    bytes.append(line_end8);
  }
  void Key(std::u16string_view name, const FieldValue& field) {
    Append(name);
    value.clear();
    AppendKeyLineValue(field, value);
    Append(value);
    bytes.append(line_end8);
  }
  void Section(const FieldValue& field, const std::optional<std::string_view>& utf8, bool breaks,
               bool hyphens) {
    if (utf8) {
      AppendSectionText<char>(*utf8, breaks, hyphens, line_end8, bytes);
    } else {
      value.clear();
      AppendSection16(field, utf8, breaks, hyphens, line_end, value);
      Append(value);
    }
    bytes.append(line_end8);
  }
  // `text` as UTF-8: ASCII byte for byte, anything else through the encoder.
  void Append(std::u16string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
    if (ascii) {
      for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c));
      }
    } else {
      EncodeUTF8(text, encoded);
      bytes.append(reinterpret_cast<const char*>(encoded.data()), encoded.size());
    }
  }
};

}  // namespace

std::u16string SectionLines(std::u16string_view text, std::u16string_view line_end) {
  std::u16string out;
  AppendSectionText<char16_t>(text, false, false, line_end, out);
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
  WriteEntry(row, author, setting, out);
  return out.lines;
}

void AppendEntryUtf8(const ExportRow& row, const std::u16string& author,
                     const ExportSetting& setting, std::u16string_view line_end,
                     std::string& bytes) {
  const std::string line_end8 = ToUtf8(line_end);
  Utf8Appender out{bytes, line_end, line_end8, {}, {}};
  WriteEntry(row, author, setting, out);
}

}  // namespace sarnlink
