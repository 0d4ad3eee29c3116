// Shared by the test programs that run under Wine: the count of checks passed and failed, a line
// for each failure, and the summary line the test scripts look for.
#pragma once

#include <cstdio>
#include <string>

inline int g_passed = 0;
inline int g_failed = 0;

inline void Check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

// Prints "NAME: N passed, M failed" and gives the program's exit status.
inline int Summary(const char* name) {
  std::printf("%s: %d passed, %d failed\n", name, g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
