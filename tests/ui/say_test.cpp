// The texts a person reads: as written (the component's forms) without a translator, and the
// translator's form, singular or plural, with its placeholders filled in whatever order.
#include <gtest/gtest.h>

#include <cstring>

#include "common/say.h"

namespace sarnlink {
namespace {

// A translator that tells which form it was asked for, moving the placeholders as a language
// with another word order does.
std::string Reordering(const char* english, const char* plural, std::uint64_t count) {
  if (std::strcmp(english, "{0} of {1}") == 0) {
    return count == 1 ? "[one] {1}: {0}" : "[many] {1}: {0}";
  }
  return std::string("[") + (plural && count != 1 ? plural : english) + "]";
}

class TranslatorInstalled : public ::testing::Test {
 protected:
  void SetUp() override { SetTranslator(Reordering); }
  void TearDown() override { SetTranslator(nullptr); }
};

constexpr ShownText kCounted = ShownCount("{0} of {1}", "{0} of {1}s", u"{1}の{0}件");
constexpr ShownText kToolOnly = ShownCount("{0} entry", "{0} entries", nullptr);

TEST(Say, WithoutATranslatorShowsTheComponentsFormOrTheEnglish) {
  EXPECT_EQ(Shown(kCounted, 3, {u"日記"}), u"日記の3件");
  EXPECT_EQ(Shown(kToolOnly, 1), u"1 entry");
  EXPECT_EQ(Shown(kToolOnly, 2), u"2 entries");
  EXPECT_EQ(SayN("{0} file", "{0} files", 1), "{0} file");
  EXPECT_EQ(Fill("{1}, {0}, {0} and {9}", {"a", "b"}), "b, a, a and {9}");
  EXPECT_EQ(Fill(u"{", {u"a"}), u"{");
}

TEST_F(TranslatorInstalled, GivesTheTranslatorsFormWithItsOwnOrder) {
  EXPECT_EQ(Shown(kCounted, 1, {u"diary"}), u"[one] diary: 1");
  EXPECT_EQ(Shown(kCounted, 5, {u"diary"}), u"[many] diary: 5");
  EXPECT_EQ(Shown(kToolOnly, 2), u"[2 entries]");
  EXPECT_EQ(Say("plain"), "[plain]");
}

}  // namespace
}  // namespace sarnlink
