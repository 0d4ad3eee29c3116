// Shared by the test programs that run under Wine: UTF-8 arguments as UTF-16 text, and the
// bytes of a file by its Windows path.
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

inline std::string FileBytes(const std::u16string& path) {
  HANDLE file = CreateFileW(reinterpret_cast<const WCHAR*>(path.c_str()), GENERIC_READ,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) {
    return bytes;
  }
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

inline void WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(reinterpret_cast<const WCHAR*>(path.c_str()), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}
