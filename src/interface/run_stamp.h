// The run stamp the import writes into ImportMark: the run's moment as the platform writes it
// (or in the diary's form, for a stamp that names one run alone, with " #2", " #3", ... for
// runs of one second), then " byPontivo.dll".
#pragma once

#include <string_view>

#include "common/time_text.h"

namespace sarnlink {

// The moment a run stamp names, read leniently; nothing for a stamp that names none (another
// program's mark, or a locale's form without a four-digit year).
TimeReading ReadRunStamp(std::u16string_view stamp);

}  // namespace sarnlink
