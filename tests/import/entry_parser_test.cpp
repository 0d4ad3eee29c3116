#include <gtest/gtest.h>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "export/entry_writer.h"
#include "import/entry_parser.h"
#include "import/run_import.h"

namespace sarnlink {
namespace {

struct Stored {
  DiaryEntry entry;
  std::u16string author;
};

class CollectingSink : public EntrySink {
 public:
  void StoreEntry(const DiaryEntry& entry, const std::u16string& author) override {
    stored.push_back({entry, author});
  }
  std::vector<Stored> stored;
};

// Parses `text` (lines cut as the import cuts them) and returns what reached the storage.
std::vector<Stored> Parse(const std::u16string& text) {
  CollectingSink sink;
  EntryParser parser(sink);
  const std::vector<std::u16string> lines = CutIntoLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    parser.HandleLine(lines, i);
  }
  return sink.stored;
}

DiaryEntry ParseOne(const std::u16string& text) {
  const auto stored = Parse(text + u"\n--------\n");
  EXPECT_EQ(stored.size(), 1u);
  return stored.empty() ? DiaryEntry() : stored[0].entry;
}

struct DateCase {
  const char* value;
  const char* result;
};

class ParseMTDateTable : public ::testing::TestWithParam<DateCase> {};

TEST_P(ParseMTDateTable, ReadsTheTwelveHourClock) {
  EXPECT_EQ(ToUtf8(ParseMTDate(FromUtf8(GetParam().value))), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseMTDateTable,
    ::testing::Values(DateCase{"01/23/2005 03:04:05 PM", "2005/01/23 15:04:05"},
                      DateCase{"01/23/2005 03:04:05 AM", "2005/01/23 03:04:05"},
                      // 12 AM is midnight, 12 PM noon.
                      DateCase{"01/23/2005 12:30:00 AM", "2005/01/23 00:30:00"},
                      DateCase{"01/23/2005 12:30:00 PM", "2005/01/23 12:30:00"},
                      DateCase{"12/31/2004 12:00:00 AM", "2004/12/31 00:00:00"},
                      DateCase{"07/14/2004 18:05:09", "2004/07/14 18:05:09"},
                      DateCase{"07/14/2004 00:05:00 AM", "2004/07/14 00:05:00"},
                      DateCase{"01/23/2005 03:04 PM", "2005/01/23 15:04:PM"}));

TEST(ParseMTDate, WhatTheExportWritesReadsBackToItsTime) {
  for (const char16_t* time :
       {u"2004/07/14 00:00:00", u"2004/07/14 00:30:00", u"2004/07/14 01:00:00",
        u"2004/07/14 11:59:59", u"2004/07/14 12:00:00", u"2004/07/14 12:30:00",
        u"2004/07/14 13:00:00", u"2004/07/14 18:05:09", u"2004/07/14 23:59:59"}) {
    EXPECT_EQ(ParseMTDate(FormatMTDate(time, u"")), time) << ToUtf8(time);
  }
}

TEST(ParseMTDate, AnHourThatIsNoNumberIsAFormatError) {
  for (const char16_t* value : {u"", u"01/23/2005", u"01/23/2005 3:04:05 PM", u"xx"}) {
    try {
      ParseMTDate(value);
      FAIL() << ToUtf8(value);
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kFormat);
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

TEST(EntryParser, StatusIsPublicOnlyForExactlyPublish) {
  struct Case {
    const char16_t* line;
    bool is_private;
  } cases[] = {{u"STATUS: Publish", false},  {u"STATUS:Publish", false},
               {u"STATUS: Publish ", false}, {u"STATUS: Draft", true},
               {u"STATUS: publish", true},   {u"STATUS:", true},
               {u"NOTHING: here", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOne(c.line).Private, c.is_private) << ToUtf8(c.line);
  }
}

TEST(EntryParser, TheLastNonEmptyCategoryWins) {
  EXPECT_EQ(ParseOne(u"CATEGORY: 旅行\nCATEGORY: \nPRIMARY CATEGORY:").Genre, u"旅行");
  EXPECT_EQ(ParseOne(u"PRIMARY CATEGORY: 旅行\nCATEGORY: 日記").Genre, u"日記");
}

TEST(EntryParser, SectionsCollectTheirLinesWithCrLf) {
  const DiaryEntry e = ParseOne(
      u"BODY:\na\n--------\nTITLE: inside\n\n-----\nEXTENDED BODY:\n-----\nEXCERPT:\nx<BR>－\n"
      u"-----\nBODY:\nmore\n-----\nCOMMENT:\nAUTHOR: commenter\nDATE: bad\n-----\n"
      u"KEYWORDS:\nk\n-----\nPING:\nTITLE: ping\n-----");
  EXPECT_EQ(e.Contents, u"a\r\n--------\r\nTITLE: inside\r\n\r\nmore\r\n");
  EXPECT_EQ(e.extend, u"");
  EXPECT_EQ(e.excerpt, u"x<BR>－\r\n");
  EXPECT_EQ(e.Title, u"");
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

TEST(EntryParser, EachEntryStartsEmptyAndTheLastUnfinishedOneIsNotStored) {
  const auto stored = Parse(u"TITLE: a\nSTATUS: Draft\n--------\n--------\nTITLE: unfinished\n");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].entry.Title, u"");
  EXPECT_FALSE(stored[1].entry.Private);
  EXPECT_EQ(stored[1].entry.Day, u"");
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
