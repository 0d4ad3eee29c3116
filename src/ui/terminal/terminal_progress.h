// The progress display on a terminal: the title and status messages as lines on stderr, a live
// bar when stderr is a terminal, and the closing message on stdout once the run has finished.
#pragma once

#include <ostream>
#include <string>

#include "ui/progress_display.h"

namespace sarnlink {

class TerminalProgress : public ProgressDisplay {
 public:
  // `status` takes the running texts and the bar, `result` the closing message. With `quiet`
  // nothing is written; with `live_bar` the bar is redrawn in place on `status`.
  TerminalProgress(std::ostream& status, std::ostream& result, bool quiet, bool live_bar)
      : status_(status), result_(result), quiet_(quiet), live_bar_(live_bar) {}

  void Show() override;
  // A terminal has no window caption to set.
  void SetCaption(const std::u16string&) override {}
  void SetTitleText(const std::u16string& text) override;
  void SetMessageText(const std::u16string& text) override;
  void EnableOK(bool enabled) override;
  void SetMaximum(double maximum) override { maximum_ = maximum; }
  double Maximum() const override { return maximum_; }
  double Value() const override { return value_; }
  void SetValue(double value) override;
  void Refresh() override;
  void UnlockAfterFailure() override;

  // Writes the closing message of a run that finished, once the command knows it did what the
  // message says; a command that fails after the run never writes it.
  void WriteResult();

 private:
  void EndBarLine();

  std::ostream& status_;          // stderr: title, status lines, bar
  std::ostream& result_;          // stdout: the closing message
  bool quiet_;                    // write nothing
  bool live_bar_;                 // redraw the bar in place
  std::u16string message_;        // the latest message text
  bool message_pending_ = false;  // set but not yet written
  std::string result_pending_;    // the closing message, until WriteResult
  double maximum_ = 100;          // the bar's maximum, 100 when freshly shown
  double value_ = 0;              // the bar's value
  int drawn_percent_ = -1;        // the percentage last drawn, -1 when no bar is on screen
};

}  // namespace sarnlink
