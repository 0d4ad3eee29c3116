#include "common/win32/win32_clock.h"

#include <windows.h>

#include "common/win32/wide_text.h"

namespace sarnlink {

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::u16string Win32Clock::LocalText(const LocalTime& moment) {
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(moment.year);
  time.wMonth = static_cast<WORD>(moment.month);
  time.wDay = static_cast<WORD>(moment.day);
  time.wHour = static_cast<WORD>(moment.hour);
  time.wMinute = static_cast<WORD>(moment.minute);
  time.wSecond = static_cast<WORD>(moment.second);
  WCHAR date_text[128] = {};
  WCHAR time_text[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date_text, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, time_text, 128);
  return FromWide(date_text) + u" " + FromWide(time_text);
}

}  // namespace sarnlink
