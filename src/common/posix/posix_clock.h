// The clock port on POSIX: local time, written as the user's locale writes a date and a time.
#pragma once

#include "common/clock.h"

namespace sarnlink {

class PosixClock : public Clock {
 public:
  LocalTime Now() override;
  // The locale's date, a space and its time ("%x %X" under LC_TIME).
  std::u16string LocalText(const LocalTime& moment) override;
};

}  // namespace sarnlink
