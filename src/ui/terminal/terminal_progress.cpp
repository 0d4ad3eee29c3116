#include "ui/terminal/terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "common/say.h"
#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

// A message as terminal lines: CR LF becomes a newline, leading empty lines are dropped.
std::string TerminalLines(const std::u16string& text) {
  std::string lines = ToUtf8(ReplaceAll(text, u"\r\n", u"\n"));
  lines.erase(0, lines.find_first_not_of('\n'));
  return lines;
}

}  // namespace

int TerminalProgress::TerminalWidth() {
  struct winsize size = {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  return 80;
}

double TerminalProgress::SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TerminalProgress::Show() {
  // Each run on a terminal starts a fresh window.
  maximum_ = 100;
  value_ = 0;
  drawn_percent_ = -1;
  started_ = seconds_();
  last_line_ = -1;
}

void TerminalProgress::SetTitleText(const std::u16string& text) {
  if (!quiet_) {
    EndBarLine();
    status_ << ToUtf8(text) << "\n" << std::flush;
  }
}

void TerminalProgress::SetMessageText(const std::u16string& text) {
  message_ = text;
  message_pending_ = true;
}

void TerminalProgress::Refresh() {
  if (message_pending_ && !quiet_) {
    EndBarLine();
    status_ << TerminalLines(message_) << "\n" << std::flush;
  }
  message_pending_ = false;
}

void TerminalProgress::EnableOK(bool enabled) {
  if (!enabled) {
    return;
  }
  if (!quiet_) {
    EndBarLine();
    result_pending_ = TerminalLines(message_) + "\n";
  }
  message_pending_ = false;
}

void TerminalProgress::WriteResult() {
  result_ << result_pending_ << std::flush;
  result_pending_.clear();
}

void TerminalProgress::SetValue(double value) {
  value_ = value;
  if (quiet_ || maximum_ <= 0) {
    return;
  }
  const int percent = static_cast<int>(std::clamp(value_ / maximum_, 0.0, 1.0) * 100);
  if (live_bar_) {
    DrawBar(percent);
  } else {
    WritePlainProgress(percent);
  }
}

void TerminalProgress::DrawBar(int percent) {
  if (percent == drawn_percent_) {
    return;
  }
  drawn_percent_ = percent;
  // "[", the bar, "] 100%", and a column left free so that the terminal never wraps.
  const int width = std::max(width_() - 8, 10);
  const int filled = percent * width / 100;
  status_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << percent << "%"
          << std::flush;
}

// Off a terminal a run says how far it is every five seconds, after its first three: a run
// that ends within a second says nothing.
void TerminalProgress::WritePlainProgress(int percent) {
  const double now = seconds_();
  if (now - started_ < 3 || (last_line_ >= 0 && now - last_line_ < 5)) {
    return;
  }
  last_line_ = now;
  // xgettext:no-c-format
  status_ << "sarnlink: " << Fill(Say("{0}% done"), {std::to_string(percent)}) << "\n"
          << std::flush;
}

void TerminalProgress::UnlockAfterFailure() {
  if (!quiet_ && live_bar_ && drawn_percent_ >= 0) {
    // The bar's line is cleared, the "^C" a terminal echoes with it, so that what happened is
    // said on a line of its own.
    status_ << "\r\033[K" << std::flush;
    drawn_percent_ = -1;
  }
  result_pending_.clear();
}

void TerminalProgress::EndBarLine() {
  if (drawn_percent_ >= 0) {
    status_ << "\n";
    drawn_percent_ = -1;
  }
}

}  // namespace sarnlink
