#include "interface/run_stamp.h"

#include "common/text.h"
#include "interface/diary_statements.h"

namespace sarnlink {

// The moment a run stamp names: the import's moment, before " byPontivo.dll" and a " #k" that
// tells runs of one second apart.
TimeReading ReadRunStamp(std::u16string_view text) {
  std::u16string_view stamp = TrimSpaces(text);
  if (stamp.ends_with(kRunStampEnd)) {
    stamp.remove_suffix(std::u16string_view(kRunStampEnd).size());
  }
  if (const std::size_t hash = stamp.rfind(u" #"); hash != std::u16string_view::npos) {
    stamp = stamp.substr(0, hash);
  }
  return ReadTimeText(stamp);
}

}  // namespace sarnlink
