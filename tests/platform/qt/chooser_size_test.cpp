#include "platform/qt/chooser_size.h"

#include <gtest/gtest.h>


namespace {

// Base units of a common 9-point sans font, and of the same font at a larger font DPI.
constexpr platform::DialogBaseUnits kPlain{7.0, 16.0};
constexpr platform::DialogBaseUnits kLarge{8.75, 20.0};

// Before, the choosers opened at Qt's small default size and cut every column short.
TEST(ChooserSizeTest, WideEnoughForEveryColumnOnALargeScreen) {
  for (const platform::DialogBaseUnits units : {kPlain, kLarge}) {
    SCOPED_TRACE(units.charWidth);
    const QRect screen(0, 0, 1920, 1170);  // 1920 x 1200 less a panel
    const QSize size = platform::ChooserSize(screen, units);
    // Side bar about 22 characters, then the name, a size, a type and a date with seconds.
    const int columns = static_cast<int>((22 + 40 + 12 + 16 + 22) * units.charWidth);
    EXPECT_GE(size.width(), columns);
    EXPECT_GE(size.height(), static_cast<int>(25 * units.charHeight)) << "a good many rows";
    EXPECT_LE(size.width(), screen.width());
    EXPECT_LE(size.height(), screen.height());
  }
}

TEST(ChooserSizeTest, StaysWithinASmallScreen) {
  struct Case {
    QRect available;
  };
  const Case cases[] = {{QRect(0, 0, 800, 600)}, {QRect(0, 24, 1024, 744)},
                        {QRect(1920, 0, 640, 480)}, {QRect(0, 0, 1, 1)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.available.width());
    const QSize size = platform::ChooserSize(c.available, kLarge);
    EXPECT_GE(size.width(), 1);
    EXPECT_GE(size.height(), 1);
    EXPECT_LE(size.width(), c.available.width());
    EXPECT_LE(size.height(), c.available.height());
  }
  // A screen with room enough gives the same size wherever it starts.
  EXPECT_EQ(platform::ChooserSize(QRect(0, 0, 2560, 1440), kPlain),
            platform::ChooserSize(QRect(-2560, 0, 2560, 1440), kPlain));
}

}  // namespace
