// The progress display on a terminal: the title and status messages as lines on stderr, a live
// bar as wide as the terminal when stderr is one (else, for a long run, a plain progress line
// every few seconds), and the closing message on stdout once the run has finished.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "ui/progress_display.h"

namespace sarnlink {

class TerminalProgress : public ProgressDisplay {
 public:
  // `status` takes the running texts and the bar, `result` the closing message. With `quiet`
  // nothing is written; with `live_bar` the bar is redrawn in place on `status`, `width` columns
  // wide (asked again at every redraw, so that it follows a resize). `seconds` is the clock of
  // the plain progress lines.
  TerminalProgress(std::ostream& status, std::ostream& result, bool quiet, bool live_bar,
                   std::function<int()> width = TerminalWidth,
                   std::function<double()> seconds = SteadySeconds)
      : status_(status),
        result_(result),
        quiet_(quiet),
        live_bar_(live_bar),
        width_(std::move(width)),
        seconds_(std::move(seconds)) {}

  // The columns of the terminal on stderr, 80 when it says nothing.
  static int TerminalWidth();
  static double SteadySeconds();

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
  void DrawBar(int percent);
  void WritePlainProgress(int percent);

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
  std::function<int()> width_;
  std::function<double()> seconds_;
  double started_ = 0;     // when the run was shown
  double last_line_ = -1;  // when the latest plain progress line was written
};

}  // namespace sarnlink
