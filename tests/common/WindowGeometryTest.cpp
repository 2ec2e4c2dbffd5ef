// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowGeometry.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(WindowGeometry, TwipsArePixelsAtTheScreensLogicalInch) {
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(8400, 96), 560);
  EXPECT_EQ(TwipsToPixels(300, 144), 30);
  EXPECT_EQ(TwipsToPixels(-300, 96), -20);
  EXPECT_EQ(PixelsToTwips(560, 96), 8400);
  EXPECT_EQ(PixelsToTwips(20, 120), 240);
  EXPECT_EQ(TwipsText(4995.4), QStringLiteral("4995"));
  bool stored = true;
  EXPECT_EQ(StoredTwips(QString(), 123, &stored), 123);
  EXPECT_FALSE(stored);
  EXPECT_EQ(StoredTwips(QStringLiteral("x"), 7, &stored), 7);
  EXPECT_FALSE(stored);
  EXPECT_EQ(StoredTwips(QStringLiteral(" -300 "), 7, &stored), -300);
  EXPECT_TRUE(stored);
  EXPECT_EQ(StoredTwips(QStringLiteral("1e300"), 7), 7);
}

}  // namespace
}  // namespace qarno
