#include "import/exported_forms.h"

#include <algorithm>

#include "export/entry_date.h"
#include "export/entry_writer.h"
#include "import/entry_parser.h"
#include "import/line_stream.h"
#include "interface/diary_statements.h"

namespace sarnlink {
namespace {

// Keeps the one entry the parser completes.
class KeptEntry : public EntrySink {
 public:
  void StoreEntry(DiaryEntry&& completed, const std::u16string&) override {
    entry = std::move(completed);
    stored = true;
  }
  DiaryEntry entry;
  bool stored = false;
};

bool HasAny(const FieldValue& value, std::u16string_view units) {
  const auto* text = std::get_if<std::u16string>(&value);
  return text && text->find_first_of(units) != std::u16string::npos;
}

bool HasEdgeSpace(const FieldValue& value) {
  const auto* text = std::get_if<std::u16string>(&value);
  return text && !text->empty() && (text->front() == u' ' || text->back() == u' ');
}

// The import's reading of the entry the export writes for `row` under `setting` at
// `export_moment`, or nothing when the row has no moment of its own and none is given.
std::optional<ComparedColumns> ThroughTheFile(const DiaryRowColumns& row,
                                              const ExportSetting& setting,
                                              const std::optional<LocalTime>& export_moment) {
  ExportRow exported;
  exported.Title = row.Title;
  exported.Genre = row.Genre;
  exported.PublishTime = row.PublishTime;
  exported.Day = row.Day;
  exported.Contents = row.Contents;
  exported.extend = row.extend;
  exported.excerpt = row.excerpt;
  const bool day_from_diary = setting.intPublishDay == 1;
  if (!RowTimeIsWhole(row.PublishTime, row.Day, day_from_diary)) {
    const SuppliedMoment supplied =
        SupplyMoment(row.PublishTime, row.Day, row.ImportMark, day_from_diary,
                     export_moment.value_or(LocalTime{}));
    if (supplied.at_export_moment && !export_moment) {
      return std::nullopt;
    }
    exported.Date = supplied.date;
  }
  std::u16string text;
  for (const std::u16string& line : EntryLines(exported, u"", setting)) {
    text += line;
  }
  LineCount count;
  count.Feed(text);
  KeptEntry kept;
  EntryParser parser(kept);
  LineCutter cutter(count);
  std::size_t index = 0;
  auto handle = [&](std::u16string_view line) { parser.HandleLine(line, index++); };
  cutter.Feed(text, handle);
  cutter.Finish(handle);
  parser.Finish();
  if (!kept.stored) {
    return std::nullopt;
  }
  DiaryEntry& entry = kept.entry;
  return ComparedColumns{entry.Day,
                         entry.PublishTime,
                         entry.Title,
                         entry.Genre.empty() ? std::u16string(kGeneralGenre) : entry.Genre,
                         std::move(entry.Contents),
                         std::move(entry.extend),
                         std::move(entry.excerpt)};
}

// Mixes the units of `text` into `hash`, leaving out `dropped` and every "<BR>".
std::uint64_t MixKept(std::uint64_t hash, std::u16string_view text, std::u16string_view dropped) {
  constexpr std::u16string_view kBreak = u"<BR>";
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text.compare(k, kBreak.size(), kBreak) == 0) {
      k += kBreak.size() - 1;
      continue;
    }
    if (dropped.find(text[k]) == std::u16string_view::npos) {
      hash = (hash ^ text[k]) * 0x100000001b3u;
    }
  }
  return (hash ^ 0xFFFFu) * 0x100000001b3u;  // ends the column, so that none runs into the next
}

}  // namespace

std::uint64_t LooseKeyOf(const ComparedColumns& columns) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  hash = MixKept(hash, columns[2], u" \r\n");
  std::u16string genre;
  for (char16_t c : columns[3]) {
    if (c != u' ' && c != u'\r' && c != u'\n') {
      genre.push_back(c);
    }
  }
  hash = MixKept(hash, genre.empty() ? std::u16string_view(kGeneralGenre) : genre, u"");
  for (std::size_t k = 4; k < columns.size(); ++k) {
    hash = MixKept(hash, columns[k], u"\r\n-－");
  }
  return hash;
}

ComparedColumns RawColumns(const DiaryRowColumns& row) {
  return {TextOrEmpty(row.Day),    TextOrEmpty(row.PublishTime), TextOrEmpty(row.Title),
          TextOrEmpty(row.Genre),  TextOrEmpty(row.Contents),    TextOrEmpty(row.extend),
          TextOrEmpty(row.excerpt)};
}

bool ExportChangesRow(const DiaryRowColumns& row) {
  const auto* time = std::get_if<std::u16string>(&row.PublishTime);
  const auto* day = std::get_if<std::u16string>(&row.Day);
  const bool time_in_form = time && IsDiaryTime(*time);
  const bool day_is_times = day && time_in_form && time->compare(0, 10, *day) == 0;
  return !day_is_times || HasAny(row.Contents, u"\r\n-") || HasAny(row.extend, u"\r\n-") ||
         HasAny(row.excerpt, u"\r\n-") || HasAny(row.Title, u"\r\n") ||
         HasAny(row.Genre, u"\r\n") || HasEdgeSpace(row.Title) || HasEdgeSpace(row.Genre) ||
         TextOrEmpty(row.Genre).empty();
}

std::vector<ComparedColumns> ExportedForms(const DiaryRowColumns& row,
                                           const std::optional<LocalTime>& export_moment) {
  const ComparedColumns raw = RawColumns(row);
  std::vector<ComparedColumns> forms;
  ExportSetting setting = DefaultExportSetting();
  for (const bool day_from_diary : {true, false}) {
    for (const bool breaks : {true, false}) {
      for (const bool hyphens : {true, false}) {
        setting.intPublishDay = day_from_diary ? 1 : 0;
        setting.intBR = breaks ? 1 : 0;
        setting.intHyphen = hyphens ? 1 : 0;
        std::optional<ComparedColumns> form = ThroughTheFile(row, setting, export_moment);
        if (form && *form != raw && std::find(forms.begin(), forms.end(), *form) == forms.end()) {
          forms.push_back(std::move(*form));
        }
      }
    }
  }
  return forms;
}

}  // namespace sarnlink
