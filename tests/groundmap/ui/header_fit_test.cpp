#include "groundmap/ui/header_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(GmapHeaderFitTest, ControlsMoveLeftAsFarAsTheNameBoxAllowsAndSaveWrapsWhenCutOff) {
  struct Case {
    const char* what;
    int page, kept, save, name, gap;
    int shift;
    bool wrapped;
  };
  const Case cases[] = {
      {"wide page: every control at its own place", 500, 329, 418, 119, 100, 0, false},
      {"page just wide enough for save", 418, 329, 418, 119, 100, 0, false},
      {"save one pixel past the edge", 417, 329, 418, 119, 100, 0, true},
      {"pan arrows just inside", 329, 329, 418, 119, 100, 0, true},
      {"least window: pan arrows moved inside", 310, 329, 418, 119, 100, 19, true},
      {"the box gives up at most half its width", 200, 329, 418, 119, 100, 59, true},
      {"an odd box keeps the larger half", 200, 329, 418, 7, 100, 3, true},
      {"no box to narrow", 200, 329, 418, 0, 100, 0, true},
      // Before, "center" could be moved over "mono chrome" on a page a little narrower.
      {"center stops short of mono chrome", 290, 329, 418, 119, 25, 25, true},
      {"no room on the second row", 290, 329, 418, 119, 0, 0, true},
      {"controls already touching", 290, 329, 418, 119, -3, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GmapHeaderFit fit = FitGmapHeader(c.page, c.kept, c.save, c.name, c.gap);
    EXPECT_EQ(fit.shift, c.shift);
    EXPECT_EQ(fit.saveWrapped, c.wrapped);
  }
}

}  // namespace
