#include "ui/terminal/terminal_options_form.h"

#include <cstdio>

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

}  // namespace

frmOptionMembers TerminalOptionsForm::ShowModal(const std::u16string& path_diary_mdb,
                                                const std::u16string& author) {
  frmOptionControls controls = LoadOptionControls(diary_, path_diary_mdb);
  controls.txtAuthor = author;
  questions_.out() << "MT Export/Import Option\n";
  frmOptionMembers members;  // IsOK stays false unless OK is chosen
  if (AskControls(controls)) {
    const auto ok = questions_.AskYesNo("OK (n: Cancel)", true);
    if (ok && *ok) {
      members = Btn_OK_Click(controls);
    }
  }
  members.PathDiaryMdb = path_diary_mdb;
  return members;
}

bool TerminalOptionsForm::AskControls(frmOptionControls& c) {
  auto choose = [this](const char* label, const std::vector<std::u16string>& items, int& index) {
    const auto answer = questions_.AskChoice(label, Utf8Items(items), index);
    if (answer) {
      index = *answer;
    }
    return answer.has_value();
  };
  auto check = [this](const char* label, bool& value) {
    const auto answer = questions_.AskYesNo(label, value);
    if (answer) {
      value = *answer;
    }
    return answer.has_value();
  };
  questions_.out() << "-- 出力設定 (出力する期間やジャンルを設定します)\n";
  if (!check("ジャンル: ジャンルを指定してエクスポートする", c.chkGenre) ||
      !choose("ジャンル", c.cmbGenreItems, c.cmbGenre) ||
      !check("期間: 期間を指定してエクスポートする", c.chkPeriod) ||
      !AskDate("開始日", c.dtpStart) || !AskDate("終了日", c.dtpEnd) ||
      !check("出力設定: 公開/非公開設定の記事をエクスポートするかどうかを指定する", c.chkPublish) ||
      !choose("公開/非公開", kPublishItems, c.cmbPublish)) {
    return false;
  }
  questions_.out() << "-- 詳細設定 (出力時の詳細な設定を行います)\n";
  const auto author =
      questions_.Ask("著者 [" + ToUtf8(c.txtAuthor) + "] (Enter keeps it, - empties it): ");
  if (!author) {
    return false;
  }
  if (*author == "-") {
    c.txtAuthor.clear();
  } else if (!author->empty()) {
    c.txtAuthor = FromUtf8(*author);
  }
  return choose("改行", kBRItems, c.cmbBR) && choose("ハイフン", kHyphenItems, c.cmbHyphen) &&
         choose("Trackback", kAllowItems, c.cmbPing) &&
         choose("コメント", kAllowItems, c.cmbComment) &&
         choose("日付", kPublishDayItems, c.cmbPublishDay);
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
    questions_.out() << "  a day from 1601/01/01 to 9999/12/31, as yyyy/mm/dd\n";
  }
}

}  // namespace sarnlink
