// frmProgress in a real window (run under Xvfb): during and after a run it refuses to close,
// shows the run's texts, and closes by OK; after a failed run OK is enabled. A picture of the
// finished window is written as a BMP for the CI artifacts.
// Usage: progress_window_test DIARY EXPORT_FILE BROKEN_IMPORT_FILE PICTURE_BMP [CLOSING_TEXT]
// (CLOSING_TEXT: the first entry the export's closing text names for a supplied DATE)
// Ends with "progress_window: N passed, M failed".
#include <windows.h>
// after windows.h, which they need
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "sarnlink_idl.h"
#include "wine_test_picture.h"
#include "wine_test_text.h"

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s\n", what);
  }
}

void Pump(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  while (GetTickCount() < until) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

HWND ProgressWindow() {
  return FindWindowW(L"SarnlinkFrmProgress", nullptr);
}

std::u16string WindowText(HWND window) {
  WCHAR text[2048] = {};
  GetWindowTextW(window, text, 2048);
  return reinterpret_cast<const char16_t*>(text);
}

// Whether one of the window's text boxes holds `part`.
bool ShowsText(HWND window, const std::u16string& part) {
  for (HWND box = FindWindowExW(window, nullptr, L"EDIT", nullptr); box;
       box = FindWindowExW(window, box, L"EDIT", nullptr)) {
    if (WindowText(box).find(part) != std::u16string::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: progress_window_test DIARY EXPORT BROKEN PICTURE\n");
    return 2;
  }
  CoInitialize(nullptr);
  CLSID clsid;
  CLSIDFromProgID(L"Sarnlink.clsMTExport", &clsid);
  _clsMTExport* converter = nullptr;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__clsMTExport,
                   reinterpret_cast<void**>(&converter));
  Check(converter != nullptr, "create clsMTExport");
  if (!converter) {
    std::printf("progress_window: %d passed, %d failed\n", g_passed, g_failed);
    return 1;
  }
  VARIANT_BOOL ok = VARIANT_FALSE;
  BSTR diary = SysAllocString(reinterpret_cast<const OLECHAR*>(Utf16(argv[1]).c_str()));
  converter->Initialize(&diary, &ok);
  converter->SetExport();
  BSTR out = SysAllocString(reinterpret_cast<const OLECHAR*>(Utf16(argv[2]).c_str()));
  VARIANT_BOOL overwrite = VARIANT_TRUE;
  converter->SetPath(&out, &overwrite, &ok);
  converter->Execute(&ok);
  Pump(300);

  HWND window = ProgressWindow();
  Check(window != nullptr, "the window stays after Execute returned");
  if (window) {
    Check(WindowText(window) == u"MT Imp/Exp for Dailyquill", "the caption");
    HWND ok_button = GetDlgItem(window, 1);
    Check(ok_button && IsWindowEnabled(ok_button), "OK is enabled after the run");
    if (argc > 5) {  // a diary the build can read: the export ran to its end
      Check(ShowsText(window, u"Export完了！"), "the closing text");
      Check(ShowsText(window, u"件は日時を補って書きました"), "the closing text on supplied dates");
      Check(ShowsText(window, Utf16(argv[5])), "the closing text names the first entry");
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(300);
    Check(IsWindow(window) != FALSE, "close by the title bar is refused");
    Check(SavePicture(window, argv[4]), "the picture");
    SendMessageW(ok_button, BM_CLICK, 0, 0);
    Pump(300);
    Check(!IsWindow(window), "OK closes the window");
  }

  // A run that fails leaves OK enabled, so that the window can be closed.
  converter->SetImport();
  BSTR broken = SysAllocString(reinterpret_cast<const OLECHAR*>(Utf16(argv[3]).c_str()));
  converter->SetPath(&broken, &overwrite, &ok);
  const HRESULT hr = converter->Execute(&ok);
  Check(FAILED(hr), "the broken import fails");
  Pump(300);
  window = ProgressWindow();
  Check(window != nullptr, "the window shows the failed run");
  if (window) {
    HWND ok_button = GetDlgItem(window, 1);
    Check(ok_button && IsWindowEnabled(ok_button), "OK is enabled after a failed run");
    SendMessageW(ok_button, BM_CLICK, 0, 0);
    Pump(300);
    Check(!IsWindow(window), "OK closes it");
  }
  converter->Release();
  CoUninitialize();
  std::printf("progress_window: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
