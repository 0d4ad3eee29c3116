#include "common/posix/posix_clock.h"

#include <clocale>
#include <ctime>

#include "encoding/utf8.h"

namespace sarnlink {

LocalTime PosixClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::u16string PosixClock::LocalText(const LocalTime& moment) {
  std::tm local{};
  local.tm_year = moment.year - 1900;
  local.tm_mon = moment.month - 1;
  local.tm_mday = moment.day;
  local.tm_hour = moment.hour;
  local.tm_min = moment.minute;
  local.tm_sec = moment.second;
  local.tm_isdst = -1;
  // The user's locale's date and time, as the host's platform writes them; read only when a
  // stamp is made, so that the other commands start without opening the locale's files.
  static const bool kLocaleRead = std::setlocale(LC_TIME, "") != nullptr;
  static_cast<void>(kLocaleRead);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return FromUtf8(std::string_view(text, length));
}

}  // namespace sarnlink
