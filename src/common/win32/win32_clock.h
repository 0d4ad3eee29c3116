// The clock port on Windows: the local time in the user's default short date and time forms.
#pragma once

#include "common/clock.h"

namespace sarnlink {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  std::u16string LocalText(const LocalTime& moment) override;
};

}  // namespace sarnlink
