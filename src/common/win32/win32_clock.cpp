#include "common/win32/win32_clock.h"

#include <windows.h>

#include "common/win32/wide_text.h"

namespace sarnlink {

std::u16string Win32Clock::NowAsLocalText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  WCHAR date[128] = {};
  WCHAR time[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  return FromWide(date) + u" " + FromWide(time);
}

}  // namespace sarnlink
