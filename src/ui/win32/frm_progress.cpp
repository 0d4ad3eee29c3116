#include "ui/win32/frm_progress.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/win32/wide_text.h"
#include "ui/win32/win32_window_helpers.h"

namespace sarnlink {
namespace {

constexpr char16_t kWindowClass[] = u"SarnlinkFrmProgress";
constexpr int kOkId = 1;

void RegisterWindowClass() {
  // The window procedure is replaced per window in CreateControls.
  RegisterFormClass(kWindowClass, DefWindowProcW);
}

}  // namespace

void frmProgress::Form_Load() {
  EnableBatsuBtn = false;
}

void frmProgress::Show() {
  if (window_ && IsWindow(window_)) {
    return;  // a window still open from an earlier run is reused as it is
  }
  window_ = nullptr;  // gone with the thread that made it, whose identifier this one reuses
  Form_Load();
  maximum_ = 100;
  value_ = 0;
  caption_ = u"ProgressWindow";
  CreateControls();
}

void frmProgress::CreateControls() {
  RegisterWindowClass();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;  // not in the taskbar
  RECT outer = {0, 0, Pixels(4665), Pixels(2040)};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExW(ex_style, Wide(kWindowClass), Wide(caption_), style, left, top, width,
                            height, nullptr, nullptr, ThisModule(), nullptr);
  if (!window_) {
    return;  // no desktop: the texts and bar are still kept for the run
  }
  if (hold_module_) {
    hold_module_(true);
  }
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmProgress::WindowProc));
  txtTitle_ = MakeControl(window_, Wide(u"EDIT"), ES_READONLY | ES_AUTOHSCROLL, 120, 120, 4455, 255,
                          u"", 0);
  txtText_ = MakeControl(window_, Wide(u"EDIT"), ES_READONLY | ES_MULTILINE | WS_VSCROLL, 120, 480,
                         4455, 615, u"", 0);
  ProgressBar1_ = MakeControl(window_, PROGRESS_CLASSW, 0, 120, 1200, 4455, 255, u"", 0);
  Btn_OK_ = MakeControl(window_, Wide(u"BUTTON"), BS_PUSHBUTTON | WS_TABSTOP, 1440, 1560, 1815, 375,
                        u"OK", kOkId);
  SendMessageW(ProgressBar1_, PBM_SETRANGE32, 0, 100);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

LRESULT CALLBACK frmProgress::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* form = reinterpret_cast<frmProgress*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // No exception may cross the system's frames back into the host: one is kept for Refresh.
  try {
    return form ? form->Message(window, message, w, l) : DefWindowProcW(window, message, w, l);
  } catch (...) {
    form->failure_ = std::current_exception();
    return 0;
  }
}

LRESULT frmProgress::Message(HWND window, UINT message, WPARAM w, LPARAM l) {
  frmProgress* form = this;
  switch (message) {
    case WM_CTLCOLORSTATIC:
      // Read-only edits: button-face background.
#ifdef SARNLINK_FORM_FAULTS
      // The test build's switch: a failure inside the window, as a bad index or an allocation
      // failure would be.
      if (GetEnvironmentVariableW(Wide(u"SARNLINK_FAULT_IN_PROGRESS"), nullptr, 0) > 0) {
        throw std::out_of_range("a fault forced inside the progress window");
      }
#endif
      SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (LOWORD(w) == kOkId && HIWORD(w) == BN_CLICKED) {
        form->Btn_OK_Click();
        return 0;
      }
      break;
    case WM_CLOSE:  // Form_QueryUnload: refused whatever asked for it, until OK was pressed
      if (!form->EnableBatsuBtn) {
        return 0;
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      form->window_ = nullptr;
      return 0;
    case WM_NCDESTROY:
      if (form->hold_module_) {
        form->hold_module_(false);  // the window's procedure is no longer needed
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

void frmProgress::Btn_OK_Click() {
  EnableBatsuBtn = true;
  SendMessageW(window_, WM_CLOSE, 0, 0);
}

void frmProgress::SetCaption(const std::u16string& caption) {
  caption_ = caption;
  if (window_) {
    SetWindowTextW(window_, Wide(caption));
  }
}

void frmProgress::SetTitleText(const std::u16string& text) {
  if (window_) {
    SetWindowTextW(txtTitle_, Wide(text));
  }
}

void frmProgress::SetMessageText(const std::u16string& text) {
  if (window_) {
    SetWindowTextW(txtText_, Wide(text));
  }
}

void frmProgress::EnableOK(bool enabled) {
  if (window_) {
    EnableWindow(Btn_OK_, enabled ? TRUE : FALSE);
  }
}

void frmProgress::SetMaximum(double maximum) {
  maximum_ = maximum;
  if (window_) {
    SendMessageW(ProgressBar1_, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::max(maximum, 0.0)));
  }
}

void frmProgress::SetValue(double value) {
  value_ = value;
  if (window_) {
    SendMessageW(ProgressBar1_, PBM_SETPOS, static_cast<WPARAM>(std::max(value, 0.0)), 0);
  }
}

void frmProgress::Refresh() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The host is quitting: its own loop must still get the message once the run is over.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (window_) {
    UpdateWindow(window_);
  }
  if (failure_) {
    std::rethrow_exception(std::exchange(failure_, nullptr));
  }
}

}  // namespace sarnlink
