// DiaryEntry: one entry as the parser fills it from the file, named after the columns of
// Contents it is stored into.
#pragma once

#include <cstdint>
#include <string>

namespace sarnlink {

struct DiaryEntry {
  std::u16string Day;          // first 10 units of the converted DATE
  std::int16_t Number = 0;     // assigned by the storage, never by the parser
  std::u16string Genre;        // the latest non-empty PRIMARY CATEGORY or CATEGORY
  std::u16string Title;        // TITLE
  std::u16string Contents;     // BODY, each line followed by CR LF
  std::u16string extend;       // EXTENDED BODY
  std::u16string excerpt;      // EXCERPT
  std::u16string TrackBack;    // nothing fills it
  std::u16string PublishTime;  // the whole converted DATE
  bool Private = false;        // STATUS other than exactly "Publish"
  bool undated = false;        // the file gave no DATE: filed under the import's moment
};

// Receives every entry the parser completes, with the author current at its end. The parser
// starts afresh after it, so the sink may take the entry's texts (a long entry is not copied).
class EntrySink {
 public:
  virtual ~EntrySink() = default;
  virtual void StoreEntry(DiaryEntry&& entry, const std::u16string& author) = 0;
};

}  // namespace sarnlink
