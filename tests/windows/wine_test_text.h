// Shared by the test programs that run under Wine: UTF-8 arguments as UTF-16 text.
#pragma once

#include <windows.h>

#include <string>

inline std::u16string Utf16(const char* utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, reinterpret_cast<WCHAR*>(out.data()), n);
  out.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
  return out;
}
