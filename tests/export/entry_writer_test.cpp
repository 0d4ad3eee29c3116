#include <gtest/gtest.h>

#include <random>

#include "common/errors.h"
#include "encoding/utf8.h"
#include "export/entry_writer.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

std::string Written(const ExportRow& row, const std::u16string& author,
                    const ExportSetting& setting) {
  std::string out;
  for (const auto& line : EntryLines(row, author, setting)) {
    out += ToUtf8(line);
  }
  return out;
}

ExportRow WorkedRow() {
  ExportRow row;
  row.Title = std::u16string(u"Summer trip");
  row.Private = std::int64_t{0};
  row.Genre = std::u16string(u"一般");
  row.PublishTime = std::u16string(u"2004/07/15 18:05:09");
  row.Day = std::u16string(u"2004/07/14");
  row.Contents = std::u16string(u"Day one\r\nDay two-three");
  return row;
}

TEST(EntryLines, TheWorkedEntryByteForByte) {
  const std::string expected =
      "AUTHOR: Default\r\nTITLE: Summer trip\r\nSTATUS: Publish\r\nALLOW COMMENTS: 1\r\n"
      "CONVERT BREAKS: __default__\r\nALLOW PINGS: 1\r\nPrimary CATEGORY: 一般\r\n"
      "CATEGORY: 一般\r\nDATE: 07/14/2004 06:05:09 PM\r\n-----\r\nBODY:\r\n"
      "Day one<BR>Day two－three\r\n-----\r\nEXTENDED BODY:\r\n\r\n-----\r\n-----\r\n"
      "EXCERPT:\r\n\r\n-----\r\nKEYWORDS:\r\n-----\r\n--------\r\n";
  const std::string written = Written(WorkedRow(), u"Default", DefaultExportSetting());
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written.size(), 320u);
  EXPECT_EQ(testing::HexOf(ToBytes(written.substr(0, 8))), "41 55 54 48 4F 52 3A 20");
  EXPECT_NE(written.find("\x43\x41\x54\x45\x47\x4F\x52\x59\x3A\x20\xE4\xB8\x80\xE8\x88\xAC\r\n"),
            std::string::npos);
  EXPECT_NE(written.find("\xEF\xBC\x8D"), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - 12), "\r\n--------\r\n");
}

struct DateCase {
  const char* time;
  const char* day;
  const char* value;
};

class FormatMTDateTable : public ::testing::TestWithParam<DateCase> {};

TEST_P(FormatMTDateTable, WritesTheTwelveHourClock) {
  EXPECT_EQ(ToUtf8(FormatMTDate(FromUtf8(GetParam().time), FromUtf8(GetParam().day))),
            GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Hours, FormatMTDateTable,
    ::testing::Values(
        // Midnight and noon as blog software reads them (12 AM is midnight, 12 PM noon).
        DateCase{"2004/01/02 00:30:00", "", "01/02/2004 12:30:00 AM"},
        DateCase{"2004/01/02 09:07:08", "", "01/02/2004 09:07:08 AM"},
        DateCase{"2004/01/02 11:59:59", "", "01/02/2004 11:59:59 AM"},
        DateCase{"2004/01/02 12:00:00", "", "01/02/2004 12:00:00 PM"},
        DateCase{"2004/07/15 12:30:00", "", "07/15/2004 12:30:00 PM"},
        DateCase{"2004/01/02 13:00:00", "", "01/02/2004 01:00:00 PM"},
        DateCase{"2004/01/02 23:59:59", "", "01/02/2004 11:59:59 PM"},
        DateCase{"2004/07/15 21:00:00", "", "07/15/2004 09:00:00 PM"},
        // The day from the diary day, the time from the update stamp.
        DateCase{"2004/07/15 18:05:09", "2004/07/14", "07/14/2004 06:05:09 PM"},
        // Only fixed positions are read: the second is always the last two units.
        DateCase{"2004/07/15 08:05", "", "07/15/2004 08:05:05 AM"}),
    (testing::ByField<&DateCase::time, true>()));

TEST(FormatMTDate, AnHourThatIsNoNumberIsAFormatError) {
  for (const char16_t* time : {u"2004/07/15", u"2004/07/15 xx:00:00", u"", u"2004/07/15 1:"}) {
    try {
      FormatMTDate(time, u"");
      FAIL() << ToUtf8(time);
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kFormat);
    }
  }
}

struct SettingCase {
  const char* name;
  ExportSetting setting;
  FieldValue is_private;
  const char* line;  // a line the entry must contain
};

ExportSetting With(void (*change)(ExportSetting&)) {
  ExportSetting s = DefaultExportSetting();
  change(s);
  return s;
}

class SettingsTable : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingsTable, ChangeTheirLines) {
  ExportRow row = WorkedRow();
  row.Contents = std::u16string(u"a-b\r\nc");
  row.Private = GetParam().is_private;
  const std::string written = Written(row, u"", GetParam().setting);
  EXPECT_NE(written.find(GetParam().line), std::string::npos) << written;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsTable,
    ::testing::Values(
        SettingCase{"BothConversions", DefaultExportSetting(), std::int64_t{0},
                    "\r\nBODY:\r\na－b<BR>c\r\n-----\r\n"},
        SettingCase{"BrOffSpansLines", With([](ExportSetting& s) { s.intBR = 0; }), std::int64_t{0},
                    "\r\nBODY:\r\na－b\r\nc\r\n-----\r\n"},
        SettingCase{"BrTwoConvertsLikeOne", With([](ExportSetting& s) { s.intBR = 2; }),
                    std::int64_t{0}, "\r\na－b<BR>c\r\n"},
        SettingCase{"HyphenTwoLeavesHyphens", With([](ExportSetting& s) { s.intHyphen = 2; }),
                    std::int64_t{0}, "\r\na-b<BR>c\r\n"},
        SettingCase{"PublishDayZero", With([](ExportSetting& s) { s.intPublishDay = 0; }),
                    std::int64_t{0}, "DATE: 07/15/2004 06:05:09 PM\r\n"},
        SettingCase{"PublishDayTwo", With([](ExportSetting& s) { s.intPublishDay = 2; }),
                    std::int64_t{0}, "DATE: 07/15/2004 06:05:09 PM\r\n"},
        SettingCase{"Pings", With([](ExportSetting& s) { s.intAllowPing = 0; }), std::int64_t{0},
                    "ALLOW PINGS: 0\r\n"},
        SettingCase{"CommentsNegative", With([](ExportSetting& s) { s.intAllowComment = -3; }),
                    std::int64_t{0}, "ALLOW COMMENTS: -3\r\n"},
        SettingCase{"PrivateIsDraft", DefaultExportSetting(), std::int64_t{1}, "STATUS: Draft\r\n"},
        SettingCase{"NullPrivateIsPublish", DefaultExportSetting(), std::monostate(),
                    "STATUS: Publish\r\n"},
        SettingCase{"NeverSetAuthor", DefaultExportSetting(), std::int64_t{0}, "AUTHOR: \r\n"}),
    testing::ByName());

TEST(EntryLines, NullTitleGenreAndTextsStillGiveTwentyThreeLines) {
  ExportRow row;
  row.PublishTime = std::u16string(u"2004/07/15 18:05:09");
  row.Day = std::u16string(u"");  // empty day: the whole date from PublishTime
  const auto lines = EntryLines(row, u"Default", DefaultExportSetting());
  EXPECT_EQ(ToUtf8(lines[1]), "TITLE: \r\n");
  EXPECT_EQ(ToUtf8(lines[6]), "Primary CATEGORY: \r\n");
  EXPECT_EQ(ToUtf8(lines[7]), "CATEGORY: \r\n");
  EXPECT_EQ(ToUtf8(lines[8]), "DATE: 07/15/2004 06:05:09 PM\r\n");
  EXPECT_EQ(ToUtf8(lines[11]), "\r\n");
  EXPECT_EQ(ToUtf8(lines[14]), "\r\n");
  EXPECT_EQ(ToUtf8(lines[18]), "\r\n");
}

// Regression: a line break in a key-line value once broke the key line and could forge an
// entry end.
TEST(EntryLines, LineBreaksInKeyValuesBecomeSpaces) {
  ExportRow row = WorkedRow();
  row.Title = std::u16string(u"one\r\n--------\rtwo\nthree");
  row.Genre = std::u16string(u"旅\r\n行");
  const auto lines = EntryLines(row, u"花\n子", DefaultExportSetting());
  EXPECT_EQ(ToUtf8(lines[0]), "AUTHOR: 花 子\r\n");
  EXPECT_EQ(ToUtf8(lines[1]), "TITLE: one -------- two three\r\n");
  EXPECT_EQ(ToUtf8(lines[7]), "CATEGORY: 旅 行\r\n");
}

TEST(EntryLines, KeyValuesGetNoOtherConversion) {
  ExportRow row = WorkedRow();
  row.Title = std::u16string(u"a-b <BR>");
  EXPECT_EQ(ToUtf8(EntryLines(row, u"x-y", DefaultExportSetting())[1]), "TITLE: a-b <BR>\r\n");
}

TEST(EntryLines, NullTimeOrNullDayIsAFormatError) {
  ExportRow row = WorkedRow();
  row.PublishTime = std::monostate();
  EXPECT_THROW(EntryLines(row, u"", DefaultExportSetting()), Error);
  row = WorkedRow();
  row.Day = std::monostate();
  EXPECT_THROW(EntryLines(row, u"", DefaultExportSetting()), Error);
  EXPECT_NO_THROW(EntryLines(row, u"", With([](ExportSetting& s) { s.intPublishDay = 0; })));
}

struct SectionLinesCase {
  const char* name;
  std::u16string text;
  std::u16string line_end;
  std::u16string written;
};

class SectionLinesTable : public ::testing::TestWithParam<SectionLinesCase> {};

// Every reader splits an entry at a "-----" or "--------" line; a text line that reads so is
// written with a TAB after it, which readers remove again. Line breaks of any form follow the
// file's line end.
TEST_P(SectionLinesTable, WritesTheTextAsTheFilesLines) {
  EXPECT_EQ(SectionLines(GetParam().text, GetParam().line_end), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SectionLinesTable,
    ::testing::Values(SectionLinesCase{"Empty", u"", u"\r\n", u""},
                      SectionLinesCase{"SectionSeparator", u"-----", u"\r\n", u"-----\t"},
                      SectionLinesCase{"EntrySeparatorBetweenLines", u"a\r\n--------\r\nb", u"\r\n",
                                       u"a\r\n--------\t\r\nb"},
                      SectionLinesCase{"OtherHyphenRunsStay", u"------\r\n----\r\n----- \r\n-----x",
                                       u"\r\n", u"------\r\n----\r\n----- \r\n-----x"},
                      SectionLinesCase{"LfFile", u"a\r\n-----\r\n", u"\n", u"a\n-----\t\n"},
                      // A separator with TABs of its own gets one more, so it reads back whole.
                      SectionLinesCase{"SeparatorWithATab", u"-----\t\r\n--------\t\t", u"\r\n",
                                       u"-----\t\t\r\n--------\t\t\t"},
                      SectionLinesCase{"LoneCrAndLfAreLineBreaks", u"a\rb\nc\r\n\r", u"\r\n",
                                       u"a\r\nb\r\nc\r\n\r\n"},
                      SectionLinesCase{"BrMarkersStayInTheirLine", u"a<BR>-----", u"\n",
                                       u"a<BR>-----"}),
    testing::ByName());

TEST(EntryLines, LfLineEndsLeaveNoCarriageReturnInTheFile) {
  ExportRow row = WorkedRow();
  row.extend = std::u16string(u"x\r\ny\rz");
  ExportSetting setting = DefaultExportSetting();
  setting.intBR = 0;
  std::string written;
  for (const auto& line : EntryLines(row, u"Default", setting, u"\n")) {
    written += ToUtf8(line);
  }
  EXPECT_EQ(written.find('\r'), std::string::npos) << written;
  EXPECT_NE(written.find("\nBODY:\nDay one\nDay two－three\n-----\n"), std::string::npos);
  EXPECT_NE(written.find("\nEXTENDED BODY:\nx\ny\nz\n-----\n"), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - 10), "\n--------\n");
}

// The export writes sections kept as the diary's UTF-8 without UTF-16; the bytes must be exactly
// the encoding of the UTF-16 entry, whatever the conversions and line ends.
TEST(AppendEntryUtf8, GivesTheBytesOfTheUtf16Entry) {
  const std::u16string pieces[] = {u"a",  u"あ", u"🍉",    u"-",  u"-----", u"--------", u"\r\n",
                                   u"\r", u"\n", u"<BR>", u"－", u"é",     u" ",        u"\t"};
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    auto text = [&] {
      std::u16string t;
      for (std::size_t k = random() % 12; k > 0; --k) {
        t += pieces[random() % std::size(pieces)];
      }
      return t;
    };
    ExportRow row = WorkedRow();
    row.Title = text();
    row.Contents = text();
    row.extend = random() % 3 == 0 ? FieldValue(std::monostate()) : FieldValue(text());
    row.excerpt = text();
    ExportSetting setting = DefaultExportSetting();
    setting.intBR = static_cast<std::int16_t>(random() % 2);
    setting.intHyphen = static_cast<std::int16_t>(random() % 2);
    const std::u16string line_end = random() % 2 ? u"\r\n" : u"\n";

    std::u16string text16;
    for (const std::u16string& line : EntryLines(row, u"著者", setting, line_end)) {
      text16 += line;
    }
    Bytes expected;
    EncodeUTF8(text16, expected);

    ExportRow kept = row;
    std::string stored[3];  // the diary's UTF-8, seen in place by the row
    int k = 0;
    for (auto [value, utf8] :
         {std::pair{&kept.Contents, &kept.ContentsUtf8}, std::pair{&kept.extend, &kept.extendUtf8},
          std::pair{&kept.excerpt, &kept.excerptUtf8}}) {
      if (random() % 4 != 0) {
        stored[k] = ToUtf8(TextOrEmpty(*value));
        *utf8 = stored[k];
        *value = std::u16string(u"never read");
      }
      ++k;
    }
    std::string bytes;
    AppendEntryUtf8(kept, u"著者", setting, line_end, bytes);
    ASSERT_EQ(bytes, std::string(expected.begin(), expected.end())) << round;
  }
}

}  // namespace
}  // namespace sarnlink
