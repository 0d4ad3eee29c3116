#include <gtest/gtest.h>

#include "common/errors.h"
#include "interface/information.h"

namespace sarnlink {
namespace {

TEST(Information, ThisRelease) {
  const Information info;
  EXPECT_EQ(info.GetVersion(), 100);
  EXPECT_EQ(info.GetVersionMajor(), 1);
  EXPECT_EQ(info.GetVersionMinor(), 0);
  EXPECT_EQ(info.GetVersionRevision(), 0);
}

TEST(Information, PartsAreJoinedWithoutWidth) {
  EXPECT_EQ(Information(2, 5, 13).GetVersion(), 2513);
  EXPECT_EQ(Information(1, 23, 4).GetVersion(), Information(12, 3, 4).GetVersion());
  EXPECT_EQ(Information(3, 27, 67).GetVersion(), 32767);
}

TEST(Information, JoinedNumberPast32767Overflows) {
  for (const Information& info : {Information(3, 27, 68), Information(400, 0, 0)}) {
    try {
      info.GetVersion();
      FAIL() << "no overflow";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::kOverflow);
    }
    EXPECT_GE(info.GetVersionMajor(), 3);  // the part methods cannot fail
  }
}

}  // namespace
}  // namespace sarnlink
