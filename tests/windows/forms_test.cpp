// The options form and the author prompt in real windows (run under Xvfb against the Winelib
// build, whose diary is SQLite), driven by messages from a second thread as a user would: the
// genre list, the load-time state, the layout against the form's twips, OK, Cancel and the title
// bar; the question box and the input box in each of their outcomes. The converter's settings
// are observed through the export they produce. Pictures go to PICTURES_DIR as BMPs.
// Usage: forms_test DIARY OUT_DIR PICTURES_DIR
// Ends with "forms: N passed, M failed".
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <oleauto.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "sarnlink_idl.h"
#include "ui/win32/frm_option.h"
#include "wine_test_picture.h"
#include "wine_test_tally.h"
#include "wine_test_text.h"

namespace {

std::string g_pictures;

using namespace sarnlink;  // the options form's control identifiers

HWND WaitFor(const WCHAR* window_class, const WCHAR* title) {
  for (int k = 0; k < 500; ++k) {
    if (HWND window = FindWindowW(window_class, title)) {
      if (IsWindowVisible(window)) {
        Sleep(200);  // let it paint
        return window;
      }
    }
    Sleep(20);
  }
  return nullptr;
}

HWND Control(HWND form, int id) {
  if (HWND c = GetDlgItem(form, id)) {
    return c;
  }
  for (int page : {kPicture1Page0, kPicture1Page1}) {
    if (HWND c = GetDlgItem(GetDlgItem(form, page), id)) {
      return c;
    }
  }
  return nullptr;
}

std::u16string TextOf(HWND window) {
  WCHAR text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return reinterpret_cast<const char16_t*>(text);
}

int Pixels(int twips) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

bool Near(int actual, int twips) {
  return actual >= Pixels(twips) - 1 && actual <= Pixels(twips) + 1;
}

// The control's rectangle in its parent's client area against the form's twips (height < 0:
// not compared, as a drop-down list keeps its own closed height).
void CheckRect(HWND control, int left, int top, int width, int height, const char* name) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  const bool ok = Near(r.left, left) && Near(r.top, top) && Near(r.right - r.left, width) &&
                  (height < 0 || Near(r.bottom - r.top, height));
  std::ostringstream what;
  what << "layout of " << name << ": " << r.left << "," << r.top << " " << r.right - r.left << "x"
       << r.bottom - r.top;
  Check(ok, what.str());
}

void Picture(HWND window, const char* name) {
  Check(SavePicture(window, (g_pictures + "\\" + name + ".bmp").c_str()),
        std::string("picture ") + name);
}

DWORD WINAPI RunTask(void* task) {
  auto* t = static_cast<std::function<void()>*>(task);
  (*t)();
  delete t;
  return 0;
}

// Runs `drive` on a second thread while the main thread is inside the modal call `call`.
template <class Call>
void WhileDriving(std::function<void()> drive, Call call) {
  auto* task = new std::function<void()>(std::move(drive));
  HANDLE thread = CreateThread(nullptr, 0, RunTask, task, 0, nullptr);
  call();
  WaitForSingleObject(thread, 20000);
  CloseHandle(thread);
}

HWND WaitForForm() {
  return WaitFor(L"SarnlinkFrmOption", nullptr);
}

void LoadTimeAndLayout(HWND form) {
  Check(TextOf(form) == u"MT Export/Import Option", "the form's title");
  RECT client, outer;
  GetClientRect(form, &client);
  GetWindowRect(form, &outer);
  Check(Near(client.bottom, 4320) && Near(outer.right - outer.left, 4650),
        "client height 4320 and outer width 4650 twips");
  HWND genre = Control(form, kCmbGenre);
  std::vector<std::u16string> items;
  const int count = static_cast<int>(SendMessageW(genre, CB_GETCOUNT, 0, 0));
  for (int k = 0; k < count; ++k) {
    WCHAR item[128] = {};
    SendMessageW(genre, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(item));
    items.push_back(reinterpret_cast<const char16_t*>(item));
  }
  const std::vector<std::u16string> expected = {u"[ALL]", u"一般", u"料理",
                                                u"旅行",  u"日記", u"読書"};
  Check(items == expected, "the genre list from the diary, in the query's order");
  const std::pair<int, int> selected[] = {{kCmbGenre, 0},     {kCmbPublish, 0}, {kCmbBR, 1},
                                          {kCmbHyphen, 1},    {kCmbPing, 1},    {kCmbComment, 1},
                                          {kCmbPublishDay, 1}};
  for (const auto& [id, index] : selected) {
    Check(SendMessageW(Control(form, id), CB_GETCURSEL, 0, 0) == index, "selected at load");
  }
  for (int id : {kChkGenre, kChkPeriod, kChkPublish}) {
    Check(SendMessageW(Control(form, id), BM_GETCHECK, 0, 0) == BST_UNCHECKED, "unchecked at load");
  }
  // The sample diary's days run from 2006/01/01 to 2006/12/31.
  SYSTEMTIME start = {}, end = {};
  SendMessageW(Control(form, kDtpStart), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&start));
  SendMessageW(Control(form, kDtpEnd), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&end));
  Check(start.wYear == 2005 && start.wMonth == 12 && start.wDay == 31,
        "the start picker shows the day before the diary's first day");
  Check(end.wYear == 2007 && end.wMonth == 1 && end.wDay == 1,
        "the end picker shows the day after its last day");
  Check(TextOf(Control(form, kPeriodNote)).find(u"当日は含みません") != std::u16string::npos,
        "the form says the period's bounds are not included");
  CheckRect(GetDlgItem(form, IDOK), 120, 3720, 2055, 495, "Btn_OK");
  CheckRect(GetDlgItem(form, IDCANCEL), 2280, 3720, 2175, 495, "Btn_Cancel");
  CheckRect(GetDlgItem(form, kTabStrip1), 120, 120, 4335, 3495, "TabStrip1");
  CheckRect(GetDlgItem(form, kPicture1Page0), 240, 480, 4095, 3015, "Picture1(0)");
  CheckRect(GetDlgItem(form, kPicture1Page1), 240, 480, 4095, 3015, "Picture1(1)");
  CheckRect(Control(form, kChkGenre), 120, 120, 1095, 255, "chkGenre");
  CheckRect(Control(form, kCmbGenre), 1680, 120, 2175, -1, "cmbGenre");
  CheckRect(Control(form, kDtpStart), 960, 600, 1335, 255, "dtpStart");
  CheckRect(Control(form, kLabel4), 2320, 640, 255, 255, "Label4");
  CheckRect(Control(form, kDtpEnd), 2520, 600, 1335, 255, "dtpEnd");
  CheckRect(Control(form, kChkPublish), 120, 1080, 1455, 255, "chkPublish");
  CheckRect(Control(form, kTxtAuthor), 1320, 120, 2535, 270, "txtAuthor");
  CheckRect(Control(form, kCmbPublishDay), 1320, 2520, 2535, -1, "cmbPublishDay");
}

void ShowPage(HWND form, int page) {
  HWND tab = GetDlgItem(form, kTabStrip1);
  SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  NMHDR header = {tab, static_cast<UINT_PTR>(kTabStrip1), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form, WM_NOTIFY, kTabStrip1, reinterpret_cast<LPARAM>(&header));
  Sleep(200);
}

// Exports to `name` in `dir` and returns the file's text.
std::string Export(_clsMTExport* converter, const std::u16string& dir, const char16_t* name) {
  converter->SetExport();
  const std::u16string path = dir + u"\\" + name;
  BSTR file = SysAllocString(reinterpret_cast<const OLECHAR*>(path.c_str()));
  VARIANT_BOOL overwrite = VARIANT_TRUE, ok = VARIANT_FALSE;
  converter->SetPath(&file, &overwrite, &ok);
  converter->Execute(&ok);
  SysFreeString(file);
  return FileBytes(path);
}

bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

void AnswerQuestion(int button, const char* picture) {
  HWND box = WaitFor(L"#32770", L"Sarnlink");
  Check(box != nullptr, "the question box, titled with the component's name");
  if (!box) {
    return;
  }
  if (picture) {
    Picture(box, picture);
  }
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

void AnswerName(const char16_t* name, int button, const char* picture) {
  HWND box = WaitFor(L"SarnlinkInputBox", nullptr);
  Check(box != nullptr, "the input box");
  if (!box) {
    return;
  }
  Check(TextOf(box) == u"著者の入力 by Sarnlink", "the input box's title");
  HWND text = GetDlgItem(box, 200);
  Check(TextOf(text).empty(), "the input box starts empty");
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
  if (picture) {
    Picture(box, picture);
  }
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: forms_test DIARY OUT_DIR PICTURES_DIR [prompt-only]\n");
    return 2;
  }
  // A build that cannot reach the diary (ADO, no Jet here) shows the author prompt only: the
  // options form lists the diary's genres, and the author is seen in an export.
  const bool prompt_only = argc > 4 && std::string(argv[4]) == "prompt-only";
  g_pictures = argv[3];
  const std::u16string out_dir = Utf16(argv[2]);
  CoInitialize(nullptr);
  CLSID clsid;
  CLSIDFromProgID(L"Sarnlink.clsMTExport", &clsid);
  _clsMTExport* converter = nullptr;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__clsMTExport,
                   reinterpret_cast<void**>(&converter));
  Check(converter != nullptr, "create clsMTExport");
  if (!converter) {
    return Summary("forms");
  }
  BSTR diary = SysAllocString(reinterpret_cast<const OLECHAR*>(Utf16(argv[1]).c_str()));
  VARIANT_BOOL ok = VARIANT_FALSE;
  converter->Initialize(&diary, &ok);
  BSTR before = SysAllocString(L"Before");
  converter->SetAuthor(&before);

  // OK: the choices reach the settings and the author.
  if (!prompt_only) {
    WhileDriving(
        [] {
          HWND form = WaitForForm();
          Check(form != nullptr, "the options form appears");
          if (!form) {
            return;
          }
          LoadTimeAndLayout(form);
          Picture(form, "frmOption-page1");
          ShowPage(form, 1);
          Check(TextOf(Control(form, kTxtAuthor)) == u"Before", "txtAuthor shows the author");
          Picture(form, "frmOption-page2");
          SendMessageW(Control(form, kChkGenre), BM_SETCHECK, BST_CHECKED, 0);
          const LRESULT travel =
              SendMessageW(Control(form, kCmbGenre), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"旅行"));
          SendMessageW(Control(form, kCmbGenre), CB_SETCURSEL, static_cast<WPARAM>(travel), 0);
          SendMessageW(Control(form, kCmbBR), CB_SETCURSEL, 0, 0);
          SendMessageW(Control(form, kTxtAuthor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Taro"));
          PostMessageW(form, WM_COMMAND, IDOK, 0);
        },
        [&] {
          converter->SetExportSettingMySelf(&ok);
          Check(ok == VARIANT_TRUE, "OK gives True");
        });
    const std::string first = Export(converter, out_dir, u"forms-ok.txt");
    Check(Has(first, "AUTHOR: Taro\r\n") && !Has(first, "AUTHOR: Before"), "the typed author");
    Check(Has(first, "CATEGORY: 旅行\r\n") && !Has(first, "CATEGORY: 一般\r\n"),
          "the chosen genre only");
    Check(!Has(first, "<BR>"), "line breaks left as they are");

    // Cancel and the title bar change nothing.
    for (bool by_title_bar : {false, true}) {
      WhileDriving(
          [by_title_bar] {
            HWND form = WaitForForm();
            if (!form) {
              Check(false, "the options form appears again");
              return;
            }
            SendMessageW(Control(form, kCmbBR), CB_SETCURSEL, 1, 0);
            SendMessageW(Control(form, kTxtAuthor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"X"));
            PostMessageW(form, by_title_bar ? WM_CLOSE : WM_COMMAND,
                         by_title_bar ? 0 : static_cast<WPARAM>(IDCANCEL), 0);
          },
          [&] {
            ok = VARIANT_TRUE;
            converter->SetExportSettingMySelf(&ok);
            Check(ok == VARIANT_FALSE,
                  by_title_bar ? "the title bar gives False" : "Cancel gives False");
          });
      Check(Export(converter, out_dir, u"forms-cancel.txt") == first, "nothing changed");
    }

    // The period ticked and left as it loads selects every entry of the diary (32).
    WhileDriving(
        [] {
          HWND form = WaitForForm();
          if (!form) {
            Check(false, "the options form appears once more");
            return;
          }
          SendMessageW(Control(form, kChkPeriod), BM_SETCHECK, BST_CHECKED, 0);
          PostMessageW(form, WM_COMMAND, IDOK, 0);
        },
        [&] { converter->SetExportSettingMySelf(&ok); });
    const std::string period = Export(converter, out_dir, u"forms-period.txt");
    std::size_t entries = 0;
    for (std::size_t at = period.find("\r\n--------\r\n"); at != std::string::npos;
         at = period.find("\r\n--------\r\n", at + 1)) {
      ++entries;
    }
    Check(entries == 32,
          "the period as it loads exports all 32 entries, not " + std::to_string(entries));
  }

  // The author prompt: Yes and a name; No; Yes then Cancel in the input box; Cancel.
  struct PromptCase {
    int question;
    int input;  // 0: no input box
    const char16_t* name;
    VARIANT_BOOL result;
    const char* author_line;
    const char* question_picture;
    const char* input_picture;
  } cases[] = {
      {IDYES, IDOK, u"Hanako", VARIANT_TRUE, "AUTHOR: Hanako\r\n", "author-question",
       "author-input"},
      {IDNO, 0, u"", VARIANT_TRUE, "AUTHOR: Default\r\n", nullptr, nullptr},
      {IDYES, IDCANCEL, u"ignored", VARIANT_TRUE, "AUTHOR: Default\r\n", nullptr, nullptr},
      {IDCANCEL, 0, u"", VARIANT_FALSE, "AUTHOR: Default\r\n", nullptr, nullptr},
  };
  for (const PromptCase& c : cases) {
    WhileDriving(
        [&c] {
          AnswerQuestion(c.question, c.question_picture);
          if (c.input) {
            AnswerName(c.name, c.input, c.input_picture);
          }
        },
        [&] {
          ok = c.result == VARIANT_TRUE ? VARIANT_FALSE : VARIANT_TRUE;
          converter->SetAuthorMySelf(&ok);
          Check(ok == c.result, "SetAuthorMySelf's result");
        });
    if (!prompt_only) {
      Check(Has(Export(converter, out_dir, u"forms-author.txt"), c.author_line), c.author_line);
    }
  }
  converter->Release();
  CoUninitialize();
  return Summary("forms");
}
