// frmProgress: the progress window on Windows. Modeless, without an owner, one per thread of
// the host; it refuses to close (title bar, Alt+F4, a request from code) until its OK button is
// pressed, whatever becomes of the objects that ran: the user reads the result first. While it
// exists it holds the module: the DLL is not unloaded under a window whose procedure lives in it.
// The bar's maximum and value are kept here too, since the drivers read them back; so a run
// without a desktop still works through it.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "ui/progress_display.h"

namespace sarnlink {

class frmProgress : public ProgressDisplay {
 public:
  // `hold_module(true)` when the window is made, `hold_module(false)` when it is gone.
  explicit frmProgress(std::function<void(bool)> hold_module = {})
      : hold_module_(std::move(hold_module)) {}
  // Leaves a window that is still up alone: only the thread that made it may destroy it.
  ~frmProgress() override = default;

  void Show() override;
  void SetCaption(const std::u16string& caption) override;
  void SetTitleText(const std::u16string& text) override;
  void SetMessageText(const std::u16string& text) override;
  void EnableOK(bool enabled) override;
  void SetMaximum(double maximum) override;
  double Maximum() const override { return maximum_; }
  double Value() const override { return value_; }
  void SetValue(double value) override;
  void Refresh() override;
  void UnlockAfterFailure() override { EnableOK(true); }

  // Public member of the form: whether the window may be closed; true only after OK.
  bool EnableBatsuBtn = false;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Message(HWND window, UINT message, WPARAM w, LPARAM l);
  void Form_Load();
  void Btn_OK_Click();
  void CreateControls();

  HWND window_ = nullptr;        // the window while it is loaded
  HWND txtTitle_ = nullptr;      // the title line
  HWND txtText_ = nullptr;       // the message area
  HWND ProgressBar1_ = nullptr;  // the bar
  HWND Btn_OK_ = nullptr;        // the OK button
  std::function<void(bool)> hold_module_;
  std::exception_ptr failure_;  // what went wrong inside the window procedure, thrown by Refresh
  std::u16string caption_ = u"ProgressWindow";
  double maximum_ = 100;  // ProgressBar1's maximum
  double value_ = 0;      // ProgressBar1's value
};

}  // namespace sarnlink
