#include "ulib/ui/list_placement.h"

#include <gtest/gtest.h>

#include "ulib/ui/grid_scale.h"

namespace {

struct PlaceCase {
  const char* name;
  int top, bottom, left, right;
  int clientWidth, clientHeight;
  ListRect pixels;
  ListRect scaled;  // with 1.4 and 2.05
};

TEST(ListPlacementTest, PixelsAndGridUnits) {
  const PlaceCase kCases[] = {
      // The pair list: from x = -1 to 498, from y = 500 to one pixel above the bottom.
      {"pair list", 500, -1, -1, 498, 1000, 800, {-1, 500, 499, 299}, {0, 1026, 699, 0}},
      {"fixed box", 10, 110, 20, 220, 1000, 800, {20, 10, 200, 100}, {29, 22, 281, 206}},
      {"result list", 120, -1, -1, -1, 600, 700, {-1, 120, 600, 579}, {0, 247, 601, 454}},
      // Too small a parent gave negative sizes; a list is then 0 wide or high.
      {"parent too small", 500, -1, 600, -1, 300, 200, {600, 500, 0, 0}, {841, 1026, 0, 0}},
  };
  for (const PlaceCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ListLayout layout{};
    layout.top = c.top;
    layout.bottom = c.bottom;
    layout.left = c.left;
    layout.right = c.right;
    const ListRect p = PlaceRect(layout, c.clientWidth, c.clientHeight);
    EXPECT_EQ(p.x, c.pixels.x);
    EXPECT_EQ(p.y, c.pixels.y);
    EXPECT_EQ(p.width, c.pixels.width);
    EXPECT_EQ(p.height, c.pixels.height);
    const ListRect s = PlaceScaledRect(layout, c.clientWidth, c.clientHeight, 1.4, 2.05);
    EXPECT_EQ(s.x, c.scaled.x);
    EXPECT_EQ(s.y, c.scaled.y);
    EXPECT_EQ(s.width, c.scaled.width);
    EXPECT_EQ(s.height, c.scaled.height);
  }
}

TEST(ListPlacementTest, GridRuleTruncatesTowardZero) {
  EXPECT_EQ(gridScaleX, 1.4);
  EXPECT_EQ(gridScaleY, 2.05);
  EXPECT_EQ(GridToPixels(-1, 1.4), 0);    // trunc(-0.2)
  EXPECT_EQ(GridToPixels(-2, 1.4), -1);   // trunc(-1.6)
  EXPECT_EQ(GridToPixels(100, 2.05), 206);
}

}  // namespace
