#include <gtest/gtest.h>

#include "dialogs/dialog_support.h"

namespace {

TEST(ReadNumber, ReadsLikeAtolAndSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(dialogs::ReadNumber(L""), 0);
  EXPECT_EQ(dialogs::ReadNumber(L"   "), 0);
  EXPECT_EQ(dialogs::ReadNumber(L"42"), 42);
  EXPECT_EQ(dialogs::ReadNumber(L"  +7days"), 7);
  EXPECT_EQ(dialogs::ReadNumber(L"-3"), -3);
  EXPECT_EQ(dialogs::ReadNumber(L"x12"), 0);
  EXPECT_EQ(dialogs::ReadNumber(L"007"), 7);
  EXPECT_EQ(dialogs::ReadNumber(L"2147483647"), 2147483647);
  EXPECT_EQ(dialogs::ReadNumber(L"99999999999999999999"), 2147483647);
  EXPECT_EQ(dialogs::ReadNumber(L"-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
