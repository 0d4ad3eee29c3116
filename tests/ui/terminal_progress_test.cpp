// The terminal's progress: a bar that fits the terminal's width as it is now, plain lines off a
// terminal only for runs long enough to need them, and the closing text only when asked for.
#include <gtest/gtest.h>

#include <sstream>

#include "ui/terminal/terminal_progress.h"

namespace sarnlink {
namespace {

TEST(TerminalProgress, TheBarFitsTheTerminalAndFollowsAResize) {
  std::ostringstream status, result;
  int columns = 60;
  TerminalProgress progress(status, result, false, true, [&] { return columns; });
  progress.Show();
  progress.SetMaximum(100);
  progress.SetValue(50);
  const std::string first = status.str();
  EXPECT_EQ(first.size(), 1u + 58) << first;  // "\r", then the bar, within 59 columns
  columns = 30;
  status.str("");
  progress.SetValue(100);
  EXPECT_EQ(status.str(), "\r[######################] 100%");
}

TEST(TerminalProgress, OffATerminalOnlyALongRunWritesPlainLines) {
  std::ostringstream status, result;
  double now = 0;
  TerminalProgress progress(
      status, result, false, false, [] { return 80; }, [&] { return now; });
  progress.Show();
  progress.SetMaximum(10);
  for (const double at : {0.5, 2.9, 3.0, 4.0, 7.9, 8.0, 9.0}) {
    now = at;
    progress.SetValue(at);
  }
  EXPECT_EQ(status.str(), "sarnlink: 30% done\nsarnlink: 80% done\n");
  std::ostringstream quiet_status;
  TerminalProgress quiet(
      quiet_status, result, true, false, [] { return 80; }, [&] { return now; });
  quiet.Show();
  now = 100;
  quiet.SetValue(5);
  EXPECT_EQ(quiet_status.str(), "");
}

TEST(TerminalProgress, TheClosingTextWaitsForTheCommandAndAFailureDropsIt) {
  std::ostringstream status, result;
  TerminalProgress progress(status, result, false, true, [] { return 40; });
  progress.Show();
  progress.SetMessageText(u"\r\n3件の日記をImport完了！");
  progress.EnableOK(true);
  EXPECT_EQ(result.str(), "");
  progress.WriteResult();
  EXPECT_EQ(result.str(), "3件の日記をImport完了！\n");
  // A failure after the bar was drawn: the bar's line is cleared for the message.
  std::ostringstream failed_status, failed_result;
  TerminalProgress failed(failed_status, failed_result, false, true, [] { return 40; });
  failed.Show();
  failed.SetMaximum(10);
  failed.SetValue(5);
  failed.UnlockAfterFailure();
  failed.WriteResult();
  EXPECT_EQ(failed_result.str(), "");
  EXPECT_NE(failed_status.str().find("\r\033[K"), std::string::npos);
}

}  // namespace
}  // namespace sarnlink
