#include "ui/win32/frm_option.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/win32/wide_text.h"
#include "ui/win32/win32_window_helpers.h"

namespace sarnlink {
namespace {

constexpr char16_t kPageClass[] = u"SarnlinkFrmOptionPage";

// One showing of the form: its windows, and what it leaves when it closes.
struct OptionForm {
  HWND form = nullptr;
  HWND tab = nullptr;
  HWND pages[2] = {};
  HWND tooltips = nullptr;
  HWND ok = nullptr;           // OK, the first tab stop, which has the focus at load
  frmOptionControls controls;  // the state at load; read back from the windows at OK
  frmOptionMembers members;    // IsOK stays false unless OK is pressed
  bool done = false;
  std::exception_ptr failure;  // what went wrong inside the window procedure, thrown after
};

HWND Find(OptionForm& f, int id) {
  for (HWND parent : {f.form, f.pages[0], f.pages[1]}) {
    if (HWND control = GetDlgItem(parent, id)) {
      return control;
    }
  }
  return nullptr;
}

void AddTooltip(OptionForm& f, HWND control, const char16_t* text) {
  TOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<WCHAR*>(Wide(text));
  SendMessageW(f.tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND Combo(HWND page, int id, int left, int top, int width,
           const std::vector<std::u16string>& items, int selected) {
  HWND combo = MakeControl(page, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, left,
                           top, width, 300 * 6, u"", id);
  for (const std::u16string& item : items) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item)));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return combo;
}

HWND Check(HWND page, int id, int left, int top, int width, const char16_t* text) {
  return MakeControl(page, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, left, top, width, 255, text,
                     id);
}

HWND Picker(HWND page, int id, int left, const PickerDate& date) {
  HWND picker = MakeControl(page, DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT | WS_TABSTOP, left, 600,
                            1335, 255, u"", id);
  SYSTEMTIME range[2] = {};
  range[0].wYear = 1601;
  range[0].wMonth = 1;
  range[0].wDay = 1;
  range[1].wYear = 9999;
  range[1].wMonth = 12;
  range[1].wDay = 31;
  SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
  SYSTEMTIME day = {};
  day.wYear = static_cast<WORD>(date.year);
  day.wMonth = static_cast<WORD>(date.month);
  day.wDay = static_cast<WORD>(date.day);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
  return picker;
}

void Label(HWND page, int left, int top, int width, const char16_t* text, int id = 0) {
  MakeControl(page, WC_STATICW, SS_LEFT, left, top, width, 255, text, id);
}

// The page of tab 1: which entries to export.
void FillPage0(OptionForm& f) {
  HWND page = f.pages[0];
  const frmOptionControls& c = f.controls;
  Combo(page, kCmbGenre, 1680, 120, 2175, c.cmbGenreItems, c.cmbGenre);
  HWND dtpStart = Picker(page, kDtpStart, 960, c.dtpStart);
  Label(page, 2320, 640, 255, u"～", kLabel4);
  HWND dtpEnd = Picker(page, kDtpEnd, 2520, c.dtpEnd);
  Combo(page, kCmbPublish, 1680, 1080, 2175, PublishItems(), c.cmbPublish);
  HWND chkGenre = Check(page, kChkGenre, 120, 120, 1095, u"ジャンル");
  HWND chkPeriod = Check(page, kChkPeriod, 120, 600, 975, u"期間");
  HWND chkPublish = Check(page, kChkPublish, 120, 1080, 1455, u"出力設定");
  MakeControl(page, WC_STATICW, SS_LEFT, 120, 1560, 3855, 510, (u"※期間の" + PeriodNote(c)).c_str(),
              kPeriodNote);
  AddTooltip(f, chkGenre, u"ジャンルを指定してエクスポートする場合にチェックを入れます。");
  AddTooltip(f, chkPeriod, u"期間を指定してエクスポートする場合、ここにチェックを入れます。");
  AddTooltip(f, dtpStart, u"開始日を指定します。");
  AddTooltip(f, dtpEnd, u"終了日を指定します。");
  AddTooltip(f, chkPublish, u"公開/非公開設定の記事をエクスポートするかどうかを指定します。");
}

// The page of tab 2: how to write them.
void FillPage1(OptionForm& f) {
  HWND page = f.pages[1];
  const frmOptionControls& c = f.controls;
  Label(page, 240, 160, 855, u"著者");
  Label(page, 240, 645, 1215, u"改行");
  Label(page, 240, 1125, 1335, u"ハイフン");
  Label(page, 240, 1605, 1335, u"Trackback");
  Label(page, 240, 2085, 1455, u"コメント");
  Label(page, 240, 2565, 1335, u"日付");
  HWND cmbBR = Combo(page, kCmbBR, 1320, 600, 2535, BRItems(), c.cmbBR);
  HWND cmbHyphen = Combo(page, kCmbHyphen, 1320, 1080, 2535, HyphenItems(), c.cmbHyphen);
  HWND cmbPing = Combo(page, kCmbPing, 1320, 1560, 2535, AllowItems(), c.cmbPing);
  HWND cmbComment = Combo(page, kCmbComment, 1320, 2040, 2535, AllowItems(), c.cmbComment);
  HWND cmbPublishDay =
      Combo(page, kCmbPublishDay, 1320, 2520, 2535, PublishDayItems(), c.cmbPublishDay);
  MakeControl(page, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, 1320, 120, 2535, 270,
              c.txtAuthor.c_str(), kTxtAuthor, WS_EX_CLIENTEDGE);
  AddTooltip(f, cmbBR,
             u"改行の扱いを指定します。改行が続くと読み込めない場合があるので、BRタグに変換を"
             u"おすすめします。");
  AddTooltip(f, cmbHyphen,
             u"ハイフン（-）の扱いを指定します。ハイフンが続くと読み込みが途中で止まる可能性が"
             u"あるので、全角に置換することをおすすめします。");
  AddTooltip(f, cmbPing, u"トラックバック許可/不許可を指定します。ブログ全体での指定となります。");
  AddTooltip(f, cmbComment, u"コメント許可/不許可の指定をします。ブログ全体での指定となります。");
  AddTooltip(f, cmbPublishDay,
             u"日付を更新の日付とするか、Dailyquill上の日付とするかを指定します。");
}

int Selected(OptionForm& f, int id) {
  return static_cast<int>(SendMessageW(Find(f, id), CB_GETCURSEL, 0, 0));
}

bool Checked(OptionForm& f, int id) {
  return SendMessageW(Find(f, id), BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

PickerDate DateOf(OptionForm& f, int id) {
  SYSTEMTIME day = {};
  SendMessageW(Find(f, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&day));
  return PickerDate{day.wYear, day.wMonth, day.wDay};
}

void Btn_OK_Click(OptionForm& f) {
#ifdef SARNLINK_FORM_FAULTS
  // The test build's switch: a failure inside the form, as a bad index or an allocation
  // failure would be.
  if (GetEnvironmentVariableW(Wide(u"SARNLINK_FAULT_IN_FORM"), nullptr, 0) > 0) {
    throw std::out_of_range("a fault forced inside the options form");
  }
#endif
  frmOptionControls& c = f.controls;
  c.chkGenre = Checked(f, kChkGenre);
  c.chkPeriod = Checked(f, kChkPeriod);
  c.chkPublish = Checked(f, kChkPublish);
  c.cmbGenre = Selected(f, kCmbGenre);
  c.cmbPublish = Selected(f, kCmbPublish);
  c.cmbBR = Selected(f, kCmbBR);
  c.cmbHyphen = Selected(f, kCmbHyphen);
  c.cmbPing = Selected(f, kCmbPing);
  c.cmbComment = Selected(f, kCmbComment);
  c.cmbPublishDay = Selected(f, kCmbPublishDay);
  c.dtpStart = DateOf(f, kDtpStart);
  c.dtpEnd = DateOf(f, kDtpEnd);
  HWND author = Find(f, kTxtAuthor);
  std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(author)) + 1, u'\0');
  GetWindowTextW(author, reinterpret_cast<WCHAR*>(text.data()), static_cast<int>(text.size()));
  text.resize(text.size() - 1);
  c.txtAuthor = text;
  f.members = sarnlink::Btn_OK_Click(c);
  f.done = true;
}

void TabStrip1_Click(OptionForm& f) {
  const int selected = static_cast<int>(SendMessageW(f.tab, TCM_GETCURSEL, 0, 0));
  EnableWindow(f.pages[0], FALSE);
  EnableWindow(f.pages[1], FALSE);
  HWND page = f.pages[selected == 1 ? 1 : 0];
  EnableWindow(page, TRUE);
  ShowWindow(f.pages[selected == 1 ? 0 : 1], SW_HIDE);
  ShowWindow(page, SW_SHOW);
  SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  InvalidateRect(page, nullptr, TRUE);
}

LRESULT FormMessage(OptionForm* f, HWND window, UINT message, WPARAM w, LPARAM l) {
  if (f) {
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(w) == IDOK) {
          Btn_OK_Click(*f);
          return 0;
        }
        if (LOWORD(w) == IDCANCEL) {
          f->done = true;  // Btn_Cancel_Click: IsOK stays false
          return 0;
        }
        break;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(l);
        if (header->hwndFrom == f->tab && header->code == TCN_SELCHANGE) {
          TabStrip1_Click(*f);
          return 0;
        }
        if (header->code == TTN_GETDISPINFOW &&
            reinterpret_cast<HWND>(header->hwndFrom) != f->tooltips) {
          auto* info = reinterpret_cast<NMTTDISPINFOW*>(l);
          info->lpszText =
              const_cast<WCHAR*>(Wide(info->hdr.idFrom == 0 ? u"出力する期間やジャンルを設定します"
                                                            : u"出力時の詳細な設定を行います"));
          return 0;
        }
        break;
      }
      case WM_CLOSE:  // the title bar's close acts as Cancel
        f->done = true;
        return 0;
      case DM_GETDEFID:
        return DefaultButtonAnswer(window);
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, w, l);
}

// No exception may cross the system's frames back into the host: one is kept, the form closes
// as cancelled, and ShowModal throws it on.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* f = reinterpret_cast<OptionForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  try {
    return FormMessage(f, window, message, w, l);
  } catch (...) {
    if (f) {
      f->failure = std::current_exception();
      f->members = frmOptionMembers();
      f->done = true;
    }
    return 0;
  }
}

void RegisterClasses() {
  RegisterFormClass(kOptionFormClass, FormProc);
  RegisterFormClass(kPageClass, DefWindowProcW);
}

void Form_Load(OptionForm& f, HWND owner) {
  RegisterClasses();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW;
  RECT outer = {0, 0, Pixels(4650), Pixels(4320)};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  // The outer width is set to 4650 twips; the client height stays 4320.
  f.form = CreateWindowExW(ex_style, Wide(kOptionFormClass), Wide(u"MT Export/Import Option"),
                           style, CW_USEDEFAULT, CW_USEDEFAULT, Pixels(4650),
                           outer.bottom - outer.top, owner, nullptr, ThisModule(), nullptr);
  if (!f.form) {
    throw Error(ErrorKind::kUsage, "the options form cannot be shown: there is no desktop");
  }
  SetWindowLongPtrW(f.form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&f));
  f.tooltips =
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, f.form, nullptr, ThisModule(), nullptr);
  HWND ok = MakeControl(f.form, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 3720, 2055, 495,
                        u"OK", IDOK);
  MakeControl(f.form, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 2280, 3720, 2175, 495, u"Cancel",
              IDCANCEL);
  f.tab = MakeControl(f.form, WC_TABCONTROLW, TCS_TOOLTIPS | WS_TABSTOP | WS_CLIPSIBLINGS, 120, 120,
                      4335, 3495, u"", kTabStrip1);
  for (const char16_t* caption : {u"出力設定", u"詳細設定"}) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<WCHAR*>(Wide(caption));
    const int index = static_cast<int>(SendMessageW(f.tab, TCM_GETITEMCOUNT, 0, 0));
    SendMessageW(f.tab, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
  }
  f.ok = ok;
  // Both borderless pages at 240, 480; page 0 in front.
  for (int k : {1, 0}) {
    f.pages[k] = MakeControl(f.form, Wide(kPageClass), WS_CLIPSIBLINGS, 240, 480, 4095, 3015, u"",
                             k == 0 ? kPicture1Page0 : kPicture1Page1, WS_EX_CONTROLPARENT);
    SetWindowPos(f.pages[k], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  FillPage0(f);
  FillPage1(f);
  // The page behind stays enabled but is hidden as well as covered, so that Tab never reaches
  // its controls.
  ShowWindow(f.pages[1], SW_HIDE);
}

}  // namespace

frmOptionMembers Win32OptionsForm::ShowModal(const std::u16string& path_diary_mdb,
                                             const std::u16string& author) {
  OptionForm f;
  f.controls =
      LoadOptionControls(diary_, path_diary_mdb, clock_.Now());  // fails before anything is shown
  f.controls.txtAuthor = author;
  DisabledOwner owner(HostWindow());
  Form_Load(f, owner.window());
  ShowWindow(f.form, SW_SHOW);
  SetForegroundWindow(f.form);
  SetFocus(f.ok);
  if (!RunModalLoop(f.form, f.done)) {
    f.members = frmOptionMembers();  // the host is quitting: the form counts as cancelled
  }
  owner.Restore();
  DestroyWindow(f.form);
  if (f.failure) {
    std::rethrow_exception(f.failure);
  }
  f.members.PathDiaryMdb = path_diary_mdb;
  return f.members;
}

}  // namespace sarnlink
