#include "common/posix/posix_clock.h"

#include <ctime>

#include "encoding/utf8.h"

namespace sarnlink {

std::u16string PosixClock::NowAsLocalText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return FromUtf8(std::string_view(text, length));
}

}  // namespace sarnlink
