#include "options/number_text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(NumberText, IntegersReadAsTheCLibraryReadsThemButNeverOverflow) {
  EXPECT_EQ(ParseLeadingInt("  1278"), 1278);
  EXPECT_EQ(ParseLeadingInt("-13px"), -13);
  EXPECT_EQ(ParseLeadingInt("+8"), 8);
  EXPECT_EQ(ParseLeadingInt(""), 0);
  EXPECT_EQ(ParseLeadingInt("abc"), 0);
  EXPECT_EQ(ParseLeadingInt("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseLeadingInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(NumberText, DecimalsUseAPointWhateverTheLocale) {
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_DOUBLE_EQ(ParseLeadingDouble("23.976"), 23.976);
  EXPECT_DOUBLE_EQ(ParseLeadingDouble(" 25fps"), 25.0);
  EXPECT_DOUBLE_EQ(ParseLeadingDouble("0.0005"), 0.0005);
  EXPECT_DOUBLE_EQ(ParseLeadingDouble("fast"), 0.0);
  EXPECT_DOUBLE_EQ(ParseLeadingDouble("1e999"), 0.0);
  EXPECT_DOUBLE_EQ(ParseLeadingDouble("nan"), 0.0);
}

TEST(NumberText, KilobitsBecomeBitsWithoutOverflow) {
  EXPECT_EQ(KbpsToBitsPerSecond(780), 798720);
  EXPECT_EQ(KbpsToBitsPerSecond(0), 0);
  EXPECT_EQ(KbpsToBitsPerSecond(3000000), 2147483647);
}

}  // namespace
