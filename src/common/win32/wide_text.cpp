#include "common/win32/wide_text.h"

#include <new>

namespace sarnlink {

BSTR NewBstr(const std::u16string& text) {
  BSTR b = SysAllocStringLen(Wide(text), static_cast<UINT>(text.size()));
  if (!b) {
    throw std::bad_alloc();
  }
  return b;
}

std::u16string SystemMessage(DWORD code) {
  WCHAR* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<WCHAR*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length > 0 && buffer) {
    text.assign(reinterpret_cast<const char16_t*>(buffer), length);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
      text.pop_back();
    }
  }
  LocalFree(buffer);
  char hex[16];
  wsprintfA(hex, "0x%08lX", static_cast<unsigned long>(code));
  const std::u16string code_text(hex, hex + lstrlenA(hex));
  return text.empty() ? u"error " + code_text : text + u" (" + code_text + u")";
}

}  // namespace sarnlink
