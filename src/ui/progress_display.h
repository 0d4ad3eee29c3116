// Port: the progress window the drivers fill while a run is under way (frmProgress on Windows,
// status lines and a bar on a terminal). The operations are the ones the drivers perform, in
// the order of a run.
#pragma once

#include <string>

namespace sarnlink {

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  // Shows the window modeless, reusing one still open from an earlier run.
  virtual void Show() = 0;
  virtual void SetCaption(const std::u16string& caption) = 0;
  // The title line (txtTitle) and the message area (txtText).
  virtual void SetTitleText(const std::u16string& text) = 0;
  virtual void SetMessageText(const std::u16string& text) = 0;
  // Btn_OK: disabled while running, enabled when the run has finished.
  virtual void EnableOK(bool enabled) = 0;
  // ProgressBar1's maximum and value.
  virtual void SetMaximum(double maximum) = 0;
  virtual double Maximum() const = 0;
  virtual double Value() const = 0;
  virtual void SetValue(double value) = 0;
  // Lets pending window messages be processed, then repaints.
  virtual void Refresh() = 0;
  // A run ended in an error before enabling OK: the window must not stay locked.
  virtual void UnlockAfterFailure() = 0;
};

// The texts the drivers show.
inline constexpr char16_t kProgressCaption[] = u"MT Imp/Exp for Dailyquill";

// The opening of every run: the window shown, its caption and title line set, OK disabled.
inline void StartProgress(ProgressDisplay& progress, const std::u16string& title) {
  progress.Show();
  progress.SetCaption(kProgressCaption);
  progress.SetTitleText(title);
  progress.EnableOK(false);
}

}  // namespace sarnlink
