// The options form on a terminal: both pages' fields in the form's order, each showing its
// value (the load-time one, or what the command line gave), Enter keeping it; a "no" to a
// check box skips the fields it governs; then OK or Cancel. Escape or the end of input cancels.
#pragma once

#include <optional>

#include "common/clock.h"
#include "interface/diary_database.h"
#include "interface/export_setting.h"
#include "ui/options_form.h"
#include "ui/terminal/terminal_prompts.h"

namespace sarnlink {

class TerminalOptionsForm : public OptionsForm {
 public:
  TerminalOptionsForm(DiaryDatabase& diary, TerminalQuestions& questions, Clock& clock)
      : diary_(diary), questions_(questions), clock_(clock) {}

  frmOptionMembers ShowModal(const std::u16string& path_diary_mdb,
                             const std::u16string& author) override;

  // The settings the command line gave: the form opens showing them, as a confirmation.
  void Prefill(const ExportSetting& setting) { prefill_ = setting; }

 private:
  void ApplyPrefill(frmOptionControls& controls) const;

  // Fills the controls from the answers; false when the user cancelled.
  bool AskControls(frmOptionControls& controls);
  bool AskDate(const std::string& label, PickerDate& date);
  // Says what the period leaves out; always true, to sit among the questions.
  bool SayPeriodNote(const frmOptionControls& controls);

  std::optional<ExportSetting> prefill_;  // what the command line gave
  DiaryDatabase& diary_;                  // the genre list's source
  TerminalQuestions& questions_;          // the terminal
  Clock& clock_;                          // today, for a diary with no day
};

}  // namespace sarnlink
