#include "ui/win32/win32_window_helpers.h"

#include <commctrl.h>

#include <string>
#include <vector>

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

namespace {

HFONT g_font = nullptr;                 // the dialog font, once made
std::vector<std::u16string> g_classes;  // the window classes registered so far

}  // namespace

HFONT DialogFont() {
  if (!g_font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    g_font = CreateFontIndirectW(&metrics.lfMessageFont);
  }
  return g_font;
}

void ReleaseWindowResources() {
  for (const std::u16string& name : g_classes) {
    UnregisterClassW(reinterpret_cast<const WCHAR*>(name.c_str()), ThisModule());
  }
  g_classes.clear();
  if (g_font) {
    DeleteObject(g_font);
    g_font = nullptr;
  }
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

bool RegisterFormClass(const char16_t* name, WNDPROC procedure) {
  for (const std::u16string& registered : g_classes) {
    if (registered == name) {
      return true;
    }
  }
  InitCommonControlsOnce();
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ThisModule();
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = reinterpret_cast<const WCHAR*>(name);
  if (RegisterClassExW(&window_class) == 0) {
    return false;
  }
  g_classes.emplace_back(name);
  return true;
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

namespace sarnlink {

HWND HostWindow() {
  return GetActiveWindow();
}

DisabledOwner::DisabledOwner(HWND owner)
    : owner_(owner && IsWindowEnabled(owner) ? owner : nullptr) {
  if (owner_) {
    EnableWindow(owner_, FALSE);
  }
}

void DisabledOwner::Restore() {
  if (owner_) {
    EnableWindow(owner_, TRUE);
    SetActiveWindow(owner_);
    owner_ = nullptr;
  }
}

LRESULT DefaultButtonAnswer(HWND window) {
  HWND focus = GetFocus();
  WCHAR kind[32] = {};
  GetClassNameW(focus, kind, 32);
  const LONG_PTR type = GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
  const bool push_button = focus && IsChild(window, focus) &&
                           lstrcmpiW(kind, reinterpret_cast<const WCHAR*>(u"Button")) == 0 &&
                           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
  const int id = push_button ? GetDlgCtrlID(focus) : IDOK;
  return MAKELRESULT(id, DC_HASDEFID);
}

bool RunModalLoop(HWND window, const bool& done) {
  MSG message;
  while (!done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (got < 0) {
      return false;
    }
    // The system's dialog keys: Tab and Shift+Tab through the visible, enabled tab stops (the
    // pages' too, as control parents), Enter for the focused button or else OK, Esc for Cancel;
    // an open drop-down list keeps Enter and Esc for itself.
    if (IsDialogMessageW(window, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

}  // namespace sarnlink
