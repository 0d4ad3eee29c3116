// Text at the Win32 and COM boundary: the core's UTF-16 strings and the system's wide strings
// and BSTRs hold the same 16-bit units, so conversion is a copy.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include <string>

namespace sarnlink {

inline const WCHAR* Wide(const std::u16string& text) {
  return reinterpret_cast<const WCHAR*>(text.c_str());
}

inline const WCHAR* Wide(const char16_t* text) {
  return reinterpret_cast<const WCHAR*>(text);
}

inline std::u16string FromWide(const WCHAR* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

inline std::u16string FromBstr(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text))
              : std::u16string();
}

// A new BSTR the caller frees; throws std::bad_alloc when there is no memory.
BSTR NewBstr(const std::u16string& text);

// The system's message for a Win32 error or HRESULT, without its line end.
std::u16string SystemMessage(DWORD code);

}  // namespace sarnlink
