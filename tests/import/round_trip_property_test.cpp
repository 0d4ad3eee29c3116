// Random diaries exported with every combination of the text conversions and line ends, then
// imported into a new diary, must give back every column the format carries: unchanged where
// no conversion applies, and converted exactly as the options say where one does.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/text.h"
#include "encoding/utf8.h"
#include "interface/sqlite/sqlite_diary.h"
#include "support/fake_ports.h"

namespace sarnlink {
namespace {

// Pieces random texts are made of: separator-like runs, every kind of line break, emoji,
// half-width kana, apostrophes, colons, markers the conversions write.
const char16_t* const kPieces[] = {
    u"a",        u"Z",      u"7",    u" ",  u"'",  u"''",    u":",       u"-",
    u"あ",       u"漢",     u"ｶﾀｶﾅ", u"🍉",  u"😀",  u"<BR>",  u"－",      u"-----",
    u"--------", u"------", u"\r\n", u"\r", u"\n", u"BODY:", u"DATE: x", u"ﾟ",
};

std::u16string RandomText(std::mt19937& random, std::size_t max_pieces) {
  std::u16string text;
  const std::size_t n = random() % (max_pieces + 1);
  for (std::size_t k = 0; k < n; ++k) {
    text += kPieces[random() % std::size(kPieces)];
  }
  return text;
}

// A column that is Null now and then, empty now and then, else random text.
FieldValue RandomColumn(std::mt19937& random, std::size_t max_pieces) {
  switch (random() % 6) {
    case 0:
      return std::monostate();
    case 1:
      return std::u16string();
    default:
      return RandomText(random, max_pieces);
  }
}

std::u16string RandomTime(std::mt19937& random) {
  auto two = [](std::uint64_t n) {
    return (n < 10 ? u"0" : u"") + DecimalText(static_cast<std::int64_t>(n));
  };
  return DecimalText(static_cast<std::int64_t>(1990 + random() % 40)) + u"/" +
         two(1 + random() % 12) + u"/" + two(1 + random() % 28) + u" " + two(random() % 24) + u":" +
         two(random() % 60) + u":" + two(random() % 60);
}

// Every line break of a text (CR LF, lone CR, lone LF) as CR LF: the one break the format has.
std::u16string CrLfBreaks(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      out += u"\r\n";
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
        ++i;
      }
    } else {
      out += text[i];
    }
  }
  return out;
}

struct Options {
  int br;
  int hyphen;
  const char16_t* line_end;
};

// What a section's column reads back as.
std::u16string ExpectedSection(const FieldValue& value, const Options& o) {
  std::u16string text = TextOrEmpty(value);
  if (o.br) {
    text = ReplaceAll(text, u"\r\n", u"<BR>");
  }
  if (o.hyphen == 1) {
    text = ReplaceAll(text, u"-", u"－");
  }
  return CrLfBreaks(text);
}

// What a key line's value reads back as: breaks become spaces, the ends lose their spaces.
std::u16string ExpectedKeyValue(const FieldValue& value) {
  std::u16string text = TextOrEmpty(value);
  for (char16_t& c : text) {
    if (c == u'\n') {
      c = u' ';
    }
  }
  text = ReplaceAll(text, u"\r ", u" ");
  for (char16_t& c : text) {
    if (c == u'\r') {
      c = u' ';
    }
  }
  return std::u16string(TrimSpaces(text));
}

class RoundTripProperty : public testing::ConverterFixture,
                          public ::testing::WithParamInterface<Options> {};

TEST_P(RoundTripProperty, GivesBackEveryColumnTheFormatCarries) {
  const Options& o = GetParam();
  std::mt19937 random(static_cast<unsigned>(o.br * 4 + o.hyphen * 2 + (o.line_end[1] ? 1 : 0)));
  std::vector<std::string> expected;
  {
    auto connection = diary.Connect(U(db_path));
    auto table = connection->OpenTable(u"Contents", CursorKind::kKeyset, LockKind::kOptimistic);
    for (int k = 0; k < 80; ++k) {
      const std::u16string time = RandomTime(random);
      const FieldValue title = RandomColumn(random, 6);
      // The selection never takes a Null genre or privacy (a Jet diary has neither), so those
      // two are never Null here.
      const FieldValue genre = random() % 4 == 0 ? std::u16string() : RandomText(random, 3);
      const FieldValue body = RandomColumn(random, 30);
      const FieldValue extend = RandomColumn(random, 12);
      const FieldValue excerpt = RandomColumn(random, 8);
      const FieldValue is_private = random() % 2 == 0;
      table->AddNew();
      table->Assign(u"Day", time.substr(0, 10));
      table->Assign(u"Number", std::int64_t{k + 1});
      table->Assign(u"Title", title);
      table->Assign(u"Genre", genre);
      table->Assign(u"Contents", body);
      table->Assign(u"extend", extend);
      table->Assign(u"excerpt", excerpt);
      table->Assign(u"PublishTime", time);
      table->Assign(u"Private", is_private);
      table->Update();
      std::u16string kept_genre = ExpectedKeyValue(genre);
      expected.push_back(ToUtf8(time.substr(0, 10) + u"|" + ExpectedKeyValue(title) + u"|" +
                                (kept_genre.empty() ? u"一般" : kept_genre) + u"|" +
                                ExpectedSection(body, o) + u"|" + ExpectedSection(extend, o) +
                                u"|" + ExpectedSection(excerpt, o) + u"|" + time + u"|" +
                                (IsTrue(is_private) ? u"1" : u"0")));
    }
    table->Close();
  }

  const std::string file = dir.File("round.txt");
  converter.Initialize(U(db_path));
  ExportSetting setting = DefaultExportSetting();
  setting.intBR = static_cast<std::int16_t>(o.br);
  setting.intHyphen = static_cast<std::int16_t>(o.hyphen);
  converter.setExportSetting(setting);
  converter.SetAuthor(u"hanako");
  converter.SetLineEnd(o.line_end);
  ASSERT_TRUE(converter.SetPath(U(file)));
  converter.Execute();
  if (std::u16string(o.line_end) == u"\n") {
    EXPECT_EQ(testing::ReadText(file).find('\r'), std::string::npos);
  }

  const std::string second = dir.File("second.db");
  CreateEmptyDiary(second);
  converter.Initialize(U(second));
  converter.SetImport();
  converter.SetAuthor(u"hanako");
  ASSERT_TRUE(converter.SetPath(U(file)));
  converter.Execute();
  EXPECT_EQ(converter.import_report().entries, 80);

  std::vector<std::string> got;
  auto connection = diary.Connect(U(second));
  auto rows =
      connection->OpenStatement(EveryRowQuery{}, CursorKind::kForwardOnly, LockKind::kReadOnly);
  while (!rows->IsEOF()) {
    auto text = [&](const char16_t* name) { return TextOrEmpty(rows->Field(name)); };
    got.push_back(ToUtf8(text(u"Day") + u"|" + text(u"Title") + u"|" + text(u"Genre") + u"|" +
                         text(u"Contents") + u"|" + text(u"extend") + u"|" + text(u"excerpt") +
                         u"|" + text(u"PublishTime") + u"|" +
                         (IsTrue(rows->Field(u"Private")) ? u"1" : u"0")));
    rows->MoveNext();
  }
  rows->Close();
  std::sort(expected.begin(), expected.end());
  std::sort(got.begin(), got.end());
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k], expected[k]);
  }
}

std::string OptionsName(const ::testing::TestParamInfo<Options>& info) {
  return std::string("Br") + (info.param.br ? "On" : "Off") + "Hyphen" +
         (info.param.hyphen ? "On" : "Off") + (info.param.line_end[1] ? "CrLf" : "Lf");
}

INSTANTIATE_TEST_SUITE_P(Combinations, RoundTripProperty,
                         ::testing::Values(Options{0, 0, u"\r\n"}, Options{0, 1, u"\r\n"},
                                           Options{1, 0, u"\r\n"}, Options{1, 1, u"\r\n"},
                                           Options{0, 0, u"\n"}, Options{0, 1, u"\n"},
                                           Options{1, 0, u"\n"}, Options{1, 1, u"\n"}),
                         OptionsName);

}  // namespace
}  // namespace sarnlink
