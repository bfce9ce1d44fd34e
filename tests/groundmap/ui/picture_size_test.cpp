#include "groundmap/ui/picture_size.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PictureSizeTest, EndsShortOfTheWindowsOuterEdgesWithinTheImagesLimits) {
  struct Case {
    const char* what;
    int right, bottom, left, top;
    int w, h;
  };
  const Case cases[] = {
      {"picture at the window's corner", 1300, 800, 0, 0, 1288, 784},
      {"window away from the screen's origin", 1400, 900, 100, 145, 1288, 739},
      // The same window measured from its frame's corner: outer size and the picture's offset.
      {"window measured from its frame's corner", 1300, 755, 0, 0, 1288, 739},
      // 1300 - 12 - 9 = 1279 rounds down to 1276: 9 to 12 pixels short, never more.
      {"width rounded down to a multiple of 4", 1300, 800, 12, 0, 1276, 784},
      {"width already a multiple of 4 after the 9", 1301, 800, 12, 0, 1280, 784},
      {"largest picture", 1929, 1216, 0, 0, 1920, 1200},
      {"wider and taller than the image", 4000, 3000, 0, 0, 1920, 1200},
      {"just too narrow for a picture", 12, 800, 0, 0, 0, 784},
      {"just wide enough for 4 columns", 13, 800, 0, 0, 4, 784},
      {"bottom edge 16 below the picture", 800, 516, 0, 500, 788, 0},
      // Before, nothing bounded them below: a window smaller than its limits gave a negative size.
      {"window narrower than the picture's offset", 5, 800, 100, 0, 0, 784},
      {"window shorter than the picture's offset", 800, 20, 0, 100, 788, 0},
      {"far apart coordinates", INT_MAX, INT_MAX, INT_MIN, INT_MIN, 1920, 1200},
      {"far apart the other way", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PictureSize size = GmapPictureSize(c.right, c.bottom, c.left, c.top);
    EXPECT_EQ(size.W, c.w);
    EXPECT_EQ(size.H, c.h);
    EXPECT_EQ(size.W % 4, 0);
  }
}

}  // namespace
