#include "ui/terminal/terminal_progress.h"

#include <algorithm>
#include <cmath>

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

void TerminalProgress::Show() {
  // Each run on a terminal starts a fresh window.
  maximum_ = 100;
  value_ = 0;
  drawn_percent_ = -1;
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
  if (quiet_ || !live_bar_ || maximum_ <= 0) {
    return;
  }
  const int percent = static_cast<int>(std::clamp(value_ / maximum_, 0.0, 1.0) * 100);
  if (percent == drawn_percent_) {
    return;
  }
  drawn_percent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  status_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent << "%"
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
