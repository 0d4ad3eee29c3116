// A host as a user runs it: a top-level window of its own and the component created by ProgID,
// with timers that act while a form is up, as the user or the host would. While the options
// form is up the host's window is disabled, and enabled again after; releasing the object from a
// timer while the form is up crashes nothing and leaves no window; a WM_QUIT posted meanwhile
// reaches the host's own loop; the progress window stays until its OK whatever the host does
// with the converter (releases it, frees unused libraries, uninitialises COM), and the DLL stays
// under it; calls the host makes while a run pumps its messages are refused and change nothing;
// two apartments each run a converter with a window of their own; a fault forced inside the form
// or while Invoke builds its arguments (the test build's switch) leaves the host running and the
// call failing with error information; named arguments and puArgErr as IDispatch defines them.
// Usage: host_test DIARY OUT_FILE test-build|shipping|shipping-faults
//   test-build       the Winelib build: its diary opens, so the forms come up, and its switch
//                    can force a fault inside a form;
//   shipping         the ADO build, whose diary cannot open here: the author prompt (which needs
//                    no diary), named arguments and the progress window;
//   shipping-faults  the ADO build with the switch (the i686 test build): a fault inside the
//                    progress window while OUT_FILE is imported.
// Ends with "host: N passed, M failed".
#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "sarnlink_idl.h"
#include "ui/win32/frm_option.h"
#include "wine_test_tally.h"
#include "wine_test_text.h"

namespace {

HWND g_host = nullptr;
std::function<void()> g_on_timer;  // what the next timer does, once
std::function<void()> g_on_post;   // what the host's window does at its next WM_APP, once

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP && g_on_post) {
    auto act = std::move(g_on_post);
    g_on_post = nullptr;
    act();
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

// Arranges `act` to run from the next message pump: the component's, inside a run.
void OnNextPump(std::function<void()> act) {
  g_on_post = std::move(act);
  PostMessageW(g_host, WM_APP, 0, 0);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_on_timer) {
    auto act = std::move(g_on_timer);
    g_on_timer = nullptr;
    act();
  }
}

// Arranges `act` to run from the host's message loop (the component's, while a form is up)
// once a window of `window_class` is showing.
void WhenUp(const WCHAR* window_class, std::function<void()> act) {
  g_on_timer = [window_class, act] {
    if (FindWindowW(window_class, nullptr)) {
      act();
    } else {
      WhenUp(window_class, act);
    }
  };
  SetTimer(nullptr, 0, 100, OnTimer);
}

void WhenFormIsUp(std::function<void()> act) {
  WhenUp(L"SarnlinkFrmOption", std::move(act));
}

// The author prompt: the question box answered Yes, then `act` once the input box is up.
void WhenInputBoxIsUp(std::function<void()> act) {
  WhenUp(L"#32770", [act] {
    PostMessageW(FindWindowW(L"#32770", nullptr), WM_COMMAND, IDYES, 0);
    WhenUp(L"SarnlinkInputBox", act);
  });
}

void PressOn(const WCHAR* window_class, int id) {
  if (HWND form = FindWindowW(window_class, nullptr)) {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

_clsMTExport* NewObject() {
  CLSID clsid;
  _clsMTExport* object = nullptr;
  HRESULT hr = CLSIDFromProgID(L"Sarnlink.clsMTExport", &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__clsMTExport,
                          reinterpret_cast<void**>(&object));
  }
  if (FAILED(hr)) {
    std::printf("the component cannot be created: hr 0x%08lX\n", static_cast<unsigned long>(hr));
    return nullptr;
  }
  return object;
}

BSTR Bstr(const std::u16string& text) {
  return SysAllocString(reinterpret_cast<const OLECHAR*>(text.c_str()));
}

_clsMTExport* ReadyFor(const std::u16string& diary, bool import) {
  _clsMTExport* object = NewObject();
  if (!object) {
    return nullptr;
  }
  BSTR path = Bstr(diary);
  VARIANT_BOOL found = VARIANT_FALSE;
  object->Initialize(&path, &found);
  SysFreeString(path);
  if (import) {
    object->SetImport();
  } else {
    object->SetExport();
  }
  return object;
}

_clsMTExport* ReadyForExport(const std::u16string& diary) {
  return ReadyFor(diary, false);
}

// The object, or null with a failed check.
_clsMTExport* Created(_clsMTExport* object) {
  Check(object != nullptr, "the component is created");
  return object;
}

// SetPath (overwriting, for an export) and Execute; Execute's result.
HRESULT ExecuteOn(_clsMTExport* object, const std::u16string& out) {
  BSTR path = Bstr(out);
  VARIANT_BOOL overwrite = VARIANT_TRUE, set = VARIANT_FALSE, done = VARIANT_FALSE;
  object->SetPath(&path, &overwrite, &set);
  SysFreeString(path);
  return object->Execute(&done);
}

std::u16string ErrorDescription() {
  IErrorInfo* info = nullptr;
  std::u16string text;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr;
    info->GetDescription(&description);
    if (description) {
      text = reinterpret_cast<const char16_t*>(description);
    }
    SysFreeString(description);
    info->Release();
  }
  return text;
}

bool QuitWaiting(WPARAM& code) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      code = message.wParam;
      return true;
    }
    DispatchMessageW(&message);
  }
  return false;
}

HMODULE Component() {
  return GetModuleHandleW(L"Pontivo.dll");
}

BOOL CALLBACK FindProgressWindow(HWND window, LPARAM found) {
  WCHAR name[64] = {};
  GetClassNameW(window, name, 64);
  if (wcscmp(name, L"SarnlinkFrmProgress") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// The progress window of the calling thread, or null.
HWND ThreadProgressWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindProgressWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PressOk(HWND progress_window) {
  SendMessageW(progress_window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
}

bool InformationAnswers() {
  CLSID clsid;
  IUnknown* object = nullptr;
  if (FAILED(CLSIDFromProgID(L"Sarnlink.Information", &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Information,
                              reinterpret_cast<void**>(&object)))) {
    return false;
  }
  short version = 0;
  const HRESULT hr = static_cast<_Information*>(object)->GetVersion(&version);
  object->Release();
  return SUCCEEDED(hr) && version > 0;
}

void TheHostIsDisabledWhileTheFormIsUp(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  bool disabled_meanwhile = false;
  bool owned = false;
  WhenFormIsUp([&] {
    HWND form = FindWindowW(L"SarnlinkFrmOption", nullptr);
    disabled_meanwhile = !IsWindowEnabled(g_host);
    owned = GetWindow(form, GW_OWNER) == g_host;
    PressOn(L"SarnlinkFrmOption", IDCANCEL);
  });
  VARIANT_BOOL ok = VARIANT_TRUE;
  const HRESULT hr = object->SetExportSettingMySelf(&ok);
  Check(SUCCEEDED(hr) && ok == VARIANT_FALSE, "the form is cancelled");
  Check(disabled_meanwhile, "the host's window is disabled while the form is up");
  Check(owned, "the form belongs to the host's window");
  Check(IsWindowEnabled(g_host) != FALSE, "the host's window is enabled again after");
  object->Release();
}

// Enter on the focused Cancel button cancels (it once pressed OK), and the page behind the tab
// strip is hidden, so that Tab cannot reach its controls.
void EnterPressesTheFocusedButton(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  bool page_hidden = false;
  bool tab_stays_in_front = true;
  int tab_stops = 0;
  WhenFormIsUp([&] {
    HWND form = FindWindowW(L"SarnlinkFrmOption", nullptr);
    HWND hidden_page = GetDlgItem(form, sarnlink::kPicture1Page1);
    page_hidden = !IsWindowVisible(hidden_page);
    // Tab through the form as the dialog keys do, twice round.
    SetFocus(GetDlgItem(form, IDOK));
    for (int k = 0; k < 30; ++k) {
      MSG tab = {form, WM_KEYDOWN, VK_TAB, 0, 0, {}};
      IsDialogMessageW(form, &tab);
      tab_stays_in_front = tab_stays_in_front && !IsChild(hidden_page, GetFocus());
      tab_stops += GetFocus() != GetDlgItem(form, IDOK) ? 1 : 0;
    }
    HWND cancel = GetDlgItem(form, IDCANCEL);
    SetFocus(cancel);
    PostMessageW(cancel, WM_KEYDOWN, VK_RETURN, 0);
  });
  VARIANT_BOOL ok = VARIANT_TRUE;
  const HRESULT hr = object->SetExportSettingMySelf(&ok);
  Check(SUCCEEDED(hr) && ok == VARIANT_FALSE, "Enter on Cancel cancels");
  Check(page_hidden, "the page behind the tab strip is hidden");
  Check(tab_stays_in_front && tab_stops > 0,
        "Tab moves through the form, never into the hidden page");
  object->Release();
}

void ReleasingTheObjectMidFormCrashesNothing(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  WhenFormIsUp([&] {
    object->Release();  // the host lets go of its only reference: the user closed its form
    PressOn(L"SarnlinkFrmOption", IDCANCEL);
  });
  VARIANT_BOOL ok = VARIANT_TRUE;
  const HRESULT hr = object->SetExportSettingMySelf(&ok);  // still alive for its whole length
  Check(SUCCEEDED(hr), "the method ends normally after the host released the object");
  Check(FindWindowW(L"SarnlinkFrmOption", nullptr) == nullptr, "no form is left behind");
  Check(IsWindowEnabled(g_host) != FALSE, "the host's window is enabled");
}

void AQuitMidFormReachesTheHost(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  WhenFormIsUp([] { PostQuitMessage(7); });
  VARIANT_BOOL ok = VARIANT_TRUE;
  const HRESULT hr = object->SetExportSettingMySelf(&ok);
  Check(SUCCEEDED(hr) && ok == VARIANT_FALSE, "a quit closes the form as cancelled");
  WPARAM code = 0;
  Check(QuitWaiting(code) && code == 7, "the host's loop gets the WM_QUIT, code and all");
  Check(FindWindowW(L"SarnlinkFrmOption", nullptr) == nullptr, "no form is left behind");
  object->Release();
}

void AFaultInsideTheFormFailsTheMethod(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_FORM", L"1");
  WhenFormIsUp([] { PressOn(L"SarnlinkFrmOption", IDOK); });
  VARIANT_BOOL ok = VARIANT_TRUE;
  const HRESULT hr = object->SetExportSettingMySelf(&ok);
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_FORM", nullptr);
  const std::u16string description = ErrorDescription();
  Check(FAILED(hr), "a fault inside the form fails the method");
  Check(description.find(u"a fault forced inside the options form") != std::u16string::npos,
        "the error information says what failed");
  Check(FindWindowW(L"SarnlinkFrmOption", nullptr) == nullptr && IsWindowEnabled(g_host),
        "the form is gone and the host's window is enabled");
  object->Release();
}

// The author prompt's input box, which every build shows (it needs no diary): the host's window
// disabled while it is up, the object released and a WM_QUIT posted meanwhile.
void TheInputBoxIsModalAndSurvivesTheHost() {
  _clsMTExport* object = Created(NewObject());
  if (!object) {
    return;
  }
  object->SetImport();
  bool disabled_meanwhile = false;
  WhenInputBoxIsUp([&] {
    disabled_meanwhile = !IsWindowEnabled(g_host);
    PressOn(L"SarnlinkInputBox", IDCANCEL);
  });
  VARIANT_BOOL ok = VARIANT_TRUE;
  object->SetAuthorMySelf(&ok);
  Check(disabled_meanwhile, "the host's window is disabled while the input box is up");
  Check(IsWindowEnabled(g_host) != FALSE, "and enabled again after");
  WhenInputBoxIsUp([] { PostQuitMessage(9); });
  object->SetAuthorMySelf(&ok);
  WPARAM code = 0;
  Check(QuitWaiting(code) && code == 9, "a quit posted while the input box is up reaches the host");
  Check(FindWindowW(L"SarnlinkInputBox", nullptr) == nullptr, "no input box is left behind");
  WhenInputBoxIsUp([object] {
    object->Release();  // the host's only reference
    PressOn(L"SarnlinkInputBox", IDCANCEL);
  });
  const HRESULT hr = object->SetAuthorMySelf(&ok);
  Check(SUCCEEDED(hr) || FAILED(hr), "the host released the object mid-prompt and goes on");
  Check(IsWindowEnabled(g_host) != FALSE && FindWindowW(L"SarnlinkInputBox", nullptr) == nullptr,
        "the host's window is enabled and no input box is left");
}

// A fault inside the progress window while Execute runs (the test build's switch) fails Execute
// with error information, and the host goes on. An import shows the window before it opens the
// diary, so the ADO build, whose diary cannot open here, meets the fault too.
void AFaultInsideTheProgressWindowFailsExecute(const std::u16string& diary,
                                               const std::u16string& file, bool import) {
  _clsMTExport* object = Created(ReadyFor(diary, import));
  if (!object) {
    return;
  }
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_PROGRESS", L"1");
  const HRESULT hr = ExecuteOn(object, file);
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_PROGRESS", nullptr);
  const std::u16string description = ErrorDescription();
  Check(FAILED(hr), "a fault inside the progress window fails Execute");
  Check(description.find(u"a fault forced inside the progress window") != std::u16string::npos,
        "Execute's error information says what failed");
  Check(IsWindow(g_host) && IsWindowEnabled(g_host), "the host goes on");
  object->Release();
}

// The result stays on screen until its OK, whatever the host does with the converter: a VB host
// releases it at the end of its click handler, may free unused libraries, and uninitialises COM
// when it ends. The DLL stays under the window, and for good once a window was shown.
void TheResultStaysUntilItsOk(const std::u16string& diary, const std::u16string& out) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  ExecuteOn(object, out);  // succeeds or fails: the window stays up until OK either way
  object->Release();
  const HWND window = ThreadProgressWindow();
  Check(window != nullptr, "the progress window stays up after the host released the converter");
  WCHAR caption[64] = {};
  SendMessageW(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption));
  Check(wcscmp(caption, L"MT Imp/Exp for Dailyquill") == 0, "and still answers");
  CoFreeUnusedLibrariesEx(0, 0);
  Check(Component() != nullptr && IsWindow(window),
        "CoFreeUnusedLibraries leaves the DLL and the window");
  CoUninitialize();
  Check(Component() != nullptr && SendMessageW(window, WM_GETTEXTLENGTH, 0, 0) > 0,
        "CoUninitialize leaves the DLL under the window, which answers");
  CoInitialize(nullptr);
  SendMessageW(window, WM_CLOSE, 0, 0);
  Check(IsWindow(window) != FALSE, "closing it by anything but OK is refused");
  object = Created(ReadyForExport(diary));
  if (object) {
    ExecuteOn(object, out);
    Check(ThreadProgressWindow() == window, "a later run of another converter reuses it");
    object->Release();
  }
  PressOk(window);
  Check(!IsWindow(window), "its OK closes it");
  CoFreeUnusedLibrariesEx(0, 0);
  Check(Component() != nullptr, "the DLL stays loaded once a window of it was shown");
}

// While a run pumps its messages, the host's own code runs (here at a posted message; a timer is
// the same): every converter call it makes fails at once with error information and changes
// nothing, and Information still answers. `import`: an import of a small file, which pumps before
// it opens the diary (the ADO build's diary cannot open here); else an export, whose file must be
// the same as one made without the calls.
void CallsInsideARunAreRefused(const std::u16string& diary, const std::u16string& out,
                               bool import) {
  const std::u16string clean = out + u".clean.txt", elsewhere = out + u".elsewhere.txt";
  const std::u16string file = import ? out + u".import.txt" : out;
  if (import) {
    WriteFileBytes(file, "TITLE: a\r\nBODY:\r\nx\r\n-----\r\n--------\r\n");
  } else if (_clsMTExport* plain = Created(ReadyForExport(diary))) {
    ExecuteOn(plain, clean);
    plain->Release();
  }
  _clsMTExport* running = Created(ReadyFor(diary, import));
  _clsMTExport* other = Created(ReadyForExport(diary));
  if (!running || !other) {
    return;
  }
  struct Refusal {
    const char* call;
    HRESULT hr;
    std::u16string description;
  };
  std::vector<Refusal> refusals;
  bool information_answers = false;
  OnNextPump([&] {
    auto note = [&](const char* call, HRESULT hr) {
      refusals.push_back({call, hr, ErrorDescription()});
    };
    note("the direction", import ? running->SetExport() : running->SetImport());
    BSTR path = Bstr(elsewhere);
    VARIANT_BOOL yes = VARIANT_TRUE, result = VARIANT_FALSE;
    note("SetPath", running->SetPath(&path, &yes, &result));
    note("Execute of another converter", other->Execute(&result));
    note("SetAuthor of another converter", other->SetAuthor(&path));
    SysFreeString(path);
    information_answers = InformationAnswers();
  });
  const HRESULT hr = ExecuteOn(running, file);
  const bool came = g_on_post == nullptr;
  g_on_post = nullptr;
  Check(came && refusals.size() == 4, "the host's calls came while the run was under way");
  for (const Refusal& r : refusals) {
    Check(FAILED(r.hr) && r.description.find(u"a conversion is running") != std::u16string::npos,
          std::string(r.call) + " is refused with error information");
  }
  Check(information_answers, "Information still answers during the run");
  Check(FileBytes(elsewhere).empty(), "the refused calls wrote nothing");
  if (!import) {
    Check(SUCCEEDED(hr) && !FileBytes(out).empty() && FileBytes(out) == FileBytes(clean),
          "the run's file is the one a run without the calls writes");
  }
  Check(SUCCEEDED(import ? running->SetImport() : running->SetExport()),
        "once the run is over, calls work again");
  running->Release();
  other->Release();
  PressOk(ThreadProgressWindow());
}

// Two apartments (two threads), each running a converter at the same time.
struct Apartment {
  std::u16string diary;
  std::u16string out;
  LONG* started = nullptr;  // how many apartments have run
  HRESULT hr = E_FAIL;
  HWND window = nullptr;  // its progress window after the run
  bool owns = false;      // the window belongs to its thread
  bool closed = false;    // and closes at its OK
};

DWORD WINAPI RunApartment(void* argument) {
  auto* a = static_cast<Apartment*>(argument);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (_clsMTExport* object = ReadyForExport(a->diary)) {
    a->hr = ExecuteOn(object, a->out);
    object->Release();
  }
  a->window = ThreadProgressWindow();
  a->owns = a->window && GetWindowThreadProcessId(a->window, nullptr) == GetCurrentThreadId();
  InterlockedIncrement(a->started);
  for (int k = 0; k < 500 && *a->started < 2; ++k) {
    Sleep(20);  // both windows up at once
  }
  if (a->window) {
    PressOk(a->window);
    a->closed = !IsWindow(a->window);
  }
  CoUninitialize();
  return 0;
}

void TwoApartmentsRunAtOnce(const std::u16string& diary, const std::u16string& out,
                            bool diary_opens) {
  LONG started = 0;
  Apartment apartments[2] = {{diary, out + u".1.txt", &started},
                             {diary, out + u".2.txt", &started}};
  HANDLE threads[2];
  for (int k = 0; k < 2; ++k) {
    threads[k] = CreateThread(nullptr, 0, RunApartment, &apartments[k], 0, nullptr);
  }
  WaitForMultipleObjects(2, threads, TRUE, 60000);
  for (HANDLE thread : threads) {
    CloseHandle(thread);
  }
  const Apartment& a = apartments[0];
  const Apartment& b = apartments[1];
  Check(a.window && b.window && a.window != b.window,
        "each apartment has a progress window of its own");
  Check(a.owns && b.owns, "each window belongs to the thread that ran");
  Check(a.closed && b.closed, "each closes at its OK, on its thread");
  if (diary_opens) {
    Check(SUCCEEDED(a.hr) && SUCCEEDED(b.hr) && !FileBytes(a.out).empty() &&
              FileBytes(a.out) == FileBytes(b.out),
          "both runs export the whole diary");
  }
}

// A failure while Invoke builds the arguments (the test build's switch) is an exception the
// caller reads, not E_OUTOFMEMORY, and the type information is not kept.
void AFaultInInvokeIsAnException(const std::u16string& out) {
  _clsMTExport* object = Created(NewObject());
  if (!object) {
    return;
  }
  IDispatch* dispatch = object;
  ITypeInfo* info = nullptr;
  dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info);
  auto references = [info] {
    info->AddRef();
    return info->Release();
  };
  const ULONG before = info ? references() : 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"SetPath");
  DISPID id = 0;
  dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  VARIANT arg;
  V_VT(&arg) = VT_BSTR;
  V_BSTR(&arg) = Bstr(out);
  DISPPARAMS params = {&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception = {};
  UINT arg_err = 0;
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_ARGUMENTS", L"1");
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      &result, &exception, &arg_err);
  SetEnvironmentVariableW(L"SARNLINK_FAULT_IN_ARGUMENTS", nullptr);
  Check(hr == DISP_E_EXCEPTION, "a fault while the arguments are built is DISP_E_EXCEPTION");
  Check(exception.bstrDescription &&
            wcsstr(exception.bstrDescription, L"a fault forced while the arguments were built"),
        "EXCEPINFO says what failed");
  Check(info && references() == before, "the type information is released");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  VariantClear(&arg);
  if (info) {
    info->Release();
  }
  object->Release();
}

// A method's own failure reaches a late-bound caller as DISP_E_EXCEPTION with its message, as
// VB's Err.Description reads it: an export path that is the diary itself is refused.
void AFailureThroughInvokeCarriesItsMessage(const std::u16string& diary) {
  _clsMTExport* object = Created(ReadyForExport(diary));
  if (!object) {
    return;
  }
  IDispatch* dispatch = object;
  LPOLESTR name = const_cast<LPOLESTR>(L"SetPath");
  DISPID id = 0;
  dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  VARIANT args[2];
  V_VT(&args[0]) = VT_BOOL;  // OverWrite
  V_BOOL(&args[0]) = VARIANT_TRUE;
  V_VT(&args[1]) = VT_BSTR;  // stFilePath: the diary
  V_BSTR(&args[1]) = Bstr(diary);
  DISPPARAMS params = {args, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception = {};
  UINT arg_err = 0;
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      &result, &exception, &arg_err);
  Check(hr == DISP_E_EXCEPTION && FAILED(exception.scode) && exception.bstrDescription &&
            wcsstr(exception.bstrDescription, L"refused"),
        "a refused SetPath through Invoke is DISP_E_EXCEPTION with the message");
  Check(!FileBytes(diary).empty(), "and the diary is untouched");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  VariantClear(&args[1]);
  object->Release();
}

// IDispatch with named arguments, as VB passes `o.SetPath OverWrite:=True, stFilePath:=...`,
// and puArgErr on an argument of the wrong type.
void NamedArgumentsAndTheirErrors(const std::u16string& out) {
  _clsMTExport* object = Created(NewObject());
  if (!object) {
    return;
  }
  IDispatch* dispatch = object;
  DISPID ids[3] = {};
  LPOLESTR names[3] = {const_cast<LPOLESTR>(L"SetPath"), const_cast<LPOLESTR>(L"stFilePath"),
                       const_cast<LPOLESTR>(L"OverWrite")};
  const HRESULT named = dispatch->GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids);
  Check(SUCCEEDED(named) && ids[1] == 0 && ids[2] == 1, "the parameters have their names' ids");
  object->SetExport();
  VARIANT args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  V_VT(&args[0]) = VT_BOOL;  // OverWrite, named first
  V_BOOL(&args[0]) = VARIANT_TRUE;
  V_VT(&args[1]) = VT_BSTR;  // stFilePath
  V_BSTR(&args[1]) = Bstr(out);
  DISPID which[2] = {ids[2], ids[1]};
  DISPPARAMS params = {args, which, 2, 2};
  VARIANT result;
  VariantInit(&result);
  UINT arg_err = 99;
  HRESULT hr = dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                &result, nullptr, &arg_err);
  Check(SUCCEEDED(hr) && V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_TRUE,
        "SetPath with both arguments named, in the other order");
  VariantClear(&args[1]);
  // A wrong type: an object where the path's text belongs, named at rgvarg[1].
  V_VT(&args[1]) = VT_DISPATCH;
  V_DISPATCH(&args[1]) = dispatch;
  arg_err = 99;
  hr = dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                        nullptr, &arg_err);
  Check(hr == DISP_E_TYPEMISMATCH && arg_err == 1, "puArgErr is the argument's place in rgvarg");
  DISPID unknown = 5;
  DISPPARAMS bad = {args, &unknown, 1, 1};
  hr = dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &bad, &result,
                        nullptr, &arg_err);
  Check(hr == DISP_E_PARAMNOTFOUND && arg_err == 0, "a name that is no parameter is refused");
  hr = dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr, &result,
                        nullptr, &arg_err);
  Check(hr == E_INVALIDARG, "no DISPPARAMS at all is refused");
  object->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: host_test DIARY OUT_FILE test-build|shipping|shipping-faults\n");
    return 2;
  }
  const std::u16string diary = Utf16(argv[1]);
  const std::u16string out = Utf16(argv[2]);
  const std::string build = argv[3];
  const bool forms = build == "test-build";
  CoInitialize(nullptr);
  WNDCLASSW host_class = {};
  host_class.lpfnWndProc = HostProc;
  host_class.hInstance = GetModuleHandleW(nullptr);
  host_class.lpszClassName = L"SarnlinkTestHost";
  RegisterClassW(&host_class);
  g_host = CreateWindowExW(0, L"SarnlinkTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                           10, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(g_host);
  Check(g_host != nullptr, "the host has a window");
  if (build == "shipping-faults") {
    AFaultInsideTheProgressWindowFailsExecute(diary, out, true);
    AFaultInInvokeIsAnException(out);
    DestroyWindow(g_host);
    CoUninitialize();
    return Summary("host");
  }
  TheInputBoxIsModalAndSurvivesTheHost();
  if (forms) {
    TheHostIsDisabledWhileTheFormIsUp(diary);
    EnterPressesTheFocusedButton(diary);
    ReleasingTheObjectMidFormCrashesNothing(diary);
    AQuitMidFormReachesTheHost(diary);
    AFaultInsideTheFormFailsTheMethod(diary);
    AFaultInsideTheProgressWindowFailsExecute(diary, out, false);
    AFaultInInvokeIsAnException(out);
  }
  NamedArgumentsAndTheirErrors(out);
  AFailureThroughInvokeCarriesItsMessage(diary);
  CallsInsideARunAreRefused(diary, out, !forms);
  TheResultStaysUntilItsOk(diary, out);
  TwoApartmentsRunAtOnce(diary, out, forms);
  DestroyWindow(g_host);
  CoUninitialize();
  return Summary("host");
}
