#include "ui/terminal/terminal_options_form.h"

#include <algorithm>
#include <cstdio>

#include "common/say.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

std::vector<std::string> Utf8Items(const std::vector<std::u16string>& items) {
  std::vector<std::string> out;
  for (const auto& item : items) {
    out.push_back(ToUtf8(item));
  }
  return out;
}

// The comment list of the terminal form: the dialog's two items, and the third value that
// blog software takes (comments closed), which the command line offers too.
std::vector<std::u16string> CommentItems() {
  std::vector<std::u16string> items = AllowItems();
  items.push_back(FromUtf8(Say("Closed")));
  return items;
}

// A yyyy/mm/dd day as a picker's day; the picker's own day when the text is none.
PickerDate PickerDateOf(const std::u16string& day, PickerDate fallback) {
  PickerDate date;
  if (std::sscanf(ToUtf8(day).c_str(), "%d/%d/%d", &date.year, &date.month, &date.day) == 3 &&
      IsPickerDate(date)) {
    return date;
  }
  return fallback;
}

}  // namespace

void TerminalOptionsForm::ApplyPrefill(frmOptionControls& c) const {
  const ExportSetting& s = *prefill_;
  if (!s.stGenre.empty()) {
    c.chkGenre = true;
    const auto found = std::find(c.cmbGenreItems.begin(), c.cmbGenreItems.end(), s.stGenre);
    c.cmbGenre = static_cast<int>(found - c.cmbGenreItems.begin());
    if (found == c.cmbGenreItems.end()) {
      c.cmbGenreItems.push_back(s.stGenre);  // kept, though the diary has none of it
    }
  }
  if (!s.stStartDay.empty() || !s.stEndDay.empty()) {
    c.chkPeriod = true;
    c.dtpStart = PickerDateOf(s.stStartDay, c.dtpStart);
    c.dtpEnd = PickerDateOf(s.stEndDay, c.dtpEnd);
  }
  if (s.intPublish == 1 || s.intPublish == 2) {
    c.chkPublish = true;
    c.cmbPublish = s.intPublish;
  }
  c.cmbBR = s.intBR != 0 ? 1 : 0;
  c.cmbHyphen = s.intHyphen == 1 ? 1 : 0;
  c.cmbPing = s.intAllowPing == 0 ? 0 : 1;
  c.cmbComment = std::clamp<int>(s.intAllowComment, 0, 2);
  c.cmbPublishDay = s.intPublishDay == 1 ? 1 : 0;
}

frmOptionMembers TerminalOptionsForm::ShowModal(const std::u16string& path_diary_mdb,
                                                const std::u16string& author) {
  frmOptionControls controls = LoadOptionControls(diary_, path_diary_mdb, clock_.Now());
  controls.txtAuthor = author;
  if (prefill_) {
    ApplyPrefill(controls);
  }
  questions_.out() << "MT Export/Import Option\n";
  frmOptionMembers members;  // IsOK stays false unless OK is chosen
  if (AskControls(controls)) {
    const auto ok = questions_.AskYesNo(Say("Export with these settings? (n: cancel)"), true);
    if (ok && *ok) {
      members = Btn_OK_Click(controls);
    }
  }
  members.PathDiaryMdb = path_diary_mdb;
  return members;
}

bool TerminalOptionsForm::AskControls(frmOptionControls& c) {
  auto choose = [this](const std::string& label, const std::vector<std::u16string>& items,
                       int& index) {
    const auto answer = questions_.AskChoice(label, Utf8Items(items), index);
    if (answer) {
      index = *answer;
    }
    return answer.has_value();
  };
  auto check = [this](const std::string& label, bool& value) {
    const auto answer = questions_.AskYesNo(label, value);
    if (answer) {
      value = *answer;
    }
    return answer.has_value();
  };
  // A field governed by a check box is asked only when the box is ticked.
  questions_.out() << Say("-- Output (the period and genre to export)") << "\n";
  if (!check(Say("Genre: export one genre only"), c.chkGenre) ||
      !(!c.chkGenre || choose(Say("Genre"), c.cmbGenreItems, c.cmbGenre)) ||
      !check(Say("Period: export a period only"), c.chkPeriod) ||
      !(!c.chkPeriod || (SayPeriodNote(c) && AskDate(Say("Start day"), c.dtpStart) &&
                         AskDate(Say("End day"), c.dtpEnd))) ||
      !check(Say("Publishing: export public or private entries only"), c.chkPublish) ||
      !(!c.chkPublish || choose(Say("Public or private"), PublishItems(), c.cmbPublish))) {
    return false;
  }
  questions_.out() << Say("-- Details (how the entries are written)") << "\n";
  const auto author = questions_.Ask(
      Fill(Say("Author [{0}] (Enter keeps it, - empties it): "), {ToUtf8(c.txtAuthor)}));
  if (!author) {
    return false;
  }
  if (*author == "-") {
    c.txtAuthor.clear();
  } else if (!author->empty()) {
    c.txtAuthor = FromUtf8(*author);
  }
  return choose(Say("Line breaks"), BRItems(), c.cmbBR) &&
         choose(Say("Hyphens"), HyphenItems(), c.cmbHyphen) &&
         choose("Trackback", AllowItems(), c.cmbPing) &&
         choose(Say("Comments"), CommentItems(), c.cmbComment) &&
         choose(Say("Date"), PublishDayItems(), c.cmbPublishDay);
}

bool TerminalOptionsForm::SayPeriodNote(const frmOptionControls& controls) {
  questions_.out() << "  (" << ToUtf8(PeriodNote(controls)) << ")\n";
  return true;
}

bool TerminalOptionsForm::AskDate(const std::string& label, PickerDate& date) {
  while (true) {
    const auto answer = questions_.Ask(label + " [" + ToUtf8(PickerDateText(date)) + "]: ");
    if (!answer) {
      return false;
    }
    if (answer->empty()) {
      return true;
    }
    PickerDate typed;
    char extra = 0;
    if (std::sscanf(answer->c_str(), "%d/%d/%d%c", &typed.year, &typed.month, &typed.day, &extra) ==
            3 &&
        IsPickerDate(typed)) {
      date = typed;
      return true;
    }
    questions_.out() << Say("  Type a day from 1601/01/01 to 9999/12/31 as yyyy/mm/dd") << "\n";
  }
}

}  // namespace sarnlink
