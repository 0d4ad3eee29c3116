#include "ui/win32/win32_window_helpers.h"

#include <commctrl.h>

namespace sarnlink {

int Pixels(int twips) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) {
    ReleaseDC(nullptr, screen);
  }
  return MulDiv(twips, dpi, 1440);
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&Pixels), &module);
  return module;
}

HFONT DialogFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }();
  return font;
}

HWND MakeControl(HWND parent, const WCHAR* window_class, DWORD style, int left, int top, int width,
                 int height, const char16_t* text, int id, DWORD ex_style) {
  HWND control = CreateWindowExW(
      ex_style, window_class, reinterpret_cast<const WCHAR*>(text), WS_CHILD | WS_VISIBLE | style,
      Pixels(left), Pixels(top), Pixels(width), Pixels(height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  return control;
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                          ICC_DATE_CLASSES | ICC_STANDARD_CLASSES |
                                                          ICC_BAR_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace sarnlink
