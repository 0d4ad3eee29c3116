#include "common/clock.h"

namespace sarnlink {

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::u16string DiaryTimeText(const LocalTime& moment) {
  auto digits = [](int n, int width) {
    std::u16string text(static_cast<std::size_t>(width), u'0');
    for (int k = width - 1; k >= 0 && n > 0; --k, n /= 10) {
      text[static_cast<std::size_t>(k)] = static_cast<char16_t>(u'0' + n % 10);
    }
    return text;
  };
  return digits(moment.year, 4) + u"/" + digits(moment.month, 2) + u"/" + digits(moment.day, 2) +
         u" " + digits(moment.hour, 2) + u":" + digits(moment.minute, 2) + u":" +
         digits(moment.second, 2);
}

}  // namespace sarnlink
