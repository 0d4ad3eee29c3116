// The terminal forms as a user drives them in a real pseudo-terminal: Escape and Ctrl-D cancel
// and write nothing, a "no" skips what it governs, the flags prefill the options form, a period
// left as it loads exports everything, and the author prompt lists the file's authors and takes
// blank as everyone.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace sarnlink {
namespace {

using testing::Quote;
using testing::RunSarnlink;
using testing::RunShell;

struct TerminalRun {
  int status;
  std::string screen;  // everything the terminal showed, the echoed answers included
};

// Runs the tool on a pseudo-terminal, typing `keys` as a user would.
TerminalRun RunOnTerminal(const std::vector<std::string>& arguments, const std::string& keys) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    testing::ExecSarnlink(arguments);
  }
  TerminalRun run{-1, ""};
  if (::write(terminal, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
    return run;
  }
  char buffer[4096];
  while (true) {
    // A tool still waiting for an answer after ten seconds was given too few: end it, so that
    // the test fails instead of hanging.
    pollfd ready{terminal, POLLIN, 0};
    if (::poll(&ready, 1, 10000) == 0) {
      kill(child, SIGKILL);
      run.screen += "\n[no more output: killed waiting for an answer]";
    }
    const ssize_t got = ::read(terminal, buffer, sizeof buffer);
    if (got <= 0) {
      break;  // the tool has ended and closed its side
    }
    run.screen.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

using TerminalForms = testing::SampleDiaryTest;

struct CancelCase {
  const char* name;
  const char* keys;
};

class CancelledForms : public TerminalForms, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledForms, WriteNothingAndExitOne) {
  const auto exported =
      RunOnTerminal({"export", "--ask", "--db", db, "--out", out}, GetParam().keys);
  EXPECT_EQ(exported.status, 1) << exported.screen;
  EXPECT_FALSE(std::filesystem::exists(out));
  testing::WriteText(out, "AUTHOR: a\r\nTITLE: t\r\n--------\r\n");
  const std::string answer_yes = std::string("y\r") + GetParam().keys;
  const auto imported =
      RunOnTerminal({"import", "--ask-author", "--db", db, "--in", out}, answer_yes);
  EXPECT_EQ(imported.status, 1) << imported.screen;
  EXPECT_NE(imported.screen.find("nothing was imported"), std::string::npos) << imported.screen;
  EXPECT_EQ(
      RunShell("sqlite3 " + Quote(db) + " 'SELECT COUNT(*) FROM Contents WHERE Title = \"t\"'").out,
      "0\n");
}

INSTANTIATE_TEST_SUITE_P(Keys, CancelledForms,
                         ::testing::Values(CancelCase{"Escape", "\x1b\r"},
                                           CancelCase{"CtrlD", "\x04"}),
                         testing::ByName());

TEST_F(TerminalForms, TheFlagsPrefillTheOptionsFormAndANoSkipsItsFields) {
  // Every answer blank: the form is a confirmation of what the command line gave. The genre box
  // is ticked by --genre, so its list is asked; the period and publish boxes are not, so their
  // days and list are skipped. Then author, BR, hyphen, pings, comments, day and OK.
  const auto run = RunOnTerminal({"export", "--ask", "--db", db, "--out", out, "--genre", "旅行",
                                  "--no-br", "--author", "Taro"},
                                 std::string(11, '\r'));
  ASSERT_EQ(run.status, 0) << run.screen;
  EXPECT_EQ(run.screen.find("Start day"), std::string::npos) << "a skipped field was asked";
  EXPECT_EQ(run.screen.find("番号"), std::string::npos) << "a Japanese prompt in an English run";
  const std::string text = testing::ReadText(out);
  EXPECT_EQ(text.rfind("AUTHOR: Taro\r\n", 0), 0u) << text;
  EXPECT_EQ(text.find("CATEGORY: 日記"), std::string::npos);
  EXPECT_NE(text.find("CATEGORY: 旅行"), std::string::npos);
  EXPECT_EQ(text.find("<BR>"), std::string::npos);
}

TEST_F(TerminalForms, APeriodLeftAsItLoadsExportsEveryEntry) {
  // Genre box no, period box yes with both days as they load, then every other answer blank.
  const auto run =
      RunOnTerminal({"export", "--ask", "--db", db, "--out", out}, "\ry\r" + std::string(10, '\r'));
  ASSERT_EQ(run.status, 0) << run.screen;
  // The sample diary's days run from 2006/01/01 to 2006/12/31.
  EXPECT_NE(run.screen.find("Start day [2005/12/31]"), std::string::npos) << run.screen;
  EXPECT_NE(run.screen.find("End day [2007/01/01]"), std::string::npos) << run.screen;
  EXPECT_NE(run.screen.find("the start and end days themselves are not included"), std::string::npos) << run.screen;
  const std::string text = testing::ReadText(out);
  std::size_t entries = 0;
  for (auto at = text.find("\r\n--------\r\n"); at != std::string::npos;
       at = text.find("\r\n--------\r\n", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(entries, 32u);
  EXPECT_EQ(run.screen.find("entries without a day"), std::string::npos) << "the sample has none";
  // A diary with entries whose Day is Null or empty says that no period holds them.
  RunShell("sqlite3 " + Quote(db) + " < " + Quote(testing::DataFile("odd-rows.sql")));
  const auto odd = RunOnTerminal({"export", "--ask", "--db", db, "--out", out, "--overwrite"},
                                 "\ry\r" + std::string(10, '\r'));
  EXPECT_NE(odd.screen.find("nor are entries without a day"), std::string::npos) << odd.screen;
}

TEST_F(TerminalForms, TheAuthorPromptListsTheFilesAuthorsAndBlankIsEveryone) {
  testing::WriteText(out,
                     "AUTHOR: Hanako\nTITLE: a\n--------\nAUTHOR: Taro\nTITLE: b\n--------\n"
                     "AUTHOR: Hanako\nTITLE: c\n--------\n");
  const auto blank =
      RunOnTerminal({"import", "--dry-run", "--ask-author", "--db", db, "--in", out}, "y\r   \r");
  EXPECT_EQ(blank.status, 0) << blank.screen;
  EXPECT_NE(blank.screen.find("(The authors of this file: Hanako: 2 entries, Taro: 1 entry)"), std::string::npos)
      << blank.screen;
  EXPECT_NE(blank.screen.find("3 entries would be stored"), std::string::npos) << blank.screen;
  const auto one =
      RunOnTerminal({"import", "--dry-run", "--ask-author", "--db", db, "--in", out}, "y\rTaro\r");
  EXPECT_NE(one.screen.find("1 entry would be stored"), std::string::npos) << one.screen;
  const auto no =
      RunOnTerminal({"import", "--dry-run", "--ask-author", "--db", db, "--in", out}, "n\r");
  EXPECT_NE(no.screen.find("3 entries would be stored"), std::string::npos) << no.screen;
}

}  // namespace
}  // namespace sarnlink
