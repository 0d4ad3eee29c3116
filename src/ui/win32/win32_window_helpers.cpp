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

HFONT g_font = nullptr;                     // the dialog font, once made
std::vector<std::u16string> g_classes;      // the window classes registered so far

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
namespace {

void MoveFocus(const std::vector<HWND>& order, bool backwards) {
  if (order.empty()) {
    return;
  }
  HWND focus = GetFocus();
  std::size_t at = order.size() - 1;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (order[k] == focus || IsChild(order[k], focus)) {
      at = k;
    }
  }
  for (std::size_t step = 1; step <= order.size(); ++step) {
    const std::size_t next =
        backwards ? (at + order.size() - step) % order.size() : (at + step) % order.size();
    HWND candidate = order[next];
    if (IsWindowEnabled(candidate) && IsWindowVisible(candidate) &&
        IsWindowEnabled(GetParent(candidate))) {
      SetFocus(candidate);
      return;
    }
  }
}

// The push button with the focus, if the focus is on one.
HWND FocusedPushButton() {
  HWND focus = GetFocus();
  WCHAR kind[32] = {};
  GetClassNameW(focus, kind, 32);
  if (lstrcmpiW(kind, reinterpret_cast<const WCHAR*>(u"Button")) != 0) {
    return nullptr;
  }
  const LONG_PTR type = GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? focus : nullptr;
}

}  // namespace

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

bool RunModalLoop(HWND window, const bool& done, const std::vector<HWND>& focus_order) {
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
    const bool ours = message.hwnd == window || IsChild(window, message.hwnd);
    if (ours && message.message == WM_KEYDOWN) {
      if (message.wParam == VK_TAB) {
        MoveFocus(focus_order, GetKeyState(VK_SHIFT) < 0);
        continue;
      }
      // An open drop-down list takes Enter and Esc itself.
      WCHAR kind[32] = {};
      GetClassNameW(GetFocus(), kind, 32);
      const bool list_open = lstrcmpiW(kind, reinterpret_cast<const WCHAR*>(u"ComboBox")) == 0 &&
                             SendMessageW(GetFocus(), CB_GETDROPPEDSTATE, 0, 0);
      if (!list_open && message.wParam == VK_RETURN) {
        HWND button = FocusedPushButton();
        const int id = button ? GetDlgCtrlID(button) : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        continue;
      }
      if (!list_open && message.wParam == VK_ESCAPE) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        continue;
      }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

}  // namespace sarnlink
