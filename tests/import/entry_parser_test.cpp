#include <gtest/gtest.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "export/entry_writer.h"
#include "import/entry_parser.h"
#include "support/whole_file_oracle.h"

namespace sarnlink {
namespace {

struct Stored {
  DiaryEntry entry;
  std::u16string author;
};

class CollectingSink : public EntrySink {
 public:
  void StoreEntry(DiaryEntry&& entry, const std::u16string& author) override {
    stored.push_back({std::move(entry), author});
  }
  std::vector<Stored> stored;
};

// Parses `text` (lines cut as the import cuts them) and returns what reached the storage.
std::vector<Stored> Parse(const std::u16string& text) {
  CollectingSink sink;
  EntryParser parser(sink);
  const std::vector<std::u16string> lines = CutIntoLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    parser.HandleLine(lines[i], i);
  }
  parser.Finish();
  return sink.stored;
}

DiaryEntry ParseOne(const std::u16string& text) {
  const auto stored = Parse(text + u"\n--------\n");
  EXPECT_EQ(stored.size(), 1u);
  return stored.empty() ? DiaryEntry() : stored[0].entry;
}

struct DateCase {
  const char* name;
  const char* value;
  const char* result;
};

class ParseMTDateForms : public ::testing::TestWithParam<DateCase> {};

TEST_P(ParseMTDateForms, ReadsTheFormsBlogSoftwareWrites) {
  EXPECT_EQ(ToUtf8(ParseMTDate(FromUtf8(GetParam().value))), GetParam().result);
}

std::string DateCaseName(const ::testing::TestParamInfo<DateCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ParseMTDateForms,
    ::testing::Values(
        DateCase{"Pm", "01/23/2005 03:04:05 PM", "2005/01/23 15:04:05"},
        DateCase{"Am", "01/23/2005 03:04:05 AM", "2005/01/23 03:04:05"},
        // 12 AM is midnight, 12 PM noon.
        DateCase{"TwelveAmIsMidnight", "01/23/2005 12:30:00 AM", "2005/01/23 00:30:00"},
        DateCase{"TwelvePmIsNoon", "01/23/2005 12:30:00 PM", "2005/01/23 12:30:00"},
        DateCase{"NewYearsEveMidnight", "12/31/2004 12:00:00 AM", "2004/12/31 00:00:00"},
        DateCase{"NoMarkerIs24Hour", "07/14/2004 18:05:09", "2004/07/14 18:05:09"},
        DateCase{"ZeroHourAm", "07/14/2004 00:05:00 AM", "2004/07/14 00:05:00"},
        DateCase{"OneDigitFields", "4/9/2017 7:49:39 PM", "2017/04/09 19:49:39"},
        DateCase{"LowerCaseMarker", "4/9/2017 7:49:39 pm", "2017/04/09 19:49:39"},
        DateCase{"MarkerWithoutSpace", "4/9/2017 7:49:39PM", "2017/04/09 19:49:39"},
        DateCase{"IsoDashes", "2017-04-22 20:41:58", "2017/04/22 20:41:58"},
        DateCase{"YearFirstSlashes", "2017/04/22 08:41:58", "2017/04/22 08:41:58"},
        DateCase{"LeapDay", "02/29/2016 10:00:00 AM", "2016/02/29 10:00:00"},
        // Several blog services write no seconds.
        DateCase{"NoSecondsPm", "4/8/2008 12:05 PM", "2008/04/08 12:05:00"},
        DateCase{"NoSecondsIso", "2008-04-08 21:05", "2008/04/08 21:05:00"},
        DateCase{"NoSecondsYearFirstSlashes", "2008/04/08 09:05", "2008/04/08 09:05:00"}),
    DateCaseName);

TEST(ParseMTDate, WhatTheExportWritesReadsBackToItsTime) {
  for (const char16_t* time :
       {u"2004/07/14 00:00:00", u"2004/07/14 00:30:00", u"2004/07/14 01:00:00",
        u"2004/07/14 11:59:59", u"2004/07/14 12:00:00", u"2004/07/14 12:30:00",
        u"2004/07/14 13:00:00", u"2004/07/14 18:05:09", u"2004/07/14 23:59:59"}) {
    EXPECT_EQ(ParseMTDate(FormatMTDate(time, u"")), time) << ToUtf8(time);
  }
}

// Nothing malformed is ever stored: each of these ends the run with the value quoted.
TEST(ParseMTDate, RefusesOtherFormsAndFieldsOutOfRange) {
  for (const char16_t* value : {u"",
                                u"xx",
                                u"01/23/2005",
                                u"01/23/2005 03:04: PM",
                                u"01/23/2005 03 PM",
                                u"4/22/20 7:49:39 PM",
                                u"13/01/2005 01:00:00 AM",
                                u"02/30/2005 01:00:00 AM",
                                u"02/29/2005 01:00:00 AM",
                                u"01/32/2005 01:00:00",
                                u"00/10/2005 01:00:00",
                                u"01/01/2005 13:00:00 PM",
                                u"01/01/2005 24:00:00",
                                u"01/01/2005 10:60:00",
                                u"01/01/2005 10:00:60",
                                u"01/01/2005 10:00:00 XM",
                                u"01/01/2005 10:00:00 PMx",
                                u"2017-4-22 20:41:58",
                                u"2017-04/22 20:41:58",
                                u"2017-04-22 08:41:58 PM",
                                u"2017-04-22T20:41:58",
                                u"01/23/2005 003:04:05 PM"}) {
    try {
      ParseMTDate(value);
      ADD_FAILURE() << "accepted " << ToUtf8(value);
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kFormat);
      EXPECT_NE(std::string(e.what()).find("\"" + ToUtf8(value) + "\""), std::string::npos)
          << e.what();
    }
  }
}

TEST(EntryParser, KeyLines) {
  struct Case {
    const char16_t* line;
    std::u16string DiaryEntry::*field;
    const char16_t* value;
  } cases[] = {
      // Regression: a value was once cut at a second colon.
      {u"TITLE: 12:30 meeting", &DiaryEntry::Title, u"12:30 meeting"},
      {u"TITLE:x", &DiaryEntry::Title, u"x"},
      {u"  TITLE: x", &DiaryEntry::Title, u""},
      {u"title: x", &DiaryEntry::Title, u""},
      {u"CATEGORY: 旅行", &DiaryEntry::Genre, u"旅行"},
      {u"PRIMARY CATEGORY: 旅行", &DiaryEntry::Genre, u"旅行"},
      {u"Primary CATEGORY: 旅行", &DiaryEntry::Genre, u""},
      {u"DATE: 07/14/2004 06:05:09 PM", &DiaryEntry::PublishTime, u"2004/07/14 18:05:09"},
      {u"DATE: 07/14/2004 06:05:09 PM", &DiaryEntry::Day, u"2004/07/14"},
      {u"\uFEFFTITLE: x", &DiaryEntry::Title, u""},
      {u"BODY: x", &DiaryEntry::Contents, u""},
      {u"-----", &DiaryEntry::Contents, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOne(c.line).*c.field, c.value) << ToUtf8(c.line);
  }
}

TEST(EntryParser, StatusIsPublicOnlyForPublishInAnyCase) {
  struct Case {
    const char16_t* line;
    bool is_private;
  } cases[] = {
      {u"STATUS: Publish", false}, {u"STATUS:Publish", false},  {u"STATUS: Publish ", false},
      {u"STATUS: Draft", true},    {u"STATUS: publish", false}, {u"STATUS: PUBLISH", false},
      {u"STATUS: Review", true},   {u"STATUS:", true},          {u"NOTHING: here", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOne(c.line).Private, c.is_private) << ToUtf8(c.line);
  }
}

TEST(EntryParser, TheGenreIsThePrimaryCategory) {
  struct Case {
    const char* name;
    const char16_t* lines;
    const char16_t* genre;
  } cases[] = {
      {"primary before others", u"PRIMARY CATEGORY: 旅行\nCATEGORY: 日記\nCATEGORY: 旅行", u"旅行"},
      {"primary after others", u"CATEGORY: 日記\nCATEGORY: 旅行\nPRIMARY CATEGORY: 旅行", u"旅行"},
      {"first of several", u"CATEGORY: 日記\nCATEGORY: 旅行", u"日記"},
      {"empty ones skipped", u"CATEGORY: \nCATEGORY: 旅行\nPRIMARY CATEGORY:", u"旅行"},
      {"our own export", u"Primary CATEGORY: 旅行\nCATEGORY: 旅行", u"旅行"},
      {"none", u"TITLE: x", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOne(c.lines).Genre, c.genre) << c.name;
  }
}

TEST(EntryParser, SectionsAreTheirLinesJoinedByCrLf) {
  const DiaryEntry e = ParseOne(
      u"BODY:\na\n--------\nTITLE: inside\n\n-----\nEXTENDED BODY:\n-----\nEXCERPT:\nx<BR>－\n"
      u"-----\nBODY:\nmore\n-----\nCOMMENT:\nAUTHOR: commenter\nDATE: bad\n-----\n"
      u"KEYWORDS:\nk\n-----\nPING:\nTITLE: ping\n-----");
  EXPECT_EQ(e.Contents, u"a\r\n--------\r\nTITLE: inside\r\n\r\nmore");
  EXPECT_EQ(e.extend, u"");
  EXPECT_EQ(e.excerpt, u"x<BR>－");
  EXPECT_EQ(e.Title, u"");

  struct Case {
    const char* name;
    const char16_t* section;
    const char16_t* text;
  } cases[] = {
      {"empty", u"BODY:\n-----", u""},
      {"one empty line", u"BODY:\n\n-----", u""},
      {"two empty lines", u"BODY:\n\n\n-----", u"\r\n"},
      {"trailing empty line", u"BODY:\na\n\n-----", u"a\r\n"},
      // One TAB goes from a line that is a separator followed by TABs: the export writes such a
      // text line with one TAB more.
      {"escaped separators", u"BODY:\n-----\t\n--------\t\n-----\t\t\n----\t\n-----",
       u"-----\r\n--------\r\n-----\t\r\n----\t"},
      {"heading with trailing space", u"BODY: \t\nx\n-----", u"x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOne(c.section).Contents, c.text) << c.name;
  }
}

// A heading with a trailing space is still its heading, so a comment's own AUTHOR and DATE stay
// inside the comment; leading spaces and letter case still make it no heading.
TEST(EntryParser, HeadingsMatchWithoutTrailingSpaces) {
  const auto stored = Parse(
      u"AUTHOR: hanako\nDATE: 01/02/2005 10:00:00 AM\n-----\nCOMMENT: \nAUTHOR: visitor\n"
      u"DATE: 03/04/2006 11:00:00 PM\nnice\n-----\nPING:\t\nTITLE: elsewhere\n-----\n--------\n");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].author, u"hanako");
  EXPECT_EQ(stored[0].entry.PublishTime, u"2005/01/02 10:00:00");
  EXPECT_EQ(stored[0].entry.Title, u"");

  EXPECT_EQ(ParseOne(u" BODY:\nx\n-----").Contents, u"");
  EXPECT_EQ(ParseOne(u"Body:\nx\n-----").Contents, u"");
}

TEST(EntryParser, TheCurrentAuthorCarriesAcrossEntries) {
  const auto stored =
      Parse(u"AUTHOR: hanako\n--------\nTITLE: no author line\n--------\nAUTHOR:\n--------\n");
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0].author, u"hanako");
  EXPECT_EQ(stored[1].author, u"hanako");
  EXPECT_EQ(stored[1].entry.Title, u"no author line");
  EXPECT_EQ(stored[2].author, u"");
}

TEST(EntryParser, EachEntryStartsEmpty) {
  const auto stored = Parse(u"TITLE: a\nSTATUS: Draft\n--------\n--------\n");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].entry.Title, u"");
  EXPECT_FALSE(stored[1].entry.Private);
  EXPECT_EQ(stored[1].entry.Day, u"");
}

// Files from a blog service end without the last "--------"; that entry is stored all the same,
// but trailing blank lines, a lone AUTHOR line or stray text make no entry.
TEST(EntryParser, AnUnfinishedLastEntryIsStoredWhenItHasContent) {
  struct Case {
    const char* name;
    const char16_t* tail;
    std::size_t stored;
  } cases[] = {
      {"title", u"TITLE: last\n", 2},
      {"date", u"DATE: 01/02/2005 10:00:00 AM", 2},
      {"body", u"BODY:\nx\n-----\n\n\n", 2},
      {"excerpt", u"EXCERPT:\n-----", 2},
      {"blank lines", u"\n\n\n", 1},
      {"lone author", u"AUTHOR: x\n", 1},
      {"stray text", u"thanks for reading\nSTATUS: Draft\n", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(u"TITLE: first\n--------\n" + std::u16string(c.tail)).size(), c.stored)
        << c.name;
  }
}

TEST(EntryParser, ReportsWhatTheDiaryDoesNotKeep) {
  CollectingSink sink;
  ImportReport report;
  EntryParser parser(sink, &report);
  const std::vector<std::u16string> lines = CutIntoLines(
      u"TITLE: one\nTAGS: \"a\",\"b\"\nBASENAME: one\nCONVERT BREAKS: 1\nPrimary CATEGORY: x\n"
      u"-----\nBODY:\nb\n-----\nCOMMENT:\nAUTHOR: v\n-----\nCOMMENT:\n-----\nPING:\n-----\n"
      u"KEYWORDS:\n\n-----\n--------\n\nTITLE: two\nTAGS: c\nDATE: 01/02/2005 10:00:00 AM\n"
      u"KEYWORDS:\nwords\n-----\n--------\n");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    parser.HandleLine(lines[i], i);
  }
  parser.Finish();
  EXPECT_EQ(report.entries, 2);
  EXPECT_EQ(report.comment_sections, 2);
  EXPECT_EQ(report.ping_sections, 1);
  EXPECT_EQ(report.keyword_sections, 1);
  EXPECT_EQ(report.other_keys,
            (std::map<std::u16string, std::int32_t>{{u"BASENAME", 1}, {u"TAGS", 2}}));
  EXPECT_EQ(report.entries_without_date, (std::vector<std::int64_t>{1}));
}

TEST(EntryParser, AnUnclosedSectionIsAnOutOfRangeError) {
  try {
    Parse(u"TITLE: a\nBODY:\nline\n--------\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kOutOfRange);
    EXPECT_NE(std::string(e.what()).find("BODY:"), std::string::npos);
  }
}

TEST(CutIntoLines, SeparatorsAndEmptyPieces) {
  using Lines = std::vector<std::u16string>;
  EXPECT_EQ(CutIntoLines(u"a\r\nb\r\n"), (Lines{u"a", u"b", u""}));
  EXPECT_EQ(CutIntoLines(u"a\nb\n"), (Lines{u"a", u"b", u""}));
  EXPECT_EQ(CutIntoLines(u"a\rb\r"), (Lines{u"a", u"b", u""}));
  EXPECT_EQ(CutIntoLines(u"a\r\nb\rc\n"), (Lines{u"a", u"b\rc", u""}));
  EXPECT_EQ(CutIntoLines(u"one"), (Lines{u"one"}));
  EXPECT_EQ(CutIntoLines(u""), (Lines{u""}));
  EXPECT_EQ(CutIntoLines(u"\n\n"), (Lines{u"", u"", u""}));
}

}  // namespace
}  // namespace sarnlink
