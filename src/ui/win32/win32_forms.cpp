#include "ui/win32/win32_forms.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <exception>

#include "common/errors.h"
#include "common/win32/wide_text.h"
#include "ui/win32/win32_window_helpers.h"

namespace sarnlink {
namespace {

// One showing of the input box.
struct InputBox {
  HWND window = nullptr;
  std::u16string answer;  // the text at OK; empty at Cancel
  bool done = false;
  std::exception_ptr failure;  // what went wrong inside the window procedure, thrown after
};

LRESULT InputBoxMessage(InputBox* box, HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == DM_GETDEFID) {
    return DefaultButtonAnswer(window);
  }
  if (box) {
    if (message == WM_COMMAND && LOWORD(w) == IDOK) {
      HWND text = GetDlgItem(window, kInputBoxText);
      std::u16string typed(static_cast<std::size_t>(GetWindowTextLengthW(text)) + 1, u'\0');
      GetWindowTextW(text, reinterpret_cast<WCHAR*>(typed.data()), static_cast<int>(typed.size()));
      typed.resize(typed.size() - 1);
      box->answer = typed;
      box->done = true;
      return 0;
    }
    if ((message == WM_COMMAND && LOWORD(w) == IDCANCEL) || message == WM_CLOSE) {
      box->answer.clear();
      box->done = true;
      return 0;
    }
  }
  return DefWindowProcW(window, message, w, l);
}

// No exception may cross the system's frames back into the host: one is kept, the box closes
// as cancelled, and AskAuthorName throws it on.
LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* box = reinterpret_cast<InputBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  try {
    return InputBoxMessage(box, window, message, w, l);
  } catch (...) {
    if (box) {
      box->failure = std::current_exception();
      box->answer.clear();
      box->done = true;
    }
    return 0;
  }
}

}  // namespace

AuthorQuestionAnswer Win32AuthorPrompt::AskOneAuthorOnly() {
  const int answer = MessageBoxW(HostWindow(), Wide(Shown(kAuthorQuestion)), Wide(kComponentTitle),
                                 MB_YESNOCANCEL | MB_DEFBUTTON1);
  switch (answer) {
    case IDYES:
      return AuthorQuestionAnswer::kYes;
    case IDNO:
      return AuthorQuestionAnswer::kNo;
    case IDCANCEL:
      return AuthorQuestionAnswer::kCancel;
    default:
      throw Error(ErrorKind::kUsage, "the author question cannot be shown: there is no desktop");
  }
}

std::optional<std::u16string> Win32AuthorPrompt::AskAuthorName() {
  RegisterFormClass(kInputBoxClass, InputBoxProc);
  InputBox box;
  DisabledOwner owner(HostWindow());
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  RECT outer = {0, 0, Pixels(6180), Pixels(2175)};
  AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME);
  box.window = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, Wide(kInputBoxClass),
                               Wide(Shown(kAuthorInputTitle)), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               outer.right - outer.left, outer.bottom - outer.top, owner.window(),
                               nullptr, ThisModule(), nullptr);
  if (!box.window) {
    throw Error(ErrorKind::kUsage, "the author input box cannot be shown: there is no desktop");
  }
  SetWindowLongPtrW(box.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
  MakeControl(box.window, WC_STATICW, SS_LEFT, 120, 120, 4575, 1095, AuthorInputPrompt().c_str(),
              0);
  MakeControl(box.window, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 4815, 120, 1215, 375, u"OK",
              IDOK);
  MakeControl(box.window, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 4815, 600, 1215, 375, u"Cancel",
              IDCANCEL);
  HWND text = MakeControl(box.window, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, 120, 1680, 5910, 300,
                          u"", kInputBoxText, WS_EX_CLIENTEDGE);
  ShowWindow(box.window, SW_SHOW);
  SetForegroundWindow(box.window);
  SetFocus(text);
  if (!RunModalLoop(box.window, box.done)) {
    box.answer.clear();  // the host is quitting: the box counts as cancelled
  }
  owner.Restore();
  DestroyWindow(box.window);
  if (box.failure) {
    std::rethrow_exception(box.failure);
  }
  return box.answer;
}

}  // namespace sarnlink
